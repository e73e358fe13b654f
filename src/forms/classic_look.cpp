#include "forms/classic_look.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QEvent>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionViewItem>

#include "forms/control_access.h"

namespace forms {
namespace {

// Indexes of the system colours (GetSysColor).
enum SysColor {
  kWindow = 5,
  kWindowText = 8,
  kHighlight = 13,
  kHighlightText = 14,
  kButtonFace = 15,
  kButtonShadow = 16,
  kGrayText = 17,
  kButtonText = 18,
  kButtonHighlight = 20,
  kDarkShadow = 21,
  kLight = 22,
  kInfoText = 23,
  kInfoBack = 24,
};

// The height of one row of a list: that of its first item, or of a line of
// text in its font while it is empty.
int rowHeight(const QListView* list) {
  if (list->model() && list->model()->rowCount(list->rootIndex()) > 0) {
    if (int height = list->sizeHintForRow(0); height > 0) return height;
  }
  QStyleOptionViewItem option;
  option.initFrom(list);
  option.font = list->font();
  option.fontMetrics = list->fontMetrics();
  option.features = QStyleOptionViewItem::HasDisplay;
  option.text = QStringLiteral("Xg");
  return list->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), list).height();
}

// Watches the list's rows area and its parent: a rows area that holds part of
// a row shrinks the list to whole rows; a parent that grows gives the list
// back the height it was designed with, to be fitted anew.
class WholeRows : public QObject {
 public:
  explicit WholeRows(QListView* list)
      : QObject(list), list_(list), viewport_(list->viewport()), designedMax_(list->maximumHeight()) {
    viewport_->installEventFilter(this);
    if (QWidget* parent = list->parentWidget()) {
      parent_ = parent;
      parentHeight_ = parent->height();
      parent->installEventFilter(this);
    }
    if (QAbstractItemModel* model = list->model()) {
      connect(model, &QAbstractItemModel::rowsInserted, this, [this] { fit(); });
    }
  }

 protected:
  // Only a resize or a show touches the list: other events reach this filter
  // while the list is being destroyed, when it is a list no more.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Resize && event->type() != QEvent::Show) return false;
    if (watched == viewport_) {
      fit();
    } else if (watched == parent_ && event->type() == QEvent::Resize) {
      const int height = parent_->height();
      if (height > parentHeight_ && list_->maximumHeight() != designedMax_)
        list_->setMaximumHeight(designedMax_);
      parentHeight_ = height;
    }
    return false;
  }

 private:
  void fit() {
    // A hidden list has no layout yet; it is fitted when it is shown.
    if (!list_->isVisible()) return;
    const int area = list_->viewport()->height();
    const int row = rowHeight(list_);
    if (row <= 0 || area < row) return;
    if (const int part = area % row) list_->setMaximumHeight(list_->height() - part);
  }

  QListView* list_;
  QWidget* viewport_;
  QWidget* parent_ = nullptr;
  int designedMax_;
  int parentHeight_ = 0;
};

// The classic style, with the progress bar of the common controls: a row of
// blocks in the selection colour, not one smooth bar.
class ClassicStyle : public QProxyStyle {
 public:
  ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
    if (element != CE_ProgressBarContents || !bar || bar->maximum <= bar->minimum ||
        !(bar->state & State_Horizontal)) {
      QProxyStyle::drawControl(element, option, painter, widget);
      return;
    }
    const QRect area = bar->rect.adjusted(1, 1, -1, -1);
    const qint64 done =
        qBound<qint64>(0, qint64(bar->progress) - bar->minimum, qint64(bar->maximum) - bar->minimum);
    const int filled = int(done * area.width() / (qint64(bar->maximum) - bar->minimum));
    const int block = qMax(2, area.height() * 2 / 3);
    constexpr int kGap = 2;
    for (int x = 0; x < filled; x += block + kGap) {
      QRect piece(area.left() + x, area.top(), qMin(block, area.width() - x), area.height());
      if (bar->invertedAppearance) piece.moveRight(area.right() - x);
      painter->fillRect(piece, bar->palette.brush(QPalette::Highlight));
    }
  }
};

}  // namespace

QPalette classicPalette() {
  const QColor face = systemColor(kButtonFace);
  QPalette palette(systemColor(kButtonText), face, systemColor(kButtonHighlight), systemColor(kButtonShadow),
                   systemColor(kButtonShadow), systemColor(kWindowText), systemColor(kButtonHighlight),
                   systemColor(kWindow), face);
  palette.setColor(QPalette::ButtonText, systemColor(kButtonText));
  palette.setColor(QPalette::Midlight, systemColor(kLight));
  palette.setColor(QPalette::Shadow, systemColor(kDarkShadow));
  palette.setColor(QPalette::Highlight, systemColor(kHighlight));
  palette.setColor(QPalette::HighlightedText, systemColor(kHighlightText));
  palette.setColor(QPalette::ToolTipBase, systemColor(kInfoBack));
  palette.setColor(QPalette::ToolTipText, systemColor(kInfoText));
  palette.setColor(QPalette::AlternateBase, face);
  palette.setColor(QPalette::PlaceholderText, systemColor(kGrayText));
  palette.setColor(QPalette::Link, QColor(0x00, 0x00, 0xFF));
  palette.setColor(QPalette::LinkVisited, QColor(0x80, 0x00, 0x80));
  // What is disabled: grey text (embossed by the style), a text box on the face.
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, systemColor(kGrayText));
  palette.setColor(QPalette::Disabled, QPalette::Base, face);
  return palette;
}

void applyClassicLook() {
  QApplication::setStyle(new ClassicStyle);
  QApplication::setPalette(classicPalette());
}

void showWholeRows(QListView* list) {
  constexpr const char* kFitted = "kelvaranWholeRows";
  if (list->property(kFitted).toBool()) return;
  list->setProperty(kFitted, true);
  new WholeRows(list);
}

}  // namespace forms
