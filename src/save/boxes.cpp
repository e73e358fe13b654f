#include "save/boxes.h"

#include "platform/error.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace save {

forms::CheckBox& Form1Box(int number) {
  auto& f = windows::Form1();
  forms::CheckBox* boxes[] = {&f.Check1,  &f.Check2,  &f.Check3,  &f.Check4,  &f.Check5,  &f.Check6,
                              &f.Check7,  &f.Check8,  &f.Check9,  &f.Check10, &f.Check11, &f.Check12,
                              &f.Check13, &f.Check14, &f.Check15, &f.Check16, &f.Check17};
  if (number < 1 || number > 17) platform::raise(platform::kSubscriptOutOfRange);
  return *boxes[number - 1];
}

forms::CheckBox& UserFilesBox(int number) {
  auto& u = windows::UserFiles();
  switch (number) {
    case 1: return u.Check1;
    case 2: return u.Check2;
    case 3: return u.Check3;
    case 4: return u.Check4;
    case 5: return u.Check5;
    case 6: return u.Check6;
    case 11: return u.Check11;
    case 12: return u.Check12;
    default: platform::raise(platform::kSubscriptOutOfRange);
  }
}

bool Chosen(const forms::CheckBox& box) { return box.value() != 0 && box.enabled(); }

}  // namespace save
