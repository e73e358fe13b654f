// The unzip half of the Info-ZIP dialect (see infozip.h).
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "platform/ansi_text.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "platform/infozip_paths.h"
#include "platform/machine.h"
#include "platform/machine_state.h"
#include "platform/process.h"
#include "platform/scratch.h"
#include "platform/zip_directory.h"

namespace platform {

namespace {

constexpr const char* kUnzipProgram = "/usr/bin/unzip";
constexpr std::size_t kCopyChunk = 1 << 20;

// unzip's own exit codes.
constexpr int kUnzipWarning = 1;
constexpr int kUnzipError = 2;
constexpr int kUnzipSevere = 3;
constexpr int kUnzipNoArchive = 9;
constexpr int kUnzipBadOptions = 10;
constexpr int kUnzipDiskFull = 50;

struct UnzipCommand {
  bool quiet = false, overwrite = false, caseless = false;
  std::string archive, target;
  std::vector<std::string> patterns;
};

bool parseUnzip(const std::vector<std::string>& args, UnzipCommand& command, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 1 && arg[0] == '-') {
      for (std::size_t k = 1; k < arg.size(); ++k) {
        const char c = arg[k];
        if (c == 'q') {
          command.quiet = true;
        } else if (c == 'o') {
          command.overwrite = true;
        } else if (c == 'C') {
          command.caseless = true;
        } else if (c == 'd') {
          if (k + 1 < arg.size()) {
            command.target = arg.substr(k + 1);
          } else if (i + 1 < args.size()) {
            command.target = args[++i];
          } else {
            error = "error:  must specify directory to which to extract with -d option\n";
            return false;
          }
          break;
        } else {
          error = std::string("error:  option '") + c + "' not supported\n";
          return false;
        }
      }
      continue;
    }
    if (command.archive.empty()) {
      command.archive = arg;
    } else {
      std::string pattern = arg;
      std::replace(pattern.begin(), pattern.end(), '\\', '/');
      command.patterns.push_back(pattern);
    }
  }
  if (command.archive.empty()) {
    error = "error:  no archive given\n";
    return false;
  }
  return true;
}

// Creates every missing folder of `folder` (an absolute Windows path).
void makeFolders(const std::string& folder) {
  if (folder.size() <= driveRootOf(folder).size() || folderExists(folder)) return;
  makeFolders(parentOf(folder));
  mkDir(folder);
}

void copyIntoMachine(const std::filesystem::path& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) raise(kPathFileAccess);
  File out(to, File::Mode::Write);
  std::string buffer(kCopyChunk, '\0');
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = in.gcount();
    if (got <= 0) break;
    out.write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
  out.close();
}

// The attributes a restored member gets: its stored DOS bits, or the
// archive bit a freshly written file has.
int restoredAttributes(const zipdir::Member* member) {
  const int keep = kReadOnly | kHidden | kSystem | kArchive;
  const int bits = member ? member->dosAttributes() & keep : 0;
  return bits ? bits : kArchive;
}

// The names the host unzip writes the members under, in the archive's
// order. A name in the DOS code page (no UTF-8 flag, a byte above 0x7F) comes
// out in the host's characters, so unzip's own listing of the names is asked
// for them; the others come out as stored. Stored names where that listing
// does not match the members.
std::vector<std::string> extractedNames(const std::filesystem::path& archive,
                                        const std::vector<zipdir::Member>& members) {
  std::vector<std::string> names;
  names.reserve(members.size());
  for (const auto& member : members) names.push_back(member.name);
  if (std::none_of(members.begin(), members.end(),
                   [](const zipdir::Member& m) { return !m.utf8() && hasHighBytes(m.name); }))
    return names;
  const HostRun listing = runHostProgram(kUnzipProgram, {"-Z1", archive.string()});
  if (!listing.started || listing.exitCode != 0) return names;
  std::vector<std::string> listed;
  for (std::size_t at = 0; at < listing.output.size();) {
    const std::size_t end = std::min(listing.output.find('\n', at), listing.output.size());
    listed.push_back(listing.output.substr(at, end - at));
    at = end + 1;
  }
  if (listed.size() != members.size()) return names;
  for (std::size_t i = 0; i < members.size(); ++i)
    if (!members[i].utf8()) names[i] = std::move(listed[i]);
  return names;
}

