#pragma once
// A slot's new configuration is built beside its old one and replaces it in
// one step at the end, so the old archive set and descriptions stay whole
// until the new set is complete.
//
//   <SaveFolder>Conf<n>.new\   the new archives and Config<n>.ini/.usr while the save runs
//   <SaveFolder>Conf<n>.old\   the old set, only during the commit
//
// A commit moves the old set aside, moves the new one in, refreshes the
// program-folder copy of the description and then drops the old set; any
// failure moves everything back. Folders left by a run that was killed are
// cleaned up (an interrupted commit is rolled back) before the next build.
#include <string>
#include <string_view>

namespace save {

class SlotBuild {
 public:
  SlotBuild(std::string saveFolder, int slotNumber);

  // Clears leftovers and creates the build folder. Raises on failure.
  void prepare();
  // Where the new archives are made, ending with "\".
  const std::string& folder() const { return newFolder_; }
  // The new description inside the build folder.
  std::string descriptionPath() const;
  // The live file of an archive name of the slot.
  std::string livePath(std::string_view archive) const;

  // Puts the new set in place of the old one: the archives of the build
  // folder, its description as `configIniPath` (in the save folder) and as
  // `iniPath` (the program-folder copy; skipped when both name one file).
  // Raises after putting the old set back when any step fails.
  void commit(std::string_view iniPath, std::string_view configIniPath);
  // Removes the build folder and everything in it.
  void discard();

 private:
  std::string saveFolder_, newFolder_, oldFolder_;
  int slot_;
};

// Deletes every file and folder below `folder` (ending with "\"), hidden,
// system and read-only ones too; with `self` the folder as well. Errors are
// ignored.
void RemoveTree(std::string_view folder, bool self);

// True when two Windows paths name the same file.
bool SameFile(std::string_view a, std::string_view b);

}  // namespace save
