#include "forms/dialogs.h"

#include <stdexcept>

namespace forms {
namespace {

std::unique_ptr<DialogService>& current() {
  static std::unique_ptr<DialogService> service;
  return service;
}

}  // namespace

void setDialogService(std::unique_ptr<DialogService> service) { current() = std::move(service); }

DialogService& dialogService() {
  // The program installs the Qt dialogs with initRuntime(); tests install
  // scripted ones. A box shown with neither would wait for nobody.
  if (!current())
    throw std::logic_error("no dialogs service: call forms::initRuntime() or install ScriptedDialogs");
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
