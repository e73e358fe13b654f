// Check boxes, option buttons, text boxes and sliders: their handlers run on
// every change of the value, by the user or by code.
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>

#include "forms/accessible_names.h"
#include "forms/control_access.h"
#include "forms/form_window.h"
#include "forms/handler_guard.h"
#include "forms/qt_text.h"

namespace forms {
namespace {

// Multi-line text boxes hold CR LF line ends, as the program reads and writes them.
std::string toCrLf(const QString& text) {
  std::string plain = fromQt(text);
  std::string out;
  out.reserve(plain.size());
  for (char c : plain) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

QString fromCrLf(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    plain.push_back(text[i] == '\r' ? '\n' : text[i]);
  }
  return toQt(plain);
}

}  // namespace

// ---- CheckBox -------------------------------------------------------------

int CheckBox::value() const {
  switch (as<QCheckBox>()->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
  }
}

void CheckBox::setValue(int value) {
  QCheckBox* box = as<QCheckBox>();
  if (value < 0 || value > 2) raiseInvalidValue();
  if (value == 2) box->setTristate(true);
  box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

std::string CheckBox::caption() const { return fromQt(as<QCheckBox>()->text()); }
void CheckBox::setCaption(std::string_view text) {
  QCheckBox* box = as<QCheckBox>();
  box->setText(toQt(text));
  captionChanged(box);
}

void CheckBox::attach(QWidget* widget) {
  Control::attach(widget);
  auto* box = qobject_cast<QCheckBox*>(widget);
  if (!box) return;
  QObject::connect(box, &QCheckBox::stateChanged, link(), [this, box](int state) {
    // Grayed is a state only code sets; a click leaves it for good.
    if (state != Qt::PartiallyChecked) box->setTristate(false);
    fireChange(eventName(*this, "Click"), onClick);
  });
}

// ---- OptionButton ---------------------------------------------------------

bool OptionButton::value() const { return as<QRadioButton>()->isChecked(); }

void OptionButton::setValue(bool on) {
  QRadioButton* button = as<QRadioButton>();
  if (on || !button->isChecked()) {
    button->setChecked(on);
    return;
  }
  // Clearing the checked button of an exclusive group leaves the group with none.
  QButtonGroup* group = button->group();
  bool groupExclusive = group && group->exclusive();
  bool autoExclusive = button->autoExclusive();
  if (groupExclusive) group->setExclusive(false);
  button->setAutoExclusive(false);
  button->setChecked(false);
  button->setAutoExclusive(autoExclusive);
  if (groupExclusive) group->setExclusive(true);
}

std::string OptionButton::caption() const { return fromQt(as<QRadioButton>()->text()); }
void OptionButton::setCaption(std::string_view text) {
  QRadioButton* button = as<QRadioButton>();
  button->setText(toQt(text));
  captionChanged(button);
}

void OptionButton::attach(QWidget* widget) {
  Control::attach(widget);
  auto* button = qobject_cast<QRadioButton*>(widget);
  if (!button) return;
  QObject::connect(button, &QRadioButton::toggled, link(), [this](bool on) {
    if (on) fireChange(eventName(*this, "Click"), onClick);
  });
}

// ---- TextBox ----------------------------------------------------------------

std::string TextBox::text() const {
  QWidget* w = widget();
  if (auto* line = qobject_cast<QLineEdit*>(w)) return fromQt(line->text());
  return toCrLf(as<QPlainTextEdit>()->toPlainText());
}

bool TextBox::textFitsCodePage() const {
  QWidget* w = widget();
  if (auto* line = qobject_cast<QLineEdit*>(w)) return fitsWindows1252(line->text());
  return fitsWindows1252(as<QPlainTextEdit>()->toPlainText());
}

void TextBox::setText(std::string_view text) {
  QWidget* w = widget();
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    QString value = toQt(text);
    if (line->maxLength() < value.size()) value.truncate(line->maxLength());
    line->setText(value);
    return;
  }
  QPlainTextEdit* edit = as<QPlainTextEdit>();
  QString value = fromCrLf(text);
  if (edit->toPlainText() != value) edit->setPlainText(value);
}

bool TextBox::locked() const {
  QWidget* w = widget();
  if (auto* line = qobject_cast<QLineEdit*>(w)) return line->isReadOnly();
  return as<QPlainTextEdit>()->isReadOnly();
}

void TextBox::setLocked(bool on) {
  QWidget* w = widget();
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setReadOnly(on);
  } else {
    as<QPlainTextEdit>()->setReadOnly(on);
  }
}

int TextBox::maxLength() const {
  // Qt's default limit stands for "no limit" (0).
  if (auto* line = qobject_cast<QLineEdit*>(widget()))
    return line->maxLength() >= 32767 ? 0 : line->maxLength();
  return 0;
}

void TextBox::attach(QWidget* widget) {
  Control::attach(widget);
  auto change = [this] { fireChange(eventName(*this, "Change"), onChange); };
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    QObject::connect(line, &QLineEdit::textChanged, link(), change);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    QObject::connect(edit, &QPlainTextEdit::textChanged, link(), change);
    widget = edit->viewport();
  }
  onMouseRelease(widget, link(), [this] { fire(eventName(*this, "Click"), onClick); });
}

// ---- Slider -----------------------------------------------------------------

int Slider::value() const { return as<QSlider>()->value(); }
int Slider::min() const { return as<QSlider>()->minimum(); }
int Slider::max() const { return as<QSlider>()->maximum(); }

void Slider::setValue(int value) { setRangedValue(as<QSlider>(), value); }

void Slider::attach(QWidget* widget) {
  Control::attach(widget);
  if (auto* slider = qobject_cast<QSlider*>(widget)) {
    QObject::connect(slider, &QSlider::valueChanged, link(),
                     [this] { fireChange(eventName(*this, "Change"), onChange); });
  }
}

}  // namespace forms
