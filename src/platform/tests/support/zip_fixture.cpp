#include "zip_fixture.h"

#include <fstream>

namespace testzip {

namespace {

std::uint32_t crc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void put(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

void write(const std::filesystem::path& archive, const std::vector<Entry>& entries) {
  std::string local, central;
  constexpr std::uint16_t kTime = 0x6000, kDate = 0x5A21;  // 2025-01-01 12:00
  for (const Entry& e : entries) {
    const std::uint32_t crc = crc32(e.data);
    const std::size_t offset = local.size();
    put(local, 0x04034b50, 4);
    put(local, 10, 2), put(local, 0, 2), put(local, 0, 2);
    put(local, kTime, 2), put(local, kDate, 2);
    put(local, crc, 4), put(local, e.data.size(), 4), put(local, e.data.size(), 4);
    put(local, e.name.size(), 2), put(local, 0, 2);
    local += e.name + e.data;

    put(central, 0x02014b50, 4);
    const bool dos = e.hostSystem == 0;
    put(central, (static_cast<std::uint32_t>(e.hostSystem) << 8) | (dos ? 20u : 30u), 2), put(central, 10, 2),
        put(central, 0, 2), put(central, 0, 2);
    put(central, kTime, 2), put(central, kDate, 2);
    put(central, crc, 4), put(central, e.data.size(), 4), put(central, e.data.size(), 4);
    put(central, e.name.size(), 2), put(central, 0, 2), put(central, 0, 2);
    put(central, 0, 2), put(central, 0, 2);
    put(central, (dos ? 0u : std::uint32_t{e.unixMode} << 16) | static_cast<std::uint32_t>(e.dosAttributes),
        4);
    put(central, offset, 4);
    central += e.name;
  }
  std::string end;
  put(end, 0x06054b50, 4);
  put(end, 0, 2), put(end, 0, 2), put(end, entries.size(), 2), put(end, entries.size(), 2);
  put(end, central.size(), 4), put(end, local.size(), 4), put(end, 0, 2);
  std::ofstream out(archive, std::ios::binary | std::ios::trunc);
  out << local << central << end;
}

}  // namespace testzip
