#pragma once
// Private to the runtime: the items of a list box as Windows-1252 bytes, one
// after another in one buffer, shown through a QListView. A list widget keeps
// an item object, a variant and a UTF-16 copy of the text per row; this model
// keeps the bytes and 8 bytes of place per row, and makes the Qt string only
// for the rows the view paints.
#include <QAbstractListModel>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

class TextListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int count() const { return static_cast<int>(spans_.size()); }
  std::string_view text(int row) const {
    const Span& span = spans_[static_cast<std::size_t>(row)];
    return std::string_view(bytes_).substr(span.start, span.size);
  }
  // The items at `row` (0..count()), in their order.
  template <typename Items>
  void insert(int row, const Items& items) {
    if (items.empty()) return;
    std::size_t size = bytes_.size();
    for (const auto& item : items) size += std::string_view(item).size();
    bytes_.reserve(size);
    std::vector<Span> spans;
    spans.reserve(items.size());
    for (const auto& item : items) spans.push_back(store(item));
    beginInsertRows(QModelIndex(), row, row + static_cast<int>(spans.size()) - 1);
    spans_.insert(spans_.begin() + row, spans.begin(), spans.end());
    endInsertRows();
  }
  void insert(int row, std::string_view item);
  void remove(int row);
  void clear();
  void setText(int row, std::string_view item);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Span {
    std::uint32_t start, size;
  };
  // Appends the bytes of an item to the buffer.
  Span store(std::string_view item);
  // The bytes of removed and replaced items stay until they are half the buffer.
  void dropUnused(std::size_t bytes);

  std::string bytes_;
  std::vector<Span> spans_;
  std::size_t unused_ = 0;
};

}  // namespace forms
