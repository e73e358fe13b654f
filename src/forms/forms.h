#pragma once
// The forms runtime: windows with default instances and named controls, over
// Qt Widgets. Text crosses this API as Windows-1252 bytes (std::string); the
// runtime converts at the Qt boundary. Windows are Qt Designer .ui files; a
// window class derives from Form and declares its controls as members bound
// by objectName. Controls find their widget lazily, so touching any control
// (or property) of a window that is not loaded loads it, hidden, first.
//
// Event handlers are std::function members; they live in the Form object, which
// persists for the whole run, so a window unloaded and loaded again keeps its
// handlers (its controls come back with their designer values). Handlers of
// check boxes, option buttons, text boxes, combo boxes, list boxes and sliders
// run on every change of the value, whether the user or the code made it.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QObject;
class QWidget;

namespace forms {

class Form;

class FormWindow;
// Windows-1252 <-> Qt: forms/qt_text.h.

class Control {
 public:
  Control(Form& owner, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  Form& form() const { return owner_; }

  bool enabled() const;
  void setEnabled(bool on);
  bool visible() const;
  void setVisible(bool on);
  void setFocus();
  void refresh();
  int left() const;
  int top() const;
  int width() const;
  int height() const;
  void move(int left, int top);
  void resize(int width, int height);
  int backColor() const;  // system colour index as set, -1 when never set
  void setBackColor(int systemColorIndex);
  std::string toolTipText() const;
  void setToolTipText(std::string_view text);
  // The widget (for the runtime and window classes; engines never need it).
  QWidget* widget() const;

  // Keys typed while the control has the focus: KeyDown with the key code
  // (27 Esc, 13 Enter, letters as their capitals, 112 F1 ...) and the shift
  // mask (1 Shift, 2 Ctrl, 4 Alt), then KeyPress with the character code. A
  // handler that sets the code to 0 swallows the key (no other code is typed
  // in its place). A key the control does not use goes on to its window.
  std::function<void(int& keyCode, int shift)> onKeyDown;
  std::function<void(int& keyAscii)> onKeyPress;
  // The mouse moving over the control: buttons held (1 left, 2 right, 4
  // middle), the shift mask and the position in pixels in the control's
  // client area (a list's rows, not its frame).
  std::function<void(int button, int shift, int x, int y)> onMouseMove;

 protected:
  friend class Form;
  // Called after the window's widgets were created: connect signals here,
  // with link() as the receiver context (connections die with the binding).
  virtual void attach(QWidget* widget);
  void detach();
  QObject* link() const { return link_.get(); }
  // The bound widget as its Qt class; raises 5 when the designer gave it another kind.
  template <class W>
  W* as() const;

 private:
  Form& owner_;
  std::string name_;
  mutable QWidget* widget_ = nullptr;
  std::unique_ptr<QObject> link_;
  int backColor_ = -1;
};

class Label : public Control {
 public:
  using Control::Control;
  std::string caption() const;
  void setCaption(std::string_view text);
  std::function<void()> onClick;

 protected:
  void attach(QWidget* widget) override;
};

class Frame : public Control {
 public:
  using Control::Control;
  std::string caption() const;
  void setCaption(std::string_view text);
};

class CommandButton : public Control {
 public:
  using Control::Control;
  std::string caption() const;
  void setCaption(std::string_view text);
  void click();  // runs onClick as a user's click would (when enabled)
  std::function<void()> onClick;

 protected:
  void attach(QWidget* widget) override;
};

class CheckBox : public Control {
 public:
  using Control::Control;
  int value() const;         // 0 unchecked, 1 checked, 2 grayed
  void setValue(int value);  // runs onClick when the value changes
  std::string caption() const;
  void setCaption(std::string_view text);
  std::function<void()> onClick;

 protected:
  void attach(QWidget* widget) override;
};

class OptionButton : public Control {
 public:
  using Control::Control;
  bool value() const;
  void setValue(bool on);  // runs onClick when it becomes checked
  std::string caption() const;
  void setCaption(std::string_view text);
  std::function<void()> onClick;