// Gives a file of the machine the write time `written` as its drive keeps it.
void setWrittenAs(const std::string& path, const struct timespec& written) {
  detail::Lock lock(detail::machineMutex());
  const detail::Resolved r = detail::resolve(path);
  const struct timespec times[2] = {{0, UTIME_OMIT}, r.volume.keptTime(written)};
  ::utimensat(AT_FDCWD, r.host.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

class Merge {
 public:
  Merge(const UnzipCommand& command, const std::map<std::string, const zipdir::Member*>& members,
        ToolRun& run)
      : command_(command), members_(members), run_(run) {
    // Members flagged UTF-8 and the folders above them unpack under UTF-8
    // names; on the machine they are Windows-1252 names.
    for (const auto& [name, member] : members_) {
      if (!member->utf8()) continue;
      for (std::size_t cut = name.find('/'); cut != std::string::npos; cut = name.find('/', cut + 1))
        utf8Names_.insert(name.substr(0, cut));
      if (name.back() != '/') utf8Names_.insert(name);
    }
  }

  // Moves everything below `scratch` into the target; false after a full disk.
  bool from(const std::filesystem::path& scratch) {
    std::vector<std::filesystem::path> entries;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(scratch, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (ec) break;
      entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());  // parents before their contents
    for (const auto& host : entries) {
      const std::string name = host.lexically_relative(scratch).generic_string();
      if (!one(host, name)) return false;
    }
    return true;
  }

 private:
  bool one(const std::filesystem::path& host, const std::string& name) {
    std::string windowsName = name;
    if (utf8Names_.count(name)) windowsName = ansiFromUtf8(name).value_or(name);
    std::replace(windowsName.begin(), windowsName.end(), '/', '\\');
    const std::string target = joinPath(command_.target, windowsName);
    const auto status = std::filesystem::symlink_status(host);
    try {
      if (std::filesystem::is_symlink(status)) {
        note(kUnzipError, "skipping: " + name + " (symbolic link)");
      } else if (std::filesystem::is_directory(status)) {
        if (fileExists(target)) {
          note(kUnzipError, "error:  cannot create folder " + target + ": a file of that name exists");
        } else {
          makeFolders(target);
          const zipdir::Member* member = find(name + "/");
          if (member && (member->dosAttributes() & (kHidden | kSystem)))
            setAttr(target, member->dosAttributes() & (kReadOnly | kHidden | kSystem | kArchive));
        }
      } else if (std::filesystem::is_regular_file(status)) {
        file(host, name, target);
      }
    } catch (const RuntimeError& e) {
      if (e.number() == kDiskFull) {
        note(kUnzipDiskFull, "error:  disk full writing " + target);
        return false;
      }
      note(kUnzipError, "error:  cannot create " + target + ": " + e.description());
    }
    return true;
  }

  void file(const std::filesystem::path& host, const std::string& name, const std::string& target) {
    const int attributes = pathExists(target) ? getAttr(target) : -1;
    if (attributes >= 0 && (attributes & kDirectory)) {
      note(kUnzipError, "error:  cannot create " + target + ": a folder of that name exists");
      return;
    }
    if (attributes >= 0) {
      if (!command_.overwrite) {
        note(kUnzipWarning, "skipping: " + target + " (exists; -o not given)");
        return;
      }
      if (attributes & (kReadOnly | kHidden | kSystem)) setAttr(target, kNormal);
    } else {
      // The folders of one after another file are made once.
      const std::string parent = parentOf(target);
      if (parent != madeFolder_) {
        makeFolders(parent);
        madeFolder_ = parent;
      }
    }
    const int restored = restoredAttributes(find(name));
    struct stat unpacked {};
    const bool dated = ::stat(host.c_str(), &unpacked) == 0;
    try {
      // The scratch folder lies on the machine's host file system: the file
      // moves in, its bytes written once, by unzip.
      detail::adoptHostFile(host, target, restored);
    } catch (const RuntimeError& e) {
      if (e.number() != kPathFileAccess) throw;
      copyIntoMachine(host, target);
      setAttr(target, restored);
    }
    if (dated) setWrittenAs(target, unpacked.st_mtim);
    if (!command_.quiet) run_.output += "  inflating: " + target + "\n";
  }

  const zipdir::Member* find(const std::string& name) const {
    const auto it = members_.find(name);
    return it == members_.end() ? nullptr : it->second;
  }

  void note(int code, const std::string& text) {
    run_.output += text + "\n";
    run_.exitCode = std::max(run_.exitCode, code);
  }

  const UnzipCommand& command_;
  const std::map<std::string, const zipdir::Member*>& members_;
  std::set<std::string> utf8Names_;
  ToolRun& run_;
  std::string madeFolder_;  // the folder the last new file went to
};

}  // namespace

ToolRun runUnzip(const std::vector<std::string>& arguments) {
  ToolRun run;
  UnzipCommand command;
  if (!parseUnzip(arguments, command, run.output)) return {kUnzipBadOptions, run.output};

  std::filesystem::path hostArchive;
  try {
    std::string archive = fullPath(command.archive);
    if (!fileExists(archive) && fileExists(archive + ".zip")) archive += ".zip";
    if (!fileExists(archive)) raise(kFileNotFound);
    hostArchive = hostPath(archive);
    command.target = fullPath(command.target.empty() ? curDir() : command.target);
  } catch (const RuntimeError&) {
    return {kUnzipNoArchive, "unzip:  cannot find or open " + command.archive + "\n"};
  }

  std::vector<zipdir::Member> members;
  try {
    members = zipdir::readMembers(hostArchive);
  } catch (const std::exception& e) {
    return {kUnzipNoArchive,
            "unzip:  cannot find zipfile directory in " + command.archive + ": " + e.what() + "\n"};
  }
  for (const auto& member : members) {
    const std::string reason = zipdir::unsafeReason(member);
    if (!reason.empty())
      return {kUnzipSevere, "unzip:  " + command.archive + " refused: member \"" + member.name +
                                "\": " + reason + "; nothing extracted\n"};
  }
  // The members by the names the scratch folder will hold them under.
  std::map<std::string, const zipdir::Member*> byName;
  const std::vector<std::string> names = extractedNames(hostArchive, members);
  for (std::size_t i = 0; i < members.size(); ++i) byName[names[i]] = &members[i];
  // Patterns are Windows names; UTF-8 members are matched by their UTF-8 names.
  if (std::any_of(members.begin(), members.end(), [](const zipdir::Member& m) { return m.utf8(); }))
    for (std::string& pattern : command.patterns) pattern = utf8FromAnsi(pattern);

  std::optional<ScratchFolder> scratchDir;
  try {
    scratchDir.emplace();
  } catch (const RuntimeError&) {
    return {kUnzipError, "unzip:  no scratch folder\n"};
  }
  const std::filesystem::path& scratch = scratchDir->path();

  std::vector<std::string> args{"-o"};
  if (command.quiet) args.push_back("-q");
  if (command.caseless) args.push_back("-C");
  args.push_back(hostArchive.string());
  args.insert(args.end(), command.patterns.begin(), command.patterns.end());
  args.push_back("-d");
  args.push_back(scratch.string());
  const HostRun host = runHostProgram(kUnzipProgram, args);
  if (!host.started) raise(kFileNotFound);
  run.output = host.output;
  run.exitCode = host.exitCode;
  if (host.exitCode != 0 && host.exitCode != kUnzipWarning) return run;

  try {
    makeFolders(command.target);
  } catch (const RuntimeError& e) {
    run.output += "error:  cannot create " + command.target + ": " + e.description() + "\n";
    run.exitCode = e.number() == kDiskFull ? kUnzipDiskFull : kUnzipError;
    return run;
  }
  // One run of the layer's own operations: the metadata is written once.
  FileBatch batch;
  Merge(command, byName, run).from(scratch);
  return run;
}

}  // namespace platform
