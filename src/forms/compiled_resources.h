#pragma once
// The compiled-in files (message table, help topics) registered with Qt's
// resource system; safe to call often.
namespace forms {
void ensureCompiledResources();
}
