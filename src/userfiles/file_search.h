#pragma once
// The file search window: while it loads it walks the chosen folder (and,
// when asked, every folder below it, depth first, a folder's hits before its
// sub-folders') for files of the chosen type, lists the hits as they come,
// and then offers to add them to the user-defined files. Stop, Esc and the
// window's close box end the walk with the hits found so far.
#include <chrono>

namespace userfiles {

// How often the walk yields to the window (paints the hits so far and takes
// Stop, Esc and the close box): by default every few milliseconds, so that a
// hit costs no repaint; 0 yields at every folder and every hit.
inline constexpr std::chrono::milliseconds kDefaultYieldInterval{15};
void setYieldInterval(std::chrono::milliseconds interval);

void bindFileSearch();

// True from the search window's load to the end of its offer.
bool searchRunning();

}  // namespace userfiles
