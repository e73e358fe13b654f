#include "restore/import_dialog.h"

#include <string>

#include "forms/forms.h"
#include "forms/help.h"
#include "forms/messages.h"
#include "windows/import.h"

namespace restore {

namespace {

constexpr int kHelpContext = 2050;

windows::ImportWindow& dialog() { return windows::Import(); }

std::string res(int id) { return forms::loadResString(id); }

void loadImport() {
  auto& d = dialog();
  d.setHelpContextId(kHelpContext);
  d.setCaption(res(1317));
  d.Label2.setCaption(res(1261));
  d.Frame2.setCaption(res(1240));
  d.Command1.setCaption("&" + res(1519));
  d.Command2.setCaption("&" + res(1092));
  d.Command3.setCaption("&" + res(1516));
  d.Command4.setCaption(res(1239));
}

void entryClicked() {
  auto& d = dialog();
  d.Command1.setEnabled(true);
  d.Command4.setEnabled(true);
}

}  // namespace

void bindImport() {
  auto& d = dialog();
  d.onLoad = loadImport;
  d.List1.onClick = entryClicked;
  d.Command2.onClick = [] { dialog().unload(); };
  d.Command3.onClick = [] { forms::sendKeys("{F1}", true); };
}

}  // namespace restore
