#include "forms/text_list_model.h"

#include "forms/qt_text.h"

namespace forms {

void TextListModel::insert(int row, const std::vector<std::string>& items) {
  if (items.empty()) return;
  beginInsertRows(QModelIndex(), row, row + static_cast<int>(items.size()) - 1);
  items_.insert(items_.begin() + row, items.begin(), items.end());
  endInsertRows();
}

void TextListModel::insert(int row, std::string_view item) {
  beginInsertRows(QModelIndex(), row, row);
  items_.emplace(items_.begin() + row, item);
  endInsertRows();
}

void TextListModel::append(std::vector<std::string>&& items) {
  if (items.empty()) return;
  beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(items.size()) - 1);
  if (items_.empty()) {
    items_ = std::move(items);
  } else {
    items_.insert(items_.end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
  }
  endInsertRows();
}

void TextListModel::remove(int row) {
  beginRemoveRows(QModelIndex(), row, row);
  items_.erase(items_.begin() + row);
  endRemoveRows();
}

void TextListModel::clear() {
  beginResetModel();
  std::vector<std::string>().swap(items_);  // the memory goes with the items
  endResetModel();
}

void TextListModel::setText(int row, std::string_view item) {
  items_[static_cast<std::size_t>(row)] = item;
  const QModelIndex at = index(row);
  emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
}

int TextListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

QVariant TextListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return toQt(text(index.row()));
}

Qt::ItemFlags TextListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

}  // namespace forms
