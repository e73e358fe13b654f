// List boxes and combo boxes. Click runs when the selected index changes,
// by the user or by code; adding, removing and clearing items run nothing.
// A list box is a list widget as the designer made it, or a plain list view,
// which gets the runtime's light text model (forms/text_list_model.h) for the
// long lists of paths; both behave alike.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <algorithm>

#include "forms/control_access.h"
#include "forms/handler_guard.h"
#include "forms/input_events.h"
#include "forms/qt_text.h"
#include "forms/text_list_model.h"

namespace forms {
namespace {

bool multiSelect(const QAbstractItemView* list) {
  return list->selectionMode() == QAbstractItemView::MultiSelection ||
         list->selectionMode() == QAbstractItemView::ExtendedSelection;
}

// The light model of a list view, null for a list widget or a combo box.
TextListModel* textModel(QWidget* widget) {
  auto* view = qobject_cast<QListView*>(widget);
  return view ? dynamic_cast<TextListModel*>(view->model()) : nullptr;
}

QModelIndex rowIndex(const QListView* view, int row) { return view->model()->index(row, 0); }

int currentRow(const QListView* view) { return view->currentIndex().row(); }

// What QListWidget::setCurrentRow does, for any list view.
void setCurrentRow(QListView* view, int row) {
  QItemSelectionModel::SelectionFlags command = QItemSelectionModel::SelectCurrent;
  if (view->selectionMode() == QAbstractItemView::SingleSelection)
    command = QItemSelectionModel::ClearAndSelect;
  if (view->selectionMode() == QAbstractItemView::NoSelection) command = QItemSelectionModel::NoUpdate;
  view->selectionModel()->setCurrentIndex(rowIndex(view, row), command);
}

// Qt selects the first item of an empty combo box; the list index stays as it was.
void insertKeepingChoice(QComboBox* combo, int index, const QStringList& texts) {
  const int current = combo->currentIndex();
  const QString edit = combo->isEditable() ? combo->currentText() : QString();
  QSignalBlocker block(combo);
  combo->insertItems(index, texts);
  if (current < 0) {
    combo->setCurrentIndex(-1);
    if (combo->isEditable()) combo->setEditText(edit);
  }
}

}  // namespace

void ListControl::addItem(std::string_view item, int index) {
  QWidget* w = widget();
  if (TextListModel* model = textModel(w)) {
    if (index < -1 || index > model->count()) raiseInvalidValue();
    model->insert(index < 0 ? model->count() : index, item);
    return;
  }
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    if (index < -1 || index > list->count()) raiseInvalidValue();
    list->insertItem(index < 0 ? list->count() : index, toQt(item));
    return;
  }
  QComboBox* combo = as<QComboBox>();
  if (index < -1 || index > combo->count()) raiseInvalidValue();
  insertKeepingChoice(combo, index < 0 ? combo->count() : index, {toQt(item)});
}

namespace {

template <typename Items>
void addAll(ListControl& control, QWidget* w, const Items& items) {
  if (items.empty()) return;
  if (TextListModel* model = textModel(w)) {
    model->insert(model->count(), items);
    return;
  }
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& item : items) texts.push_back(toQt(item));
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    list->addItems(texts);
    return;
  }
  QComboBox* combo = qobject_cast<QComboBox*>(w);
  if (!combo)
    throw platform::RuntimeError(platform::kInvalidCall, "Control " + control.name() + " is not a list");
  insertKeepingChoice(combo, combo->count(), texts);
}

}  // namespace

void ListControl::addItems(const std::vector<std::string>& items) { addAll(*this, widget(), items); }

void ListControl::addItems(std::span<const std::string_view> items) { addAll(*this, widget(), items); }

void ListControl::removeItem(int index) {
  QWidget* w = widget();
  if (index < 0 || index >= listCount()) throw platform::RuntimeError(platform::kInvalidCall);
  if (auto* view = qobject_cast<QListView*>(w)) {
    const int current = currentRow(view);
    QSignalBlocker block(view);
    if (TextListModel* model = textModel(w)) {
      model->remove(index);
    } else {
      delete as<QListWidget>()->takeItem(index);
    }
    // Removing the selected item leaves nothing selected.
    if (current == index) setCurrentRow(view, -1);
    return;
  }
  QComboBox* combo = as<QComboBox>();
  int current = combo->currentIndex();
  QString edit = combo->currentText();
  QSignalBlocker block(combo);
  combo->removeItem(index);
  if (current == index) {
    combo->setCurrentIndex(-1);
    if (combo->isEditable()) combo->setEditText(edit);
  }
}

