#include "windows/restorereq.h"

#include <QListView>
#include <QStyledItemDelegate>

#include "ui_restorereq.h"

namespace windows {

namespace {

// Shows a check box before each entry of the user-file list, ticked when the entry is selected:
// the selection is the choice of the files to restore.
class SelectionTickDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->features |= QStyleOptionViewItem::HasCheckIndicator;
    option->checkState = (option->state & QStyle::State_Selected) ? Qt::Checked : Qt::Unchecked;
  }
};

}  // namespace

RestoreReqWindow::RestoreReqWindow() : forms::Form("RestoreReq") {}
RestoreReqWindow::~RestoreReqWindow() = default;

void RestoreReqWindow::setupUi(QWidget* window) {
  ui_ = std::make_unique<Ui::RestoreReq>();
  ui_->setupUi(static_cast<QDialog*>(window));
  // Fixed single border without a control box.
  window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint);
  ui_->List1->setItemDelegate(new SelectionTickDelegate(ui_->List1));
}

RestoreReqWindow& RestoreReq() {
  static auto* instance = new RestoreReqWindow;
  return *instance;
}

}  // namespace windows
