// Names for screen readers, found the way a reader finds them for Windows
// controls; the tab strip's tabs as page tabs that say which is selected, and
// combo boxes named by their label.
#include "forms/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <map>
#include <optional>

namespace forms {
namespace {

// The name the runtime gave last: a name that differs from it was given by
// the .ui or by other code, and stays.
constexpr const char* kGivenName = "kelvaranAccessibleName";
// Set in a .ui on a control: the objectName of the label or frame that names it.
constexpr const char* kNameFrom = "nameFrom";

bool designed(const QWidget* widget) {
  const QString name = widget->objectName();
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

bool namedByCaption(const QWidget* widget) { return qobject_cast<const QAbstractButton*>(widget) != nullptr; }

bool namedByLabel(const QWidget* widget) {
  return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractScrollArea*>(widget) ||
         qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSlider*>(widget) ||
         qobject_cast<const QProgressBar*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

QString spoken(const QString& caption) { return withoutMnemonics(caption).simplified(); }

QString captionOf(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) {
    const QString text = label->text();
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    return spoken(rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text);
  }
  if (auto* frame = qobject_cast<const QGroupBox*>(widget)) return spoken(frame->title());
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return spoken(button->text());
  return {};
}

// ---- the label before a control --------------------------------------------

// Where an item sits: its layout and its index there.
struct Slot {
  QLayout* layout;
  int index;
};

template <class Match>
std::optional<Slot> findSlot(QLayout* layout, const Match& match) {
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (match(item)) return Slot{layout, i};
    if (QLayout* inner = item->layout()) {
      if (auto slot = findSlot(inner, match)) return slot;
    }
  }
  return std::nullopt;
}

std::optional<Slot> slotOf(QWidget* widget) {
  QWidget* parent = widget->parentWidget();
  if (!parent || !parent->layout()) return std::nullopt;
  return findSlot(parent->layout(), [widget](QLayoutItem* item) { return item->widget() == widget; });
}

// The slot of a nested layout in the layout that holds it.
std::optional<Slot> slotOf(QLayout* layout) {
  auto* outer = qobject_cast<QLayout*>(layout->parent());
  if (!outer) return std::nullopt;
  for (int i = 0; i < outer->count(); ++i) {
    if (outer->itemAt(i)->layout() == layout) return Slot{outer, i};
  }
  return std::nullopt;
}

bool occupied(QLayoutItem* item) {
  if (!item || item->spacerItem()) return false;
  return !item->widget() || !item->widget()->isHidden();
}

// The item just before a slot: left of it in its row, else above it in its
// column (a grid), or the one before it in its row or column (a box).
QLayoutItem* itemBefore(const Slot& slot) {
  if (auto* grid = qobject_cast<QGridLayout*>(slot.layout)) {
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(slot.index, &row, &column, &rowSpan, &columnSpan);
    for (int c = column - 1; c >= 0; --c) {
      if (QLayoutItem* item = grid->itemAtPosition(row, c); occupied(item)) return item;
    }
    for (int r = row - 1; r >= 0; --r) {
      if (QLayoutItem* item = grid->itemAtPosition(r, column); occupied(item)) return item;
    }
    return nullptr;
  }
  for (int i = slot.index - 1; i >= 0; --i) {
    if (QLayoutItem* item = slot.layout->itemAt(i); occupied(item)) return item;
  }
  return nullptr;
}

// A control placed by coordinates: the nearest label of its parent just left
// of it on its line, else just above it.
QLabel* labelBeside(QWidget* widget) {
  constexpr int kSlack = 4;
  constexpr int kAboveGap = 30;
  const QRect own = widget->geometry();
  QLabel* left = nullptr;
  QLabel* above = nullptr;
  int leftGap = 0, aboveGap = 0;
  for (QObject* child : widget->parentWidget()->children()) {
    auto* label = qobject_cast<QLabel*>(child);
    if (!label || label->isHidden() || label->text().isEmpty()) continue;
    const QRect r = label->geometry();
    const bool sameLine = r.top() < own.bottom() && r.bottom() > own.top();
    const bool sameColumn = r.left() < own.right() && r.right() > own.left();
    if (sameLine && r.right() <= own.left() + kSlack) {
      int gap = own.left() - r.right();
      if (!left || gap < leftGap) left = label, leftGap = gap;
    } else if (sameColumn && r.bottom() <= own.top() + kSlack) {
      int gap = own.top() - r.bottom();
      if (gap <= kAboveGap && (!above || gap < aboveGap)) above = label, aboveGap = gap;
    }
  }
  return left ? left : above;
}

QLabel* labelBefore(QWidget* widget) {
  std::optional<Slot> slot = slotOf(widget);
  if (!slot) return widget->parentWidget() ? labelBeside(widget) : nullptr;
  // Up through nested rows and columns until something stands before.
  while (slot) {
    if (QLayoutItem* item = itemBefore(*slot)) {
      auto* label = qobject_cast<QLabel*>(item->widget());
      return label && !label->text().isEmpty() ? label : nullptr;
    }
    slot = slotOf(slot->layout);
  }
  return nullptr;
}

// The frame, tab page or window around a control that has a caption.
QString enclosingCaption(QWidget* widget) {
  for (QWidget* w = widget->parentWidget(); w && !w->isWindow(); w = w->parentWidget()) {
    if (auto* frame = qobject_cast<QGroupBox*>(w)) {
      if (QString title = spoken(frame->title()); !title.isEmpty()) return title;
    }
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs && tabs->indexOf(w) >= 0) {
      if (QString caption = spoken(tabs->tabText(tabs->indexOf(w))); !caption.isEmpty()) return caption;
    }
  }
  return spoken(widget->window()->windowTitle());
}

QString labelName(QWidget* widget) {
  if (QString from = widget->property(kNameFrom).toString(); !from.isEmpty()) {
    if (auto* namer = widget->window()->findChild<QWidget*>(from)) {
      if (QString caption = captionOf(namer); !caption.isEmpty()) return caption;
    }
  }
  if (QLabel* label = labelBefore(widget)) {
    if (QString caption = captionOf(label); !caption.isEmpty()) return caption;
  }
  return enclosingCaption(widget);
}

QString nameFor(QWidget* widget) {
  if (namedByCaption(widget)) {
    QString caption = captionOf(widget);
    return caption.isEmpty() ? spoken(widget->toolTip()) : caption;
  }
  return labelName(widget);
}

void nameOne(QWidget* widget) {
  const QString current = widget->accessibleName();
  if (!current.isEmpty() && current != widget->property(kGivenName).toString()) return;
  const QString name = nameFor(widget);
  if (name == current) return;
  widget->setProperty(kGivenName, name);
  widget->setAccessibleName(name);
  // A combo box's drop-down list is announced as the combo box is.
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->view()->setAccessibleName(name);
    if (combo->lineEdit()) combo->lineEdit()->setAccessibleName(name);
  }
}

