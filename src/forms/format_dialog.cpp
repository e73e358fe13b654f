#include "forms/format_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdio>

#include "forms/qt_text.h"
#include "platform/shell.h"

namespace forms {

namespace {

std::string groupDigits(std::int64_t value) {
  std::string digits = std::to_string(value), out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

FormatDriveDialog::FormatDriveDialog(char drive, QWidget* parent) : QDialog(parent), drive_(drive) {
  setObjectName("FormatDrive");
  // The title Windows' shell gives this dialog ("3\xBD" is 3 1/2 in Windows-1252).
  setWindowTitle(toQt(std::string("Format - 3\xBD Floppy (") + drive + ":)"));
  auto* layout = new QVBoxLayout(this);

  auto* capacity = new QComboBox(this);
  capacity->setObjectName("capacityCombo");
  capacity->addItem(toQt("1.44 Mb (3.5\")"));
  layout->addWidget(new QLabel(toQt("Capacity:"), this));
  layout->addWidget(capacity);

  auto* type = new QGroupBox(toQt("Format type"), this);
  auto* typeLayout = new QVBoxLayout(type);
  quick_ = new QRadioButton(toQt("&Quick (erase)"), type);
  quick_->setObjectName("quickOption");
  quick_->setChecked(true);
  full_ = new QRadioButton(toQt("&Full"), type);
  full_->setObjectName("fullOption");
  typeLayout->addWidget(quick_);
  typeLayout->addWidget(full_);
  layout->addWidget(type);

  auto* other = new QGroupBox(toQt("Other options"), this);
  auto* otherLayout = new QVBoxLayout(other);
  otherLayout->addWidget(new QLabel(toQt("&Label:"), other));
  label_ = new QLineEdit(other);
  label_->setObjectName("labelEdit");
  label_->setMaxLength(11);
  otherLayout->addWidget(label_);
  noLabel_ = new QCheckBox(toQt("&No label"), other);
  noLabel_->setObjectName("noLabelCheck");
  otherLayout->addWidget(noLabel_);
  connect(noLabel_, &QCheckBox::toggled, label_, &QWidget::setDisabled);
  layout->addWidget(other);

  result_ = new QLabel(this);
  result_->setObjectName("resultLabel");
  result_->setWordWrap(true);
  layout->addWidget(result_);

  auto* buttons = new QHBoxLayout;
  auto* start = new QPushButton(toQt("&Start"), this);
  start->setObjectName("startButton");
  auto* close = new QPushButton(toQt("Close"), this);
  close->setObjectName("closeButton");
  buttons->addStretch();
  buttons->addWidget(start);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(start, &QPushButton::clicked, this, [this] { this->start(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void FormatDriveDialog::start() {
  platform::FormatRequest request;
  request.drive = drive_;
  request.quick = quick_->isChecked();
  request.label = noLabel_->isChecked() ? std::string() : fromQt(label_->text());
  const platform::FormatResult result = platform::formatDisk(request);
  if (!result.ok) {
    result_->setText(toQt(result.error));
    return;
  }
  formatted_ = true;
  char serial[16];
  std::snprintf(serial, sizeof serial, "%04X-%04X", static_cast<unsigned>(result.serial >> 16),
                static_cast<unsigned>(result.serial & 0xFFFF));
  result_->setText(toQt("Format results\n" + groupDigits(result.totalBytes) + " bytes total disk space\n" +
                        groupDigits(result.freeBytes) + " bytes available on disk\nSerial number " + serial));
}

bool runFormatDialog(char drive) {
  FormatDriveDialog dialog(drive);
  dialog.exec();
  return dialog.formatted();
}

}  // namespace forms