void ListControl::clear() {
  QWidget* w = widget();
  if (auto* view = qobject_cast<QListView*>(w)) {
    QSignalBlocker block(view);
    if (TextListModel* model = textModel(w)) {
      model->clear();
    } else {
      as<QListWidget>()->clear();
    }
    return;
  }
  QComboBox* combo = as<QComboBox>();
  QSignalBlocker block(combo);
  combo->clear();
}

int ListControl::listCount() const {
  QWidget* w = widget();
  if (TextListModel* model = textModel(w)) return model->count();
  if (auto* list = qobject_cast<QListWidget*>(w)) return list->count();
  return as<QComboBox>()->count();
}

std::string ListControl::list(int index) const {
  QWidget* w = widget();
  if (TextListModel* model = textModel(w))
    return index >= 0 && index < model->count() ? std::string(model->text(index)) : std::string();
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    QListWidgetItem* item = list->item(index);
    return item ? fromQt(item->text()) : std::string();
  }
  QComboBox* combo = as<QComboBox>();
  return index >= 0 && index < combo->count() ? fromQt(combo->itemText(index)) : std::string();
}

void ListControl::setList(int index, std::string_view item) {
  int count = listCount();
  if (index < 0 || index > count) raiseInvalidIndex();
  if (index == count) {
    addItem(item);
    return;
  }
  QWidget* w = widget();
  if (TextListModel* model = textModel(w)) {
    model->setText(index, item);
  } else if (auto* list = qobject_cast<QListWidget*>(w)) {
    list->item(index)->setText(toQt(item));
  } else {
    QComboBox* combo = as<QComboBox>();
    QSignalBlocker block(combo);
    combo->setItemText(index, toQt(item));
  }
}

int ListControl::listIndex() const {
  QWidget* w = widget();
  if (auto* view = qobject_cast<QListView*>(w)) return currentRow(view);
  return as<QComboBox>()->currentIndex();
}

void ListControl::setListIndex(int index) {
  if (index < -1 || index >= listCount()) raiseInvalidValue();
  QWidget* w = widget();
  if (auto* list = qobject_cast<QListView*>(w)) {
    if (multiSelect(list)) {
      // In a multi-select list the index moves the focus item; the selection stays.
      if (currentRow(list) == index) return;
      {
        QSignalBlocker block(list);
        list->selectionModel()->setCurrentIndex(rowIndex(list, index), QItemSelectionModel::NoUpdate);
      }
      fireChange(eventName(*this, "Click"), onClick);
      return;
    }
    if (index < 0) {
      // -1 clears the selection, and says so only when something was selected.
      if (currentRow(list) < 0) return;
      setCurrentRow(list, -1);
      list->clearSelection();
      return;
    }
    setCurrentRow(list, index);
    return;
  }
  as<QComboBox>()->setCurrentIndex(index);
}

// ---- ListBox ------------------------------------------------------------------

std::string ListBox::text() const { return list(listIndex()); }

bool ListBox::selected(int index) const {
  QListView* list = as<QListView>();
  if (index < 0 || index >= listCount()) raiseInvalidIndex();
  return list->selectionModel()->isSelected(rowIndex(list, index));
}

