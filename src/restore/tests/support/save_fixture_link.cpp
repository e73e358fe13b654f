// The save tests' fixture, compiled into the restore tests as well: a restore
// starts from what a save left.
#include "save/tests/support/save_fixture.cpp"
