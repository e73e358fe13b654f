// Labels, frames, buttons, pictures, progress and status bars.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "forms/accessible_names.h"
#include "forms/control_access.h"
#include "forms/form_window.h"
#include "forms/handler_guard.h"
#include "forms/qt_text.h"

namespace forms {

namespace {
// A label's caption breaks lines at CR (alone or before LF); Qt breaks at LF.
// The caption as set is kept beside the shown text, so reading it back gives
// the same bytes.
constexpr const char* kCaptionProperty = "kelvaranCaption";

QString shownText(std::string_view caption) {
  QString text = toQt(caption);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  return text;
}
}  // namespace

std::string Label::caption() const {
  auto* label = as<QLabel>();
  const QVariant stored = label->property(kCaptionProperty);
  if (stored.isValid() && shownText(fromQt(stored.toString())) == label->text())
    return fromQt(stored.toString());
  return fromQt(label->text());
}

void Label::setCaption(std::string_view text) {
  auto* label = as<QLabel>();
  label->setProperty(kCaptionProperty, toQt(text));
  label->setText(shownText(text));
  captionChanged(label);
}

void Label::attach(QWidget* widget) {
  Control::attach(widget);
  onMouseRelease(widget, link(), [this] { fire(eventName(*this, "Click"), onClick); });
}

std::string Frame::caption() const { return fromQt(as<QGroupBox>()->title()); }
void Frame::setCaption(std::string_view text) {
  QGroupBox* frame = as<QGroupBox>();
  frame->setTitle(toQt(text));
  captionChanged(frame);
}

std::string CommandButton::caption() const { return fromQt(as<QAbstractButton>()->text()); }
void CommandButton::setCaption(std::string_view text) {
  QAbstractButton* button = as<QAbstractButton>();
  button->setText(toQt(text));
  captionChanged(button);
}
void CommandButton::click() { as<QAbstractButton>()->click(); }

void CommandButton::attach(QWidget* widget) {
  Control::attach(widget);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QObject::connect(button, &QAbstractButton::clicked, link(),
                     [this] { fire(eventName(*this, "Click"), onClick); });
  }
}

int ProgressBar::value() const { return as<QProgressBar>()->value(); }
int ProgressBar::min() const { return as<QProgressBar>()->minimum(); }
int ProgressBar::max() const { return as<QProgressBar>()->maximum(); }

void ProgressBar::setValue(int value) { setRangedValue(as<QProgressBar>(), value); }

void ProgressBar::setMax(int max) {
  QProgressBar* bar = as<QProgressBar>();
  if (max <= bar->minimum()) raiseInvalidValue();
  bar->setMaximum(max);
}

namespace {

// A QStatusBar shows its one line of text in a label of ours, so that the
// text stays (showMessage would be a temporary message).
QLabel* statusLabel(QStatusBar* bar) {
  if (auto* label = bar->findChild<QLabel*>("simpleText", Qt::FindDirectChildrenOnly)) return label;
  auto* label = new QLabel(bar);
  label->setObjectName("simpleText");
  bar->addWidget(label, 1);
  return label;
}

QLabel* statusText(QWidget* widget) {
  if (auto* bar = qobject_cast<QStatusBar*>(widget)) return statusLabel(bar);
  if (auto* label = qobject_cast<QLabel*>(widget)) return label;
  throw platform::RuntimeError(platform::kInvalidCall, "not a status bar");
}

}  // namespace

std::string StatusBar::simpleText() const { return fromQt(statusText(widget())->text()); }
void StatusBar::setSimpleText(std::string_view text) { statusText(widget())->setText(toQt(text)); }

}  // namespace forms
