#pragma once
// The Import button of the Restore page (Command27): the user picks a folder,
// its configurations are listed in the Import dialog, which is then shown.

namespace ui {

void bindImportButton();

}  // namespace ui
