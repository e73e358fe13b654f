#include "ui/save_folder.h"

#include "core/paths.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "save/save_engine.h"
#include "ui/form1_frame.h"
#include "ui/options_page.h"
#include "windows/form1.h"

namespace ui {

using forms::res;
namespace {

constexpr int kProbeNames = 1000;

void showSaveFolder() { windows::Form1().Text2.setText(core::ShortenPath(core::state().SaveFolder, 49)); }

void useProgramFolder() {
  core::state().SaveFolder = platform::withTrailingBackslash(forms::appPath());
  showSaveFolder();
}

void browseClicked() {
  if (save::OperationRunning()) return;
  core::State& st = core::state();
  const std::string chosen = forms::dialogService().browseForFolder(res(1127));
  if (!chosen.empty()) {
    st.SaveFolder = chosen;
    // A bare drive root ("C:\", or "C:" as some shells give it) gets a folder of our own.
    if (st.SaveFolder.size() < 4) {
      st.SaveFolder = platform::withTrailingBackslash(st.SaveFolder) + "Kelvaran\\";
      forms::msgBox(res(1183) + "\r" + res(1185) + "\r" + st.SaveFolder, forms::vbOKOnly);
    }
    st.SaveFolder = platform::withTrailingBackslash(st.SaveFolder);
    showSaveFolder();
    switch (testFolderWritable(st.SaveFolder)) {
      case WriteTest::Writable: break;
      case WriteTest::Refused:
        forms::msgBox(res(1150), forms::vbOKOnly);
        useProgramFolder();
        return;
      case WriteTest::Failed:
        // Most likely a folder that does not exist yet: the save offers to create it.
        return;
    }
  }
  storeSettings(" SaveFolder");
}

void defaultClicked() {
  if (save::OperationRunning()) return;
  useProgramFolder();
  storeSettings(" SaveFolder");
}

}  // namespace

std::string writeProbeName(std::string_view folder) {
  for (int i = 0; i < kProbeNames; ++i) {
    std::string name = i == 0 ? std::string("Test.ttt") : "Test" + std::to_string(i) + ".ttt";
    if (!platform::pathExists(std::string(folder) + name)) return name;
  }
  return {};
}

WriteTest testFolderWritable(std::string_view folder) {
  const std::string name = writeProbeName(folder);
  if (name.empty()) return WriteTest::Failed;
  const std::string probe = std::string(folder) + name;
  bool created = false;
  try {
    platform::File file(probe, platform::File::Mode::Write);
    created = true;
    file.close();
    platform::kill(probe);
    return WriteTest::Writable;
  } catch (const platform::RuntimeError& error) {
    if (created && platform::fileExists(probe)) {
      try {
        platform::kill(probe);
      } catch (const platform::RuntimeError&) {
      }
    }
    switch (error.number()) {
      case platform::kBadFileNameOrNumber:
      case platform::kPermissionDenied:
      case platform::kDiskNotReady:
      case platform::kPathFileAccess: return WriteTest::Refused;
      default: return WriteTest::Failed;
    }
  }
}

void bindSaveFolder() {
  windows::Form1Window& f = windows::Form1();
  f.Command19.onClick = browseClicked;
  f.Command22.onClick = defaultClicked;
}

}  // namespace ui