void ListBox::setSelected(int index, bool on) {
  QListView* list = as<QListView>();
  if (index < 0 || index >= listCount()) raiseInvalidIndex();
  if (!multiSelect(list)) {
    // A single-select list selects by its index.
    if (on) {
      setListIndex(index);
    } else if (currentRow(list) == index) {
      setListIndex(-1);
    }
    return;
  }
  list->selectionModel()->select(rowIndex(list, index),
                                 on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

std::vector<bool> ListBox::selectedItems() const {
  QListView* list = as<QListView>();
  const int count = listCount();
  std::vector<bool> rows(static_cast<std::size_t>(count), false);
  for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
    const int bottom = std::min(range.bottom(), count - 1);
    for (int row = std::max(range.top(), 0); row <= bottom; ++row) rows[static_cast<std::size_t>(row)] = true;
  }
  return rows;
}

int ListBox::selCount() const {
  const std::vector<bool> rows = selectedItems();
  return static_cast<int>(std::count(rows.begin(), rows.end(), true));
}

void ListBox::setAllSelected(bool on) {
  QListView* list = as<QListView>();
  const int count = listCount();
  if (!multiSelect(list)) {
    for (int i = 0; i < count; ++i) setSelected(i, on);
    return;
  }
  if (count == 0) return;
  const QItemSelection all(rowIndex(list, 0), rowIndex(list, count - 1));
  list->selectionModel()->select(all, on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int ListBox::indexAt(int x, int y) const {
  const QModelIndex at = as<QListView>()->indexAt(QPoint(x, y));
  return at.isValid() ? at.row() : -1;
}

int ListBox::topIndex() const {
  const QModelIndex top = as<QListView>()->indexAt(QPoint(1, 1));
  return top.isValid() ? top.row() : 0;
}

void ListBox::setTopIndex(int index) {
  QListView* list = as<QListView>();
  if (index < 0 || index >= listCount()) raiseInvalidIndex();
  list->scrollTo(rowIndex(list, index), QAbstractItemView::PositionAtTop);
}

void ListBox::setRedraw(bool on) { as<QListView>()->setUpdatesEnabled(on); }

void ListBox::setHorizontalExtent(int pixels) {
  // The list scrolls sideways as wide as its widest item; an extent larger
  // than that is given by a minimum width of the items' view.
  QListView* list = as<QListView>();
  list->setHorizontalScrollBarPolicy(pixels > list->viewport()->width() ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAsNeeded);
}

void ListBox::attach(QWidget* widget) {
  Control::attach(widget);
  auto* list = qobject_cast<QListView*>(widget);
  if (!list) return;
  if (!qobject_cast<QListWidget*>(list) && !textModel(list)) {
    QItemSelectionModel* designerSelection = list->selectionModel();
    list->setModel(new TextListModel(list));
    delete designerSelection;
  }
  static std::uint64_t revisions = 0;
  itemsRevision_ = ++revisions;
  QAbstractItemModel* model = list->model();
  const auto changed = [this] { itemsRevision_ = ++revisions; };
  QObject::connect(model, &QAbstractItemModel::rowsInserted, link(), changed);
  QObject::connect(model, &QAbstractItemModel::rowsRemoved, link(), changed);
  QObject::connect(model, &QAbstractItemModel::dataChanged, link(), changed);
  QObject::connect(model, &QAbstractItemModel::modelReset, link(), changed);
  QObject::connect(model, &QAbstractItemModel::layoutChanged, link(), changed);
  // Signals of the selection, not of the widget: a list view has none of its
  // own. What the code does behind a blocker of the list says nothing.
  QItemSelectionModel* selection = list->selectionModel();
  QObject::connect(selection, &QItemSelectionModel::currentRowChanged, link(), [this, list] {
    if (!list->signalsBlocked() && !multiSelect(list)) fireChange(eventName(*this, "Click"), onClick);
  });
  QObject::connect(selection, &QItemSelectionModel::selectionChanged, link(), [this, list] {
    if (!list->signalsBlocked() && multiSelect(list)) fireChange(eventName(*this, "Click"), onClick);
  });
  QObject::connect(list, &QAbstractItemView::doubleClicked, link(),
                   [this] { fire(eventName(*this, "DblClick"), onDoubleClick); });
  if (list->acceptDrops()) installFileDrop(*this, list);
}

// ---- ComboBox -------------------------------------------------------------------

namespace {

// The chosen item of an editable combo box goes once its text is another.
void dropChoiceUnlessShown(QComboBox* combo) {
  const int current = combo->currentIndex();
  if (current < 0 || combo->itemText(current) == combo->currentText()) return;
  QLineEdit* edit = combo->lineEdit();
  const QString text = edit->text();
  const int cursor = edit->cursorPosition();
  QSignalBlocker block(combo);
  combo->setCurrentIndex(-1);
  edit->setText(text);
  edit->setCursorPosition(cursor);
}

}  // namespace

std::string ComboBox::text() const { return fromQt(as<QComboBox>()->currentText()); }

void ComboBox::setText(std::string_view text) {
  QComboBox* combo = as<QComboBox>();
  QString value = toQt(text);
  if (combo->isEditable()) {
    if (combo->currentText() == value) return;
    {
      QSignalBlocker block(combo);
      combo->setEditText(value);
    }
    dropChoiceUnlessShown(combo);
    fireChange(eventName(*this, "Change"), onChange);
    return;
  }
  // A drop-down list takes a text only as the choice of the item of that text.
  int index = combo->findText(value, Qt::MatchFixedString);
  if (index < 0) throw platform::RuntimeError(383, "'Text' property is read-only");
  combo->setCurrentIndex(index);
}

void ComboBox::attach(QWidget* widget) {
  Control::attach(widget);
  auto* combo = qobject_cast<QComboBox*>(widget);
  if (!combo) return;
  QObject::connect(combo, &QComboBox::currentIndexChanged, link(),
                   [this] { fireChange(eventName(*this, "Click"), onClick); });
  if (QLineEdit* edit = combo->lineEdit()) {
    QObject::connect(edit, &QLineEdit::textEdited, link(), [this, combo] {
      dropChoiceUnlessShown(combo);
      fireChange(eventName(*this, "Change"), onChange);
    });
  }
}

}  // namespace forms
