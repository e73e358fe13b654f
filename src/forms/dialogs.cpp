#include "forms/dialogs.h"

#include "forms/qt_dialogs.h"

namespace forms {
namespace {

std::unique_ptr<DialogService>& current() {
  static std::unique_ptr<DialogService> service;
  return service;
}

}  // namespace

void setDialogService(std::unique_ptr<DialogService> service) { current() = std::move(service); }

DialogService& dialogService() {
  if (!current()) current() = std::make_unique<QtDialogs>();
  return *current();
}

int msgBox(std::string_view prompt, int style, std::string_view title, int helpContext) {
  if (helpContext != 0) {
    return dialogService().msgBoxWithHelp(std::string(prompt), style, std::string(title), helpContext);
  }
  return dialogService().msgBox(std::string(prompt), style, std::string(title));
}

std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                    std::string_view defaultText) {
  return dialogService().inputBox(std::string(prompt), std::string(title), std::string(defaultText));
}

}  // namespace forms
