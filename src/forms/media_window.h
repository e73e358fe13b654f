#pragma once
// The floppy drive of the Windows stand-in, for the person at the machine:
// a small tool window that shows what is in drive A: and lets them eject
// it, insert another disk from the machine's shelf, make a new blank or
// formatted disk, and set a disk's write protection, while the program runs
// (for instance when it asks for "Disk No. 2").
//
// installStandInWindows() makes the stand-in's own windows the ones the
// dialogs service shows (folder browser, format dialog) and opens this
// window with Ctrl+Shift+F12 from any window of the program; the variable
// KELVARAN_MEDIA_WINDOW=1 shows it at start as well.
#include <QWidget>
#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QTimer;

namespace forms {

class MediaWindow : public QWidget {
 public:
  explicit MediaWindow(char drive = 'A', QWidget* parent = nullptr);
  void refresh();  // re-reads the drive and the shelf
  // The buttons' actions.
  void insertSelected();
  void eject();
  std::string createDisk(bool formatted);  // returns the new medium's name, inserted at once
  void setSelectedWriteProtected(bool on);

 private:
  std::string selectedMedium() const;
  char drive_;
  QLabel* status_;
  QListWidget* shelf_;
  QCheckBox* writeProtect_;
  QTimer* timer_;
};

// The one media window of the run (created on first use).
MediaWindow& mediaWindow();
void showMediaWindow();
void installStandInWindows();

}  // namespace forms
