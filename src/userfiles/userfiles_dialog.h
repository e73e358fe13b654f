#pragma once
// The user-files dialog's handlers that keep the machine paths and the
// settings state in step with its boxes and lists: the identity and profile
// choices, the selection boxes and the activation; the file list's own are
// in file_list.h.
namespace userfiles {

// Installs the handlers on windows::UserFiles(); run once, before it loads.
void bindUserFiles();

}  // namespace userfiles
