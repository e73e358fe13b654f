#pragma once
// The folder browser and the format dialog are windows of the Windows
// stand-in; they register here and the dialogs service shows them. Until one
// is registered, the folder browser is a plain Qt folder chooser over the
// machine's drives and formatting is not offered (false).
#include <functional>
#include <string>

namespace forms {

using FolderBrowser = std::function<std::string(const std::string& title)>;
using FormatDialog = std::function<bool(char drive)>;

void setFolderBrowser(FolderBrowser browser);
void setFormatDialog(FormatDialog dialog);
const FolderBrowser& folderBrowser();
const FormatDialog& formatDialog();

}  // namespace forms