// ---- tabs -------------------------------------------------------------------

class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  TabAccessible(QTabBar* bar, int index) : bar_(bar), index_(index) {}

  int index() const { return index_; }

  bool isValid() const override { return bar_ && index_ < bar_->count(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(bar_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}
  QAccessible::Role role() const override { return QAccessible::PageTab; }

  QString text(QAccessible::Text t) const override {
    if (!isValid()) return {};
    switch (t) {
      case QAccessible::Name: return spoken(bar_->tabText(index_));
      case QAccessible::Description: return bar_->tabToolTip(index_);
      default: return {};
    }
  }

  QRect rect() const override {
    if (!isValid() || !bar_->isVisible()) return {};
    const QRect local = bar_->tabRect(index_);
    return QRect(bar_->mapToGlobal(local.topLeft()), local.size());
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    const bool current = bar_->currentIndex() == index_;
    s.selectable = true;
    s.selected = current;
    s.focusable = true;
    s.focused = current && bar_->hasFocus();
    s.disabled = !bar_->isTabEnabled(index_) || !bar_->isEnabled();
    s.invisible = !bar_->isVisible() || !bar_->isTabVisible(index_);
    s.offscreen = s.invisible;
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && isValid() && bar_->isTabEnabled(index_)) bar_->setCurrentIndex(index_);
  }

 private:
  QPointer<QTabBar> bar_;
  int index_;
};

// The strip: named after its selected tab; its children are its tabs.
class TabBarAccessible : public QAccessibleWidget {
 public:
  explicit TabBarAccessible(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {
    // Readers that keep what they were told learn of the switch.
    auto previous = std::make_shared<int>(bar->currentIndex());
    QObject::connect(bar, &QTabBar::currentChanged, bar, [bar, previous](int index) {
      QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(bar);
      QAccessible::State selected;
      selected.selected = true;
      for (int changed : {*previous, index}) {
        if (QAccessibleInterface* tab = strip ? strip->child(changed) : nullptr) {
          QAccessibleStateChangeEvent event(tab, selected);
          QAccessible::updateAccessibility(&event);
        }
      }
      *previous = index;
      QAccessibleEvent renamed(bar, QAccessible::NameChanged);
      QAccessible::updateAccessibility(&renamed);
    });
  }

  ~TabBarAccessible() override {
    for (const auto& [index, id] : tabs_) QAccessible::deleteAccessibleInterface(id);
  }

  QTabBar* bar() const { return static_cast<QTabBar*>(object()); }

  int childCount() const override { return bar()->count(); }

  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= bar()->count()) return nullptr;
    if (auto found = tabs_.find(index); found != tabs_.end())
      return QAccessible::accessibleInterface(found->second);
    auto* tab = new TabAccessible(bar(), index);
    tabs_[index] = QAccessible::registerAccessibleInterface(tab);
    return tab;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    for (const auto& [index, id] : tabs_) {
      if (QAccessible::accessibleInterface(id) == child) return index;
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = 0; i < bar()->count(); ++i) {
      if (QAccessibleInterface* tab = child(i); tab && tab->rect().contains(x, y)) return tab;
    }
    return nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && bar()->accessibleName().isEmpty()) {
      return bar()->currentIndex() < 0 ? QString() : spoken(bar()->tabText(bar()->currentIndex()));
    }
    return QAccessibleWidget::text(t);
  }

 private:
  mutable std::map<int, QAccessible::Id> tabs_;
};

