#pragma once
// The top-level Qt window behind a Form, and a small event hook. Private to
// the runtime.
#include <QDialog>
#include <functional>

namespace forms {

class Form;

class FormWindow : public QDialog {
 public:
  explicit FormWindow(Form& form);
  Form& form() const { return form_; }
  void setVisible(bool visible) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  Form& form_;
};

// Calls `handler` for every event of the watched object; the handler returns
// true to swallow the event. Dies with `owner` (by default the watched object).
class EventHook : public QObject {
 public:
  EventHook(QObject* watched, std::function<bool(QEvent*)> handler, QObject* owner = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QObject* watched_;
  std::function<bool(QEvent*)> handler_;
};

// Runs `action` when a mouse button is released over `watched` (the event
// goes on as usual); the hook dies with `owner`.
void onMouseRelease(QObject* watched, QObject* owner, std::function<void()> action);

}  // namespace forms