 protected:
  void attach(QWidget* widget) override;
};

class TextBox : public Control {
 public:
  using Control::Control;
  std::string text() const;
  void setText(std::string_view text);  // runs onChange when it changes
  // False when the box holds a character Windows-1252 cannot (text() shows it as "?").
  bool textFitsCodePage() const;
  bool locked() const;
  void setLocked(bool on);
  int maxLength() const;
  std::function<void()> onChange;
  std::function<void()> onClick;

 protected:
  void attach(QWidget* widget) override;
};

// List box and combo box share the item model.
class ListControl : public Control {
 public:
  using Control::Control;
  void addItem(std::string_view item, int index = -1);
  // AddItem of each item in turn at the end, told to the list in one go.
  void addItems(const std::vector<std::string>& items);
  void addItems(std::span<const std::string_view> items);
  void removeItem(int index);  // raises 5 for a bad index
  void clear();
  int listCount() const;
  std::string list(int index) const;  // "" outside the list
  // Replaces item `index`; setting the row one past the last appends it.
  void setList(int index, std::string_view item);
  int listIndex() const;         // -1 when nothing is selected
  void setListIndex(int index);  // runs onClick; raises 380 outside -1..count-1
  std::function<void()> onClick;
};

class ListBox : public ListControl {
 public:
  using ListControl::ListControl;
  std::string text() const;  // the selected item, ""
  bool selected(int index) const;
  void setSelected(int index, bool on);
  // The whole selection in one pass over it: an entry per item, true where
  // the item is selected (what selected(i) gives for each i).
  std::vector<bool> selectedItems() const;
  int selCount() const;  // the number of selected items
  // setSelected(i, on) for every item at once: a multi-select list tells its
  // Click once, when the selection changed.
  void setAllSelected(bool on);
  int topIndex() const;
  // Scrolls the item to the top row, as far as the list scrolls (the last
  // item: the list's end shows).
  void setTopIndex(int index);
  // WM_SETREDRAW: while off, the list is not repainted as items come and go.
  void setRedraw(bool on);
  // The item under a point of the client area (LB_ITEMFROMPOINT); -1 below the last.
  int indexAt(int x, int y) const;
  void setHorizontalExtent(int pixels);  // LB_SETHORIZONTALEXTENT
  // Changes whenever the items do (added, removed, replaced, cleared) and is
  // never the same for two lists: what was measured of the items holds while
  // it stays.
  std::uint64_t itemsRevision() const { return itemsRevision_; }
  std::function<void()> onDoubleClick;
  // Files dragged from the shell onto the list (the list must accept drops):
  // their Windows paths on this machine, in the order dragged. A drag that
  // holds anything but files and folders of this machine is refused, and
  // nothing is dropped while no handler is set.
  std::function<void(const std::vector<std::string>& files)> onDropFiles;

 protected:
  void attach(QWidget* widget) override;

 private:
  std::uint64_t itemsRevision_ = 0;
};

// An editable combo box's text is its own: typing into it, or setting a text
// other than the chosen item's, leaves no item chosen (list index -1).
class ComboBox : public ListControl {
 public:
  using ListControl::ListControl;
  std::string text() const;
  void setText(std::string_view text);
  std::function<void()> onChange;

 protected:
  void attach(QWidget* widget) override;
};

class Slider : public Control {
 public:
  using Control::Control;
  int value() const;
  void setValue(int value);  // runs onChange when it changes
  int min() const;
  int max() const;
  std::function<void()> onChange;

 protected:
  void attach(QWidget* widget) override;
};

class ProgressBar : public Control {
 public:
  using Control::Control;
  int value() const;
  void setValue(int value);
  int min() const;
  int max() const;
  void setMax(int max);
};

class StatusBar : public Control {
 public:
  using Control::Control;
  std::string simpleText() const;
  void setSimpleText(std::string_view text);
};

// The tabbed dialog control: tabs over pages.
class TabControl : public Control {
 public:
  using Control::Control;
  int tab() const;
  void setTab(int index);  // runs onClick(previousTab) unless events are held
  int tabs() const;
  std::string tabCaption(int index) const;
  void setTabCaption(int index, std::string_view text);
  bool tabEnabled(int index) const;
  void setTabEnabled(int index, bool on);
  std::function<void(int previousTab)> onClick;