// ---- combo boxes ---------------------------------------------------------------

// A combo box named by its label, its choice as its value (Qt names it after
// its choice on this platform); its children are its drop-down list and, when
// editable, its text box.
class ComboAccessible : public QAccessibleWidget {
 public:
  explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  QComboBox* combo() const { return static_cast<QComboBox*>(object()); }

  int childCount() const override { return combo()->lineEdit() ? 2 : 1; }

  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(combo()->view());
    if (index == 1 && combo()->lineEdit()) return QAccessible::queryAccessibleInterface(combo()->lineEdit());
    return nullptr;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i) {
      if (this->child(i) == child) return i;
    }
    return -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    QLineEdit* edit = combo()->lineEdit();
    if (edit && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y)) return child(1);
    return nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    return combo()->view()->isVisible() ? child(0) : nullptr;
  }

  QString text(QAccessible::Text t) const override {
    const QString choice = combo()->currentText();
    if (t == QAccessible::Value) return choice;
    if (t == QAccessible::Name)
      return combo()->accessibleName().isEmpty() ? choice : combo()->accessibleName();
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override {
    return {QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
  }

  void doAction(const QString& name) override {
    if (name != showMenuAction() && name != pressAction()) return;
    if (combo()->view()->isVisible()) {
      combo()->hidePopup();
    } else {
      combo()->showPopup();
    }
  }

  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// ---- windows and lists ---------------------------------------------------------

// A window of the runtime: a frame when it is a plain window (the main
// window), a dialog when it is one.
class WindowAccessible : public QAccessibleWidget {
 public:
  explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Dialog) {}
  QAccessible::Role role() const override {
    return widget()->windowType() == Qt::Window ? QAccessible::Window : QAccessible::Dialog;
  }
};

// Qt's own interface of a list view, asked for while the runtime's factory stands aside.
thread_local bool g_qtsOwnList = false;

// A row of a list as Qt presents it, except that it is focused only while its
// list has the focus in the active window (Qt's row stays focused as long as
// it is the current row, wherever the focus went).
class ListItemAccessible : public QAccessibleInterface {
 public:
  ListItemAccessible(QAccessible::Id inner, QAbstractItemView* view) : inner_(inner), view_(view) {}

  QAccessibleInterface* inner() const { return QAccessible::accessibleInterface(inner_); }

  bool isValid() const override { return view_ && inner() && inner()->isValid(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return isValid() ? inner()->window() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(view_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  QString text(QAccessible::Text t) const override { return isValid() ? inner()->text(t) : QString(); }
  void setText(QAccessible::Text t, const QString& text) override {
    if (isValid()) inner()->setText(t, text);
  }
  QRect rect() const override { return isValid() ? inner()->rect() : QRect(); }
  QAccessible::Role role() const override { return isValid() ? inner()->role() : QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    s = inner()->state();
    s.focused = s.focused && view_->hasFocus() && view_->window()->isActiveWindow();
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return isValid() ? inner()->interface_cast(type) : nullptr;
  }

 private:
  QAccessible::Id inner_;
  QPointer<QAbstractItemView> view_;
};

// A list view as Qt presents it, its rows as ListItemAccessible.
class ListAccessible : public QAccessibleInterface {
 public:
  ListAccessible(QAccessibleInterface* inner, QAbstractItemView* view)
      : inner_(QAccessible::uniqueId(inner)), view_(view) {
    // The row that had the focus tells that it no longer has it.
    QObject::connect(qApp, &QApplication::focusChanged, view, [view](QWidget* old, QWidget*) {
      if (old != view || !view->currentIndex().isValid()) return;
      QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view);
      QAccessibleInterface* row = list ? list->child(view->currentIndex().row()) : nullptr;
      if (!row) return;
      QAccessible::State focused;
      focused.focused = true;
      QAccessibleStateChangeEvent event(row, focused);
      QAccessible::updateAccessibility(&event);
    });
  }
  ~ListAccessible() override {
    for (const auto& [innerRow, row] : rows_) QAccessible::deleteAccessibleInterface(row);
    if (QAccessible::accessibleInterface(inner_)) QAccessible::deleteAccessibleInterface(inner_);
  }

  QAccessibleInterface* inner() const { return QAccessible::accessibleInterface(inner_); }

  bool isValid() const override { return view_ && inner() && inner()->isValid(); }
  QObject* object() const override { return view_.data(); }
  QWindow* window() const override { return isValid() ? inner()->window() : nullptr; }
  QAccessibleInterface* parent() const override { return isValid() ? inner()->parent() : nullptr; }
  QAccessibleInterface* child(int index) const override {
    return wrap(isValid() ? inner()->child(index) : nullptr);
  }
  int childCount() const override { return isValid() ? inner()->childCount() : 0; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!isValid()) return -1;
    for (const auto& [innerRow, row] : rows_) {
      if (QAccessible::accessibleInterface(row) == child)
        return inner()->indexOfChild(QAccessible::accessibleInterface(innerRow));
    }
    return inner()->indexOfChild(child);
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    return wrap(isValid() ? inner()->childAt(x, y) : nullptr);
  }
  QAccessibleInterface* focusChild() const override {
    return view_ && view_->hasFocus() && isValid() ? wrap(inner()->focusChild()) : nullptr;
  }
  QString text(QAccessible::Text t) const override { return isValid() ? inner()->text(t) : QString(); }
  void setText(QAccessible::Text t, const QString& text) override {
    if (isValid()) inner()->setText(t, text);
  }
  QRect rect() const override { return isValid() ? inner()->rect() : QRect(); }
  QAccessible::Role role() const override { return isValid() ? inner()->role() : QAccessible::List; }
  QAccessible::State state() const override { return isValid() ? inner()->state() : QAccessible::State(); }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return isValid() ? inner()->interface_cast(type) : nullptr;
  }

 private:
  QAccessibleInterface* wrap(QAccessibleInterface* innerRow) const {
    if (!innerRow) return nullptr;
    const QAccessible::Id id = QAccessible::uniqueId(innerRow);
    if (auto found = rows_.find(id); found != rows_.end()) {
      if (QAccessibleInterface* row = QAccessible::accessibleInterface(found->second)) return row;
    }
    auto* row = new ListItemAccessible(id, view_.data());
    rows_[id] = QAccessible::registerAccessibleInterface(row);
    return row;
  }

  QAccessible::Id inner_;
  QPointer<QAbstractItemView> view_;
  mutable std::map<QAccessible::Id, QAccessible::Id> rows_;
};

QAccessibleInterface* listFactory(QListView* view) {
  if (g_qtsOwnList) return nullptr;
  g_qtsOwnList = true;
  QAccessibleInterface* qts = QAccessible::queryAccessibleInterface(view);
  g_qtsOwnList = false;
  if (!qts || qts->object() != view) return nullptr;
  return new ListAccessible(qts, view);
}

QAccessibleInterface* controlFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("QTabBar")) {
    if (auto* bar = qobject_cast<QTabBar*>(object)) return new TabBarAccessible(bar);
  }
  if (className == QLatin1String("QListView") || className == QLatin1String("QListWidget")) {
    if (auto* view = qobject_cast<QListView*>(object)) return listFactory(view);
  }
  if (className == QLatin1String("QDialog")) {
    if (auto* window = qobject_cast<QWidget*>(object); window && window->isWindow())
      return new WindowAccessible(window);
  }
  if (className == QLatin1String("QComboBox")) {
    if (auto* combo = qobject_cast<QComboBox*>(object)) return new ComboAccessible(combo);
  }
  return nullptr;
}

}  // namespace

QString withoutMnemonics(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] != QLatin1Char('&')) {
      out.append(caption[i]);
    } else if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
      out.append(QLatin1Char('&'));
      ++i;
    }
  }
  return out;
}

void nameControls(QWidget* window) {
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (designed(widget) && (namedByCaption(widget) || namedByLabel(widget))) nameOne(widget);
  }
}

void captionChanged(QWidget* widget) {
  if (!widget->isWindow() && namedByCaption(widget)) {
    nameOne(widget);
    return;
  }
  // A label, frame, tab or window caption may name any control of the window.
  nameControls(widget->window());
}

void chooseRowsAsAClickDoes(QListWidget* list) {
  QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, list, [list] {
    if (list->selectionMode() != QAbstractItemView::SingleSelection) return;
    const QModelIndexList chosen = list->selectionModel()->selectedIndexes();
    if (chosen.size() == 1 && chosen.first().row() != list->currentRow())
      list->setCurrentRow(chosen.first().row());
  });
}

void installAccessibleInterfaces() {
  static const bool installed = (QAccessible::installFactory(controlFactory), true);
  (void)installed;
}

}  // namespace forms
