#pragma once
// Private to the runtime: the items of a list box as Windows-1252 bytes, one
// string each, shown through a QListView. A list widget keeps an item object,
// a variant and a UTF-16 copy of the text per row; this model keeps the text
// alone and makes the Qt string only for the rows the view paints.
#include <QAbstractListModel>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

class TextListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int count() const { return static_cast<int>(items_.size()); }
  const std::string& text(int row) const { return items_[static_cast<std::size_t>(row)]; }
  // The items at `row` (0..count()), in their order.
  void insert(int row, const std::vector<std::string>& items);
  void insert(int row, std::string_view item);
  void append(std::vector<std::string>&& items);
  void remove(int row);
  void clear();
  void setText(int row, std::string_view item);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::vector<std::string> items_;
};

}  // namespace forms
