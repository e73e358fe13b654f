#include "platform/shell.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <algorithm>

#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/infozip_paths.h"
#include "platform/machine.h"
#include "platform/shortname.h"

namespace platform {

namespace {

constexpr int kStartWaitMs = 3000;

std::string& urlOpener() {
  static std::string program;
  return program;
}

bool isWebAddress(std::string_view file) {
  if (!startsWithNoCase(file, "http://") && !startsWithNoCase(file, "https://")) return false;
  return std::none_of(file.begin(), file.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
  });
}

}  // namespace

void setUrlOpener(std::string hostProgram) { urlOpener() = std::move(hostProgram); }

ShellResult shellExecute(std::string_view verb, std::string_view file, std::string_view /*parameters*/,
                         std::string_view /*directory*/, int /*showCommand*/) {
  if (!verb.empty() && !equalsNoCase(verb, "open"))
    return {kSeErrNoAssociation, "The verb \"" + std::string(verb) + "\" is not supported."};
  if (!isWebAddress(file))
    return {kSeErrNoAssociation, "There is no application associated with \"" + std::string(file) + "\"."};
  const std::string program = urlOpener().empty() ? "xdg-open" : urlOpener();
  auto* process = new QProcess;
  process->setProgram(QString::fromStdString(program));
  process->setArguments({QString::fromStdString(std::string(file))});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::MergedChannels);
  process->start();
  if (!process->waitForStarted(kStartWaitMs)) {
    delete process;
    return {kSeErrNoAssociation, "No web browser can be started (" + program + " is missing)."};
  }
  if (!process->waitForFinished(kStartWaitMs)) {
    // The browser runs on; the process object goes when it ends.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return {};
  }
  const int exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
  const std::string output = process->readAll().trimmed().toStdString();
  delete process;
  if (exitCode == 0) return {};
  std::string error =
      "The browser could not open the address (" + program + " ended with " + std::to_string(exitCode) + ")";
  if (!output.empty()) error += ": " + output;
  return {exitCode == 2 ? kSeErrFileNotFound : kSeErrNoAssociation, error + "."};
}

std::vector<FolderItem> browseRoots() {
  std::vector<FolderItem> items;
  for (char letter : driveLetters()) {
    const std::string root = std::string(1, letter) + ":\\";
    FolderItem item{"", root, mediumPresent(root)};
    std::string label;
    std::uint32_t serial = 0;
    if (item.ready && volumeInformation(root, label, serial) && !label.empty()) item.name = label + " ";
    item.name += "(" + std::string(1, letter) + ":)";
    items.push_back(std::move(item));
  }
  // Network shares, as the browser's network neighbourhood shows them.
  for (char letter : driveLetters()) {
    if (driveType(std::string(1, letter) + ":\\") != DriveType::Remote) continue;
    const std::string unc = machineValue("Drive " + std::string(1, letter), "Unc");
    if (driveRootOf(unc).empty()) continue;
    items.push_back({unc, unc, true});
  }
  return items;
}

std::vector<FolderItem> browseFolders(std::string_view folder) {
  const std::string root = driveRootOf(folder);
  if (!root.empty() && root.size() == 3 && !mediumPresent(root)) raise(kDiskNotReady);
  std::vector<FolderItem> items;
  for (const DirEntry& entry : findFiles(joinPath(folder, "*.*"), kDirectory | kHidden | kSystem)) {
    if (!(entry.attributes & kDirectory) || entry.name == "." || entry.name == "..") continue;
    items.push_back({entry.name, joinPath(folder, entry.name), true});
  }
  std::sort(items.begin(), items.end(),
            [](const FolderItem& a, const FolderItem& b) { return upperCase(a.name) < upperCase(b.name); });
  return items;
}

std::string volumeLabelProblem(std::string_view label) {
  if (label.size() > 11) return "A volume label can hold at most 11 characters.";
  constexpr std::string_view kForbidden = "*?/\\|.,;:+=[]<>\"";
  for (char c : label) {
    if (static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos)
      return std::string("A volume label cannot contain the character ") +
             (c < 0x20 ? std::string("^") : std::string(1, c)) + ".";
  }
  return {};
}

FormatResult formatDisk(const FormatRequest& request) {
  FormatResult result;
  const std::string root = std::string(1, request.drive) + ":\\";
  if (driveType(root) != DriveType::Removable) {
    result.error = "Drive " + std::string(1, request.drive) + ": is not a removable drive.";
    return result;
  }
  if (const std::string problem = volumeLabelProblem(request.label); !problem.empty()) {
    result.error = problem;
    return result;
  }
  const std::string medium = insertedMedium(request.drive);
  if (medium.empty()) {
    result.error = "There is no disk in drive " + std::string(1, request.drive) + ":.";
    return result;
  }
  if (isWriteProtected(root)) {
    result.error = "The disk in drive " + std::string(1, request.drive) + ": is write-protected.";
    return result;
  }
  std::string label;
  std::uint32_t serial = 0;
  if (request.quick && !volumeInformation(root, label, serial)) {
    result.error = "The disk is not formatted; a quick format cannot be used. Choose Full.";
    return result;
  }
  try {
    formatMedium(request.drive, request.quick, upperCase(request.label));
    result.totalBytes = totalBytes(root);
    result.freeBytes = freeBytes(root);
    volumeInformation(root, label, result.serial);
    result.ok = true;
  } catch (const RuntimeError& e) {
    result.error = "The format did not complete: " + e.description() + ".";
  }
  return result;
}

}  // namespace platform
