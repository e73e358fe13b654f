#pragma once

namespace ui {

// Gives every window its event handlers; run once, before the first window loads.
void installHandlers();

}  // namespace ui
