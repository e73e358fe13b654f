#include "platform/infozip_paths.h"

#include "platform/paths.h"

namespace platform {

std::string driveRootOf(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2)) + "\\";
  if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    const auto server = path.find('\\', 2);
    if (server == std::string_view::npos || server == 2) return {};
    auto share = path.find('\\', server + 1);
    if (share == server + 1) return {};
    if (share == std::string_view::npos) share = path.size();
    return std::string(path.substr(0, share)) + "\\";
  }
  return {};
}

std::string lastComponentOf(std::string_view path) {
  const std::string root = driveRootOf(path);
  if (path.size() <= root.size()) return {};
  std::string_view rest = path.substr(root.size());
  while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
  const auto cut = rest.find_last_of('\\');
  return std::string(cut == std::string_view::npos ? rest : rest.substr(cut + 1));
}

std::string parentOf(std::string_view path) {
  const std::string root = driveRootOf(path);
  if (path.size() <= root.size()) return root.empty() ? std::string(path) : root;
  std::string_view rest = path.substr(root.size());
  while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);
  const auto cut = rest.find_last_of('\\');
  if (cut == std::string_view::npos) return root;
  return root + std::string(rest.substr(0, cut));
}

std::string joinPath(std::string_view folder, std::string_view name) {
  return withTrailingBackslash(folder) + std::string(name);
}

bool hasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

}  // namespace platform
