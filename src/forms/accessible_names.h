#pragma once
// Names a screen reader announces for the controls of a window. A button, a
// check box or an option button is named by its caption; a text box, list,
// combo box, slider or progress bar by its label: the one a .ui names in the
// control's "nameFrom" property (the objectName of a label or frame), else the
// label just left of or above it, else the frame that holds it, else its tab
// page, else the window's caption. Mnemonic marks never reach a name. Names
// follow the captions: every caption set through the runtime renames what it
// names. A name given in the .ui (accessibleName) is left as it is.
#include <QString>

class QListWidget;
class QWidget;

namespace forms {

// "&De&lete" -> "Delete"; "&&" stands for one "&".
QString withoutMnemonics(const QString& caption);

// Names every control of `window`; the runtime calls it when a window loads.
void nameControls(QWidget* window);
// A caption of `widget` (a control, a tab of it, or the window itself) changed.
void captionChanged(QWidget* widget);

// A row of a single-select list chosen through its accessible Toggle (which
// selects it without making it the current row) becomes the current row, as
// a click makes it: the list's ListIndex follows and its Click runs. The
// runtime calls it for every list box when a window loads.
void chooseRowsAsAClickDoes(QListWidget* list);

// Installs, once, the runtime's accessible interfaces of tab strips (each tab
// a page tab, selected while its page shows) and of combo boxes (named by
// their label, their choice as their value).
void installAccessibleInterfaces();

}  // namespace forms
