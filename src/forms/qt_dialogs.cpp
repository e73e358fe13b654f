#include "forms/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <map>

#include "forms/app.h"
#include "forms/file_dialog_text.h"
#include "forms/help.h"
#include "forms/msgbox_style.h"
#include "forms/qt_text.h"
#include "forms/system_dialogs.h"
#include "platform/error.h"
#include "platform/machine.h"

namespace forms {
namespace {

QString boxTitle(const std::string& title) { return toQt(title.empty() ? appTitle() : title); }

QMessageBox::Icon qtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// The machine's Windows path of a host file, "" outside the machine.
std::string machinePath(const QString& host) {
  if (!platform::machineOpen()) return fromQt(host);
  return platform::windowsPath(std::filesystem::path(host.toStdString()));
}

QString hostFolder(const std::string& windowsFolder) {
  if (!platform::machineOpen()) return toQt(windowsFolder);
  try {
    return QString::fromStdString(
        (windowsFolder.empty() ? platform::hostPath("C:\\") : platform::hostPath(windowsFolder)).string());
  } catch (const platform::RuntimeError&) {
    return QString::fromStdString(platform::machineRoot().string());
  }
}

}  // namespace

int QtDialogs::msgBox(const std::string& prompt, int style, const std::string& title) {
  return msgBoxWithHelp(prompt, style, title, 0);
}

int QtDialogs::msgBoxWithHelp(const std::string& prompt, int style, const std::string& title,
                              int helpContext) {
  MsgBoxLayout layout = msgBoxLayout(style);
  QMessageBox box;
  box.setWindowTitle(boxTitle(title));
  box.setText(toQt(promptLines(prompt)));
  box.setIcon(qtIcon(layout.icon));
  box.setWindowModality(Qt::ApplicationModal);
  // A fixed box with only the close box in its title bar.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  std::map<QAbstractButton*, int> answers;
  for (int answer : layout.buttons) {
    QPushButton* button = box.addButton(
        toQt(answerCaption(answer)), answer == vbCancel ? QMessageBox::RejectRole : QMessageBox::ActionRole);
    answers[button] = answer;
    if (answer == layout.defaultAnswer) box.setDefaultButton(button);
    if (answer == layout.escapeAnswer) box.setEscapeButton(button);
  }
  QPushButton* help = layout.helpButton ? box.addButton("Help", QMessageBox::HelpRole) : nullptr;
  for (;;) {
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (help && clicked == help) {
      // Help opens its topic; the question stays open.
      showHelp(helpContext);
      continue;
    }
    auto found = answers.find(clicked);
    if (found != answers.end()) return found->second;
    // Closed without an answer: the answer that risks nothing.
    if (layout.escapeAnswer != 0) return layout.escapeAnswer;
    return layout.buttons.size() == 2 ? vbNo : vbAbort;
  }
}

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
  QInputDialog dialog;
  dialog.setWindowTitle(boxTitle(title));
  dialog.setLabelText(toQt(promptLines(prompt)));
  dialog.setTextValue(toQt(defaultText));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return fromQt(dialog.textValue());
}

std::string QtDialogs::fileOpen(const std::string& title, const std::string& filter, bool multiSelect,
                                const std::string& initialFolder) {
  QFileDialog dialog(nullptr, toQt(title.empty() ? std::string("Open") : title), hostFolder(initialFolder));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ReadOnly);
  dialog.setFileMode(multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  QStringList filters;
  for (const std::string& f : qtNameFilters(filter)) filters << toQt(f);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted) return {};
  std::vector<std::string> chosen;
  for (const QString& host : dialog.selectedFiles()) {
    // Nothing outside the machine's drives is ever answered.
    std::string path = machinePath(host);
    if (!path.empty()) chosen.push_back(path);
  }
  return encodeSelection(chosen);
}

std::string QtDialogs::browseForFolder(const std::string& title) {
  if (folderBrowser()) return folderBrowser()(title);
  QString host = QFileDialog::getExistingDirectory(
      nullptr, toQt(title), hostFolder({}), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  if (host.isEmpty()) return {};
  return machinePath(host);
}

bool QtDialogs::formatDrive(char drive) {
  if (formatDialog()) return formatDialog()(drive);
  return false;
}

namespace {

FolderBrowser& browserSlot() {
  static FolderBrowser browser;
  return browser;
}

FormatDialog& formatSlot() {
  static FormatDialog dialog;
  return dialog;
}

}  // namespace

void setFolderBrowser(FolderBrowser browser) { browserSlot() = std::move(browser); }
void setFormatDialog(FormatDialog dialog) { formatSlot() = std::move(dialog); }
const FolderBrowser& folderBrowser() { return browserSlot(); }
const FormatDialog& formatDialog() { return formatSlot(); }

}  // namespace forms
