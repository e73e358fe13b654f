// Every window's and page's handlers, one bind call each.
#include "ui/handlers.h"

#include "rescue/wizard.h"
#include "restore/import_dialog.h"
#include "save/smartsave_controls.h"
#include "ui/form1_frame.h"
#include "ui/form2.h"
#include "ui/import_button.h"
#include "ui/maintenance_page.h"
#include "ui/options_page.h"
#include "ui/readme.h"
#include "ui/restore_page.h"
#include "ui/save_folder.h"
#include "ui/save_page.h"
#include "ui/window_texts.h"
#include "userfiles/userfiles_dialog.h"

namespace ui {

void installHandlers() {
  bindForm2();
  bindForm1Frame();
  bindReadme();
  bindSelWiz();
  bindSavePage();
  bindRestorePage();
  bindSaveFolder();
  bindOptionsPage();
  save::bindSmartSave();
  bindMaintenancePage();
  userfiles::bindUserFiles();
  bindImportButton();
  restore::bindImport();
  rescue::bindRescue();
}

}  // namespace ui
