#pragma once
// Whether the Windows folder's Wininit.ini still takes files out of a folder
// at the next start of Windows: such a folder must stay as it is until then.
#include <string>
#include <string_view>
#include <vector>

namespace core {

// True when a [rename] line of windowsFolder & "\Wininit.ini" has its source
// in `folder` (a folder path with its trailing "\"), spelled long or 8.3, in
// any letter case.
bool WininitMovesFrom(std::string_view windowsFolder, std::string_view folder);

// What those lines take out of `folder`: each source's path below the folder,
// as the line spells it ("Win.ini", "SYSTEM.INI").
std::vector<std::string> WininitSourcesIn(std::string_view windowsFolder, std::string_view folder);

}  // namespace core
