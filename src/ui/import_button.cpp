#include "ui/import_button.h"

#include <string>

#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/paths.h"
#include "restore/import_listing.h"
#include "save/save_engine.h"
#include "windows/form1.h"
#include "windows/import.h"

namespace ui {

using forms::res;
namespace {

void importClicked() {
  if (save::OperationRunning()) return;
  std::string folder = forms::dialogService().browseForFolder(res(1214));
  if (folder.rfind("\\\\", 0) == 0) forms::msgBox(res(1168), forms::vbOKOnly);
  windows::ImportWindow& d = windows::Import();
  d.Frame1.setCaption(res(1318));
  d.setCaption(res(1213));
  if (folder.empty()) return;
  folder = platform::withTrailingBackslash(folder);
  d.List1.clear();
  for (const std::string& row : restore::listImportFolder(folder)) {
    d.Label4.setCaption(folder);
    d.List1.addItem(row);
  }
  if (d.List1.listCount() > 0) {
    d.show(forms::Modal);
  } else {
    forms::msgBox(res(1262), forms::vbOKOnly);
  }
}

}  // namespace

void bindImportButton() { windows::Form1().Command27.onClick = importClicked; }

}  // namespace ui
