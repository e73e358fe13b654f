#include "restore/import_listing.h"

#include "core/inifile.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb_datetime.h"
#include "restore/legacy_description.h"

namespace restore {

namespace {

constexpr std::size_t kDescriptionWidth = 15;

}  // namespace

bool isLegacyDescription(std::string_view file) {
  return core::ReadIni("Configuration", "ConfigName", file).empty() &&
         core::ReadIni("SystemFiles", "SaveFolder", file).empty();
}

std::string listedDescription(std::string_view file) {
  if (!isLegacyDescription(file)) return core::ReadIni("Configuration", "ConfigName", file);
  return legacyDescriptionName(file);
}

std::string importRow(int slot, std::string_view description, std::string_view written) {
  std::string row = std::to_string(slot) + " / ";
  row += description;
  if (description.size() < kDescriptionWidth) row.append(kDescriptionWidth - description.size(), ' ');
  row += " / ";
  row += written;
  return row;
}

std::string importRow(int slot, std::string_view description, const platform::DateTime& written) {
  return importRow(slot, description, platform::vb::cStr(written));
}

std::vector<std::string> listImportFolder(std::string_view folder) {
  std::vector<std::string> rows;
  for (int slot = 1; slot <= 5; ++slot) {
    const std::string file = std::string(folder) + "Config" + std::to_string(slot) + ".ini";
    if (!platform::fileExists(file)) continue;
    std::string written;
    try {
      written = platform::vb::cStr(platform::fileDateTime(file));
    } catch (const platform::RuntimeError&) {
      // The date cannot be read (the medium went away): the row without it.
    }
    rows.push_back(importRow(slot, listedDescription(file), written));
  }
  return rows;
}

int rowSlot(std::string_view row) {
  if (row.empty() || row[0] < '1' || row[0] > '5') return 0;
  return row[0] - '0';
}

}  // namespace restore