 protected:
  void attach(QWidget* widget) override;
};

// A picture or image control (a QLabel showing a picture).
class Picture : public Control {
 public:
  using Control::Control;
};

// A timer is not a widget; it lives with its window.
class Timer {
 public:
  Timer(Form& owner, std::string name, int intervalMs = 0, bool enabled = true);
  ~Timer();
  int interval() const;
  void setInterval(int ms);
  bool enabled() const;
  void setEnabled(bool on);
  std::function<void()> onTimer;

 private:
  friend void bindTimer(Timer& timer, QWidget* window);
  friend void unbindTimer(Timer& timer);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum ShowMode { Modeless = 0, Modal = 1 };

class Form {
 public:
  explicit Form(std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }

  void load();  // creates the widgets hidden and runs onLoad; no-op when loaded
  bool loaded() const;
  void show(ShowMode mode = Modeless);  // Modal: returns once hidden or unloaded
  void hide();
  void unload();  // runs onQueryUnload/onUnload; widgets deleted later
  // The close Windows sends when it shuts down: unload with unload mode 2.
  void unloadForShutdown();
  bool visible() const;
  void refresh();
  void centre();  // top = (screen - height) / 2, left likewise
  WindowState windowState() const;
  void setWindowState(WindowState state);
  std::string caption() const;
  void setCaption(std::string_view text);
  int left() const;
  int top() const;
  int width() const;
  int height() const;
  void move(int left, int top);
  void resize(int width, int height);
  bool enabled() const;
  void setEnabled(bool on);
  int helpContextId() const;
  void setHelpContextId(int id);
  // Text width in pixels in the window's font.
  int textWidth(std::string_view text) const;
  // MousePointer of the window: 0 default, 11 hourglass, 13 arrow and hourglass.
  int mousePointer() const;
  void setMousePointer(int pointer);

  std::function<void()> onLoad;
  std::function<void()> onActivate;
  // cancel = true keeps the window; unloadMode 0 = closed by the user's
  // control menu, 1 = by code, 2 = Windows is shutting down.
  std::function<void(bool& cancel, int unloadMode)> onQueryUnload;
  std::function<void(bool& cancel)> onUnload;
  // Keys that reach the window itself: those no control of it took (Esc on a
  // button, any key while no control has the focus); as Control's. Then
  // Enter presses the window's default button (the .ui's "default") and Esc
  // its cancel button (a button with the .ui property "cancel"); a window
  // without one does nothing, and Esc never closes a window by itself.
  std::function<void(int& keyCode, int shift)> onKeyDown;
  std::function<void(int& keyAscii)> onKeyPress;
  // The window's client area got a new size (width() and height() give it):
  // once before it is first shown, then on every resize by the user or code.
  std::function<void()> onResize;

  QWidget* widget();  // loads first
  // The window of a widget of this runtime (the widget or one of its parents), or nullptr.
  static Form* ofWidget(const QWidget* widget);

 protected:
  // Builds the designer widgets into `window` (the uic-generated setupUi).
  // `window` is always a QDialog (a plain window for QWidget .ui files), so
  // both Ui::X::setupUi(QWidget*) and, after a static_cast, setupUi(QDialog*)
  // apply. Window flags (tool window, topmost) may be set here after setupUi.
  virtual void setupUi(QWidget* window) = 0;

 private:
  friend class Control;
  friend class Timer;
  void registerControl(Control* control);
  void unregisterControl(Control* control);
  bool bindControl(Control* control);
  friend class FormWindow;
  void registerTimer(Timer* timer);
  void unregisterTimer(Timer* timer);
  void unloadWith(int unloadMode);
  void windowActivated();
  // True when `window` is this form's live window (not one unloaded and awaiting deletion).
  bool ownsWindow(const QWidget* window) const;
  void windowHidden();
  struct Impl;
  std::string name_;
  std::unique_ptr<Impl> impl_;
};

// Windows in load order (the program's exit unloads them by position).
std::vector<Form*> loadedForms();
// Screen.ActiveForm: the window that was activated last and is still shown, or nullptr.
Form* activeForm();

// While alive, handlers that code changes would run do not run.
class HoldEvents {
 public:
  HoldEvents();
  ~HoldEvents();
  static bool held();
};

}  // namespace forms
