#include "restore/restore_boxes.h"

#include "platform/error.h"

namespace restore {

forms::CheckBox& RestoreBox(int number) {
  windows::RestoreReqWindow& r = windows::RestoreReq();
  forms::CheckBox* boxes[] = {&r.Check1,  &r.Check2,  &r.Check3,  &r.Check4,  &r.Check5,
                              &r.Check6,  &r.Check7,  &r.Check8,  &r.Check9,  &r.Check10,
                              &r.Check11, &r.Check12, &r.Check13, &r.Check14, &r.Check15,
                              &r.Check16, &r.Check17, &r.Check18, &r.Check19, &r.Check20,
                              &r.Check21, &r.Check22, &r.Check23, &r.Check24, &r.Check25};
  if (number < 1 || number > 25) platform::raise(platform::kSubscriptOutOfRange);
  return *boxes[number - 1];
}

bool Ticked(int number) { return RestoreBox(number).value() != 0; }

bool SystemBoxTicked() {
  for (int number : kSystemBoxes)
    if (Ticked(number)) return true;
  return false;
}

bool UserFileSelected() { return windows::RestoreReq().List1.selCount() > 0; }

}  // namespace restore
