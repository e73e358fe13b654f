#pragma once
// The format dialog of the Windows stand-in (SHFormatDrive) for a removable
// drive: capacity, format type (Quick (erase) or Full), label or no label,
// Start and Close. Each Start formats once and shows its summary or why it
// could not format; the dialog stays open until Close.
#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace forms {

class FormatDriveDialog : public QDialog {
 public:
  explicit FormatDriveDialog(char drive, QWidget* parent = nullptr);
  // True once a Start has formatted the disk.
  bool formatted() const { return formatted_; }
  void start();  // what the Start button does

 private:
  char drive_;
  bool formatted_ = false;
  QRadioButton* quick_;
  QRadioButton* full_;
  QLineEdit* label_;
  QCheckBox* noLabel_;
  QLabel* result_;
};

// Shows the dialog modally; true when it formatted.
bool runFormatDialog(char drive);

}  // namespace forms
