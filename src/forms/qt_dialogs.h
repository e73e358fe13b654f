#pragma once
// The dialogs service on screen: Qt message boxes, input boxes and file dialogs.
#include "forms/dialogs.h"

namespace forms {

class QtDialogs : public DialogService {
 public:
  int msgBox(const std::string& prompt, int style, const std::string& title) override;
  int msgBoxWithHelp(const std::string& prompt, int style, const std::string& title,
                     int helpContext) override;
  std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) override;
  std::string fileOpen(const std::string& title, const std::string& filter, bool multiSelect,
                       const std::string& initialFolder) override;
  std::string browseForFolder(const std::string& title) override;
  bool formatDrive(char drive) override;
};

}  // namespace forms
