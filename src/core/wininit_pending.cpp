#include "core/wininit_pending.h"

#include <string>
#include <vector>

#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/restart.h"

namespace core {

namespace {

// The spellings a line may name the folder by: as given, long and 8.3.
std::vector<std::string> spellings(std::string_view folder) {
  std::vector<std::string> names{platform::withTrailingBackslash(folder)};
  std::string bare(folder);
  while (bare.size() > 3 && bare.back() == '\\') bare.pop_back();
  for (auto form : {platform::longPath, platform::shortPath}) {
    try {
      names.push_back(platform::withTrailingBackslash(form(bare)));
    } catch (const platform::RuntimeError&) {
      // a folder that is gone has no other spelling
    }
  }
  return names;
}

}  // namespace

bool WininitMovesFrom(std::string_view windowsFolder, std::string_view folder) {
  return !WininitSourcesIn(windowsFolder, folder).empty();
}

std::vector<std::string> WininitSourcesIn(std::string_view windowsFolder, std::string_view folder) {
  std::vector<std::string> sources;
  const std::vector<std::string> lines = platform::pendingRenames(windowsFolder);
  if (lines.empty()) return sources;
  const std::vector<std::string> names = spellings(folder);
  for (const std::string& line : lines) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string_view source = std::string_view(line).substr(equals + 1);
    while (!source.empty() && (source.front() == ' ' || source.front() == '\t')) source.remove_prefix(1);
    for (const std::string& name : names) {
      if (source.size() > name.size() && platform::equalsNoCase(source.substr(0, name.size()), name)) {
        sources.emplace_back(source.substr(name.size()));
        break;
      }
    }
  }
  return sources;
}

}  // namespace core
