#pragma once
// The folder browser of the Windows stand-in (SHBrowseForFolderA): a tree of
// the machine's drives and folders below "My Computer". The answer is a
// Windows path ("C:\" exactly for a drive root), "" when cancelled.
#include <QDialog>
#include <string>

class QTreeWidget;
class QTreeWidgetItem;
class QPushButton;

namespace forms {

class FolderBrowserDialog : public QDialog {
 public:
  explicit FolderBrowserDialog(const std::string& title, QWidget* parent = nullptr);
  // The folder of the current item ("" for "My Computer" or nothing).
  std::string selectedPath() const;
  // Expands the tree down to an existing folder and makes it current; false
  // when some part of it is not there.
  bool selectPath(const std::string& windowsPath);

 private:
  void fill(QTreeWidgetItem* item);
  void currentChanged();
  QTreeWidget* tree_;
  QPushButton* ok_;
};

// Shows the browser modally; "" on cancel.
std::string runFolderBrowser(const std::string& title);

}  // namespace forms
