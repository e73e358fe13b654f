#pragma once
// Every message box and system dialog goes through one service. The program
// uses the free functions; tests install a ScriptedDialogs that answers.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace forms {

// MsgBox return values.
enum MsgResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };
// MsgBox style flags.
enum MsgStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256,
  vbDefaultButton3 = 512,
  vbMsgBoxHelpButton = 16384,
};

class DialogService {
 public:
  virtual ~DialogService() = default;
  // prompt uses CR (13) as line break; title "" means the application title.
  virtual int msgBox(const std::string& prompt, int style, const std::string& title) = 0;
  // nullopt when cancelled.
  virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                              const std::string& defaultText) = 0;
  // Common file dialog (open). Multi-select answers "folder<NUL>name1<NUL>name2"
  // (one file: the full path). "" when cancelled.
  virtual std::string fileOpen(const std::string& title, const std::string& filter, bool multiSelect,
                               const std::string& initialFolder) = 0;
  // Folder browser: a Windows path ("C:\" for a root, UNC for shares), "" on cancel.
  virtual std::string browseForFolder(const std::string& title) = 0;
  // Format dialog for a removable drive: true when it formatted.
  virtual bool formatDrive(char drive) = 0;
  // A message box whose Help button opens help topic `helpContext`.
  virtual int msgBoxWithHelp(const std::string& prompt, int style, const std::string& title,
                             int helpContext) {
    (void)helpContext;
    return msgBox(prompt, style, title);
  }
};

// Replaces the service (the previous one is destroyed). initRuntime() installs
// the Qt dialogs; until a service is installed, showing anything raises a logic error.
void setDialogService(std::unique_ptr<DialogService> service);
DialogService& dialogService();

// helpContext 0: no help topic (a Help button then opens the contents).
int msgBox(std::string_view prompt, int style = 0, std::string_view title = {}, int helpContext = 0);
std::optional<std::string> inputBox(std::string_view prompt, std::string_view title = {},
                                    std::string_view defaultText = {});

}  // namespace forms
