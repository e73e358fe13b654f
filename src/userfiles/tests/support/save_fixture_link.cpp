// The save tests' fixture, compiled into these tests too: the list edited
// here is what the next save packs.
#include "save/tests/support/save_fixture.cpp"
