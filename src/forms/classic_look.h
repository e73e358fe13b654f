#pragma once
// The classic look of the windows: the system colours of the classic scheme
// in one palette for the whole application, the classic style's raised and
// sunken edges, and lists that show whole rows only.
#include <QPalette>

class QListView;

namespace forms {

// Button face silver, 3D highlight white, 3D light, shadow grey, dark shadow
// black, white window, navy selection with white text, tooltip colours, grey
// text for what is disabled.
QPalette classicPalette();

// The style and palette of every window; initRuntime() applies them once.
void applyClassicLook();

// A list's height stays a whole number of rows, as a list box without
// LBS_NOINTEGRALHEIGHT keeps it: whatever its layout or its code gives it,
// the list shrinks to the rows that fit whole.
void showWholeRows(QListView* list);

}  // namespace forms
