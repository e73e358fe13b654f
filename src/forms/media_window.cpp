#include "forms/media_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "forms/folder_browser_dialog.h"
#include "forms/format_dialog.h"
#include "forms/qt_text.h"
#include "forms/system_dialogs.h"
#include "platform/error.h"
#include "platform/files.h"

namespace forms {

namespace {

constexpr int kRefreshMs = 1000;

QPushButton* button(QWidget* parent, const char* text, const char* name) {
  auto* b = new QPushButton(toQt(text), parent);
  b->setObjectName(name);
  return b;
}

// Ctrl+Shift+F12 anywhere in the program opens the media window.
class MediaShortcut : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_F12 && key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)) {
        showMediaWindow();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

MediaWindow::MediaWindow(char drive, QWidget* parent) : QWidget(parent, Qt::Tool), drive_(drive) {
  setObjectName("MediaWindow");
  setWindowTitle(toQt(std::string("Floppy drive ") + drive + ":"));
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  status_->setObjectName("driveStatus");
  layout->addWidget(status_);
  layout->addWidget(new QLabel(toQt("Disks on the shelf:"), this));
  shelf_ = new QListWidget(this);
  shelf_->setObjectName("shelfList");
  layout->addWidget(shelf_);
  writeProtect_ = new QCheckBox(toQt("&Write-protected"), this);
  writeProtect_->setObjectName("writeProtectCheck");
  layout->addWidget(writeProtect_);

  auto* row = new QHBoxLayout;
  auto* insert = button(this, "&Insert", "insertButton");
  auto* ejectButton = button(this, "&Eject", "ejectButton");
  auto* blank = button(this, "New &blank disk", "newBlankButton");
  auto* formatted = button(this, "New &formatted disk", "newFormattedButton");
  for (auto* b : {insert, ejectButton, blank, formatted}) row->addWidget(b);
  layout->addLayout(row);

  connect(insert, &QPushButton::clicked, this, [this] { insertSelected(); });
  connect(ejectButton, &QPushButton::clicked, this, [this] { eject(); });
  connect(blank, &QPushButton::clicked, this, [this] { createDisk(false); });
  connect(formatted, &QPushButton::clicked, this, [this] { createDisk(true); });
  connect(writeProtect_, &QCheckBox::clicked, this, [this](bool on) { setSelectedWriteProtected(on); });
  connect(shelf_, &QListWidget::itemDoubleClicked, this, [this] { insertSelected(); });

  timer_ = new QTimer(this);
  timer_->setInterval(kRefreshMs);
  connect(timer_, &QTimer::timeout, this, [this] {
    if (isVisible()) refresh();
  });
  timer_->start();
  refresh();
}

std::string MediaWindow::selectedMedium() const {
  const QListWidgetItem* item = shelf_->currentItem();
  return item ? fromQt(item->data(Qt::UserRole).toString()) : std::string();
}

void MediaWindow::refresh() {
  const std::string keep = selectedMedium();
  const std::string inserted = platform::insertedMedium(drive_);
  const std::string root = std::string(1, drive_) + ":\\";
  std::string status = std::string("Drive ") + drive_ + ": ";
  if (inserted.empty()) {
    status += "is empty.";
  } else {
    std::string label;
    std::uint32_t serial = 0;
    status += "holds " + inserted;
    if (!platform::volumeInformation(root, label, serial))
      status += " (not formatted)";
    else if (!label.empty())
      status += " (label " + label + ")";
    if (platform::isWriteProtected(root)) status += ", write-protected";
    status += ".";
  }
  status_->setText(toQt(status));
  shelf_->clear();
  for (const std::string& name : platform::shelfMedia()) {
    auto* item = new QListWidgetItem(toQt(name == inserted ? name + "  [in drive]" : name), shelf_);
    item->setData(Qt::UserRole, toQt(name));
    if (name == keep) shelf_->setCurrentItem(item);
  }
}

void MediaWindow::insertSelected() {
  const std::string medium = selectedMedium();
  if (medium.empty()) return;
  if (!platform::insertedMedium(drive_).empty()) platform::ejectMedium(drive_);
  platform::insertMedium(drive_, medium);
  refresh();
}

void MediaWindow::eject() {
  if (!platform::insertedMedium(drive_).empty()) platform::ejectMedium(drive_);
  refresh();
}

std::string MediaWindow::createDisk(bool formatted) {
  platform::MediumSpec spec;
  spec.formatted = formatted;
  const std::string name = platform::createMedium(spec);
  if (!platform::insertedMedium(drive_).empty()) platform::ejectMedium(drive_);
  platform::insertMedium(drive_, name);
  refresh();
  return name;
}

void MediaWindow::setSelectedWriteProtected(bool on) {
  std::string medium = selectedMedium();
  if (medium.empty()) medium = platform::insertedMedium(drive_);
  if (!medium.empty()) platform::setWriteProtected(medium, on);
  refresh();
}

MediaWindow& mediaWindow() {
  static MediaWindow* window = new MediaWindow('A');
  return *window;
}

void showMediaWindow() {
  MediaWindow& window = mediaWindow();
  window.refresh();
  window.show();
  window.raise();
}

void installStandInWindows() {
  setFolderBrowser([](const std::string& title) { return runFolderBrowser(title); });
  setFormatDialog([](char drive) { return runFormatDialog(drive); });
  static MediaShortcut* shortcut = nullptr;
  if (!shortcut && qApp) {
    shortcut = new MediaShortcut;
    qApp->installEventFilter(shortcut);
  }
  if (qEnvironmentVariable("KELVARAN_MEDIA_WINDOW") == "1") showMediaWindow();
}

}  // namespace forms
