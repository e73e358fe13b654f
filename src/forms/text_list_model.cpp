#include "forms/text_list_model.h"

#include "forms/qt_text.h"
#include "platform/error.h"

namespace forms {

TextListModel::Span TextListModel::store(std::string_view item) {
  if (bytes_.size() + item.size() > UINT32_MAX) throw platform::RuntimeError(platform::kOutOfMemory);
  const Span span{static_cast<std::uint32_t>(bytes_.size()), static_cast<std::uint32_t>(item.size())};
  bytes_.append(item);
  return span;
}

void TextListModel::dropUnused(std::size_t bytes) {
  unused_ += bytes;
  if (unused_ * 2 <= bytes_.size()) return;
  std::string kept;
  kept.reserve(bytes_.size() - unused_);
  for (Span& span : spans_) {
    const std::string_view item = std::string_view(bytes_).substr(span.start, span.size);
    span.start = static_cast<std::uint32_t>(kept.size());
    kept.append(item);
  }
  bytes_.swap(kept);
  unused_ = 0;
}

void TextListModel::insert(int row, std::string_view item) {
  const Span span = store(item);
  beginInsertRows(QModelIndex(), row, row);
  spans_.insert(spans_.begin() + row, span);
  endInsertRows();
}

void TextListModel::remove(int row) {
  beginRemoveRows(QModelIndex(), row, row);
  const std::size_t size = spans_[static_cast<std::size_t>(row)].size;
  spans_.erase(spans_.begin() + row);
  dropUnused(size);
  endRemoveRows();
}

void TextListModel::clear() {
  beginResetModel();
  std::string().swap(bytes_);  // the memory goes with the items
  std::vector<Span>().swap(spans_);
  unused_ = 0;
  endResetModel();
}

void TextListModel::setText(int row, std::string_view item) {
  const std::size_t old = spans_[static_cast<std::size_t>(row)].size;
  spans_[static_cast<std::size_t>(row)] = store(item);
  dropUnused(old);
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
