#include "save/save_messages.h"

#include "forms/dialogs.h"
#include "forms/messages.h"

namespace save {

namespace {
using forms::loadResString;
}

void ShowDiskFull() {
  forms::msgBox(loadResString(1036), forms::vbOKOnly + forms::vbCritical, loadResString(1011));
}

std::string FileErrorText(int errorNumber) {
  struct Row {
    int error, message;
  };
  static constexpr Row kRows[] = {{52, 2000}, {53, 2001}, {54, 2002}, {55, 2003}, {57, 2004}, {58, 2005},
                                  {61, 2006}, {67, 2007}, {68, 2008}, {70, 2009}, {71, 2010}, {75, 2011}};
  for (const Row& row : kRows)
    if (row.error == errorNumber) return loadResString(row.message);
  return "";
}

void ShowArchiveFailed(std::string_view archive, int errorNumber) {
  std::string reason = FileErrorText(errorNumber);
  if (reason.empty()) reason = loadResString(2004);
  forms::msgBox(std::string(archive) + "\r" + reason, forms::vbOKOnly + forms::vbCritical,
                loadResString(1005));
}

void ShowArchiveIncomplete(std::string_view archive) {
  forms::msgBox(std::string(archive) + "\r" + loadResString(2004), forms::vbOKOnly + forms::vbExclamation,
                loadResString(1005));
}

}  // namespace save
