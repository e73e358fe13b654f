#include "windows/lines_beside_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

namespace windows {

QRect LinesBesideLabel::lineRect(int index) const {
  const QFontMetrics metrics(font());
  const QRect area = contentsRect().adjusted(margin() + 2, margin(), -margin(), -margin());
  const int height = metrics.height();
  int centre = area.top() + index * metrics.lineSpacing() + height / 2;
  const QStringList buttons = property("linesBeside").toString().split(' ', Qt::SkipEmptyParts);
  if (index < buttons.size() && parentWidget()) {
    if (auto* button = parentWidget()->findChild<QWidget*>(buttons[index], Qt::FindDirectChildrenOnly)) {
      centre = mapFrom(parentWidget(), button->geometry().center()).y();
    }
  }
  return QRect(area.left(), centre - height / 2, area.width(), height);
}

void LinesBesideLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
  const QStringList lines = text().split('\n');
  for (int i = 0; i < lines.size(); ++i) {
    painter.drawText(lineRect(i), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines[i]);
  }
}

}  // namespace windows
