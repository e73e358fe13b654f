#include "forms/folder_browser_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "forms/qt_text.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/shortname.h"

namespace forms {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

std::string pathOf(const QTreeWidgetItem* item) {
  return item ? fromQt(item->data(0, kPathRole).toString()) : std::string();
}

QTreeWidgetItem* addItem(QTreeWidgetItem* parent, const platform::FolderItem& folder) {
  auto* item = new QTreeWidgetItem(parent, {toQt(folder.name)});
  item->setData(0, kPathRole, toQt(folder.path));
  item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return item;
}

}  // namespace

FolderBrowserDialog::FolderBrowserDialog(const std::string& title, QWidget* parent) : QDialog(parent) {
  setObjectName("FolderBrowser");
  setWindowTitle(toQt("Browse for Folder"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(toQt(title), this);
  label->setObjectName("titleLabel");
  label->setWordWrap(true);
  layout->addWidget(label);
  tree_ = new QTreeWidget(this);
  tree_->setObjectName("folderTree");
  tree_->setHeaderHidden(true);
  layout->addWidget(tree_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setObjectName("okButton");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* computer = new QTreeWidgetItem(tree_, {toQt("My Computer")});
  for (const auto& root : platform::browseRoots()) addItem(computer, root);
  computer->setData(0, kFilledRole, true);
  computer->setExpanded(true);
  connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { fill(item); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { currentChanged(); });
  tree_->setCurrentItem(computer);
  currentChanged();
  resize(320, 360);
}

void FolderBrowserDialog::fill(QTreeWidgetItem* item) {
  if (item->data(0, kFilledRole).toBool()) return;
  item->setData(0, kFilledRole, true);
  try {
    for (const auto& folder : platform::browseFolders(pathOf(item))) addItem(item, folder);
  } catch (const platform::RuntimeError&) {
    item->setData(0, kFilledRole, false);  // no medium yet: try again on the next expand
  }
  if (item->childCount() == 0) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderBrowserDialog::currentChanged() { ok_->setEnabled(!selectedPath().empty()); }

std::string FolderBrowserDialog::selectedPath() const { return pathOf(tree_->currentItem()); }

bool FolderBrowserDialog::selectPath(const std::string& windowsPath) {
  if (windowsPath.empty()) return false;
  const std::string wanted = platform::withTrailingBackslash(windowsPath);
  QTreeWidgetItem* item = tree_->topLevelItem(0);
  while (item) {
    const std::string path = pathOf(item);
    if (!path.empty() && platform::equalsNoCase(path, windowsPath)) {
      tree_->setCurrentItem(item);
      return true;
    }
    fill(item);
    item->setExpanded(true);
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < item->childCount() && !next; ++i) {
      const std::string child = platform::withTrailingBackslash(pathOf(item->child(i)));
      if (wanted.size() >= child.size() && platform::equalsNoCase(wanted.substr(0, child.size()), child))
        next = item->child(i);
    }
    item = next;
  }
  return false;
}

std::string runFolderBrowser(const std::string& title) {
  FolderBrowserDialog dialog(title);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedPath();
}

}  // namespace forms
