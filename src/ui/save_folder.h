#pragma once
// The save-folder box of the Save page: Browse (Command19) with its write
// test and Default (Command22); the folder is SaveFolder, shown shortened in
// Text2.
#include <string>
#include <string_view>

namespace ui {

// How the write test of a folder ended.
enum class WriteTest {
  Writable,  // a probe file was created and deleted again
  Refused,   // not ready, write-protected, access denied or a bad name (message 1150)
  Failed,    // anything else, a missing folder above all (kept without a message)
};

// The probe's file name in `folder` (ending with "\"): "Test.ttt", or
// "Test1.ttt", "Test2.ttt" ... when that name is taken; "" when every name is.
std::string writeProbeName(std::string_view folder);

// Creates an empty probe file in `folder` under a name that does not exist
// yet and deletes it again; a file of the user is never opened or removed.
WriteTest testFolderWritable(std::string_view folder);

void bindSaveFolder();

}  // namespace ui
