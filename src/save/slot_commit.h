#pragma once
// A slot's new configuration is built beside its old one and replaces it in
// one step at the end, so the old archive set and descriptions stay whole
// until the new set is complete.
//
//   <SaveFolder>Conf<n>.new\   the new archives and Config<n>.ini/.usr while the save runs
//   <SaveFolder>Conf<n>.old\   the old set, only during the commit
//
// A commit first writes a journal of the slot's live files into the old-set
// folder, moves the old set aside, moves the new one in, marks the swap done,
// refreshes the program-folder copy of the description and then drops the
// old set; any failure moves everything back. A commit that was killed is
// finished or undone by the next recovery (before the next build, and at
// start-up): without the done mark the whole old set, archives and both
// descriptions, comes back and nothing of the new set stays; with it the new
// set stands.
#include <functional>
#include <string>
#include <string_view>

namespace save {

class SlotBuild {
 public:
  SlotBuild(std::string saveFolder, int slotNumber);

  // Clears leftovers and creates the build folder. Raises on failure.
  void prepare();
  // Finishes or undoes a commit that was interrupted; errors are ignored.
  void recover();
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
  void step();

  std::string saveFolder_, newFolder_, oldFolder_;
  int slot_;
  int steps_ = 0;
};

// Start-up: finishes or undoes an interrupted commit of each slot (1 to 5)
// in `saveFolder` and drops the build folders of killed runs. A folder on a
// removable drive is left alone (no disk need be in it). Errors are ignored.
void RecoverInterruptedCommits(std::string_view saveFolder);

// Tests: called after each step of a commit (1, 2, ...) to stop it there.
void SetCommitStepHook(std::function<void(int step)> hook);

// Deletes every file and folder below `folder` (ending with "\"), hidden,
// system and read-only ones too; with `self` the folder as well. Errors are
// ignored.
void RemoveTree(std::string_view folder, bool self);

// True when two Windows paths name the same file.
bool SameFile(std::string_view a, std::string_view b);

}  // namespace save
