#pragma once
// A label of several lines whose line k stands level with the k-th of the
// buttons its .ui property "linesBeside" names (objectNames separated by
// blanks, siblings of the label): the slot names beside the slot buttons.
// Lines without a button follow at the font's line spacing.
#include <QLabel>
#include <QRect>

namespace windows {

class LinesBesideLabel : public QLabel {
 public:
  using QLabel::QLabel;
  // Where line `index` is drawn, in the label's coordinates.
  QRect lineRect(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace windows
