#pragma once
// The user files the save and restore benchmarks work on, and the list file
// that names them.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/test_machine.h"

namespace bench {

// Half the files text, half random bytes, 1 to 4 KB, 100 to a folder.
inline std::vector<std::string> generateSmallFiles(testsupport::TestMachine& m, const std::string& data,
                                                   int count) {
  std::mt19937 random(7);
  const char* words[] = {"config ", "system ", "[boot] ", "shell=Explorer.exe ", "device=", "\r\n"};
  std::vector<std::string> items;
  items.reserve(count);
  for (int i = 0; i < count; ++i) {
    const std::size_t size = 1024 + random() % 3072;
    std::string bytes;
    bytes.reserve(size + 32);
    if (i % 2) {
      while (bytes.size() < size) bytes.push_back(static_cast<char>(random()));
    } else {
      while (bytes.size() < size) bytes += words[random() % std::size(words)];
    }
    bytes.resize(size);
    const std::string folder = data + "Folder " + std::to_string(i / 100) + "\\";
    if (i % 100 == 0) m.mkdirs(folder);
    const std::string path = folder + "Cookie of user " + std::to_string(i) + ".txt";
    platform::writeFile(path, bytes);
    items.push_back(path);
  }
  return items;
}

// `size` bytes: text (words, compressible) or random bytes.
inline std::string largeFileBytes(std::mt19937_64& random, std::size_t size, bool text) {
  const char* words[] = {"config ", "system ", "[boot] ", "shell=Explorer.exe ",
                         "device=", "\r\n",    "0x0040 "};
  std::string bytes;
  bytes.reserve(size + 64);
  if (!text) {
    while (bytes.size() < size) {
      const std::uint64_t word = random();
      bytes.append(reinterpret_cast<const char*>(&word), sizeof word);
    }
  } else {
    while (bytes.size() < size) bytes += words[random() % std::size(words)];
  }
  bytes.resize(size);
  return bytes;
}

// 1 MB files in ten folders: the even ones text, the odd ones random bytes.
inline std::vector<std::string> generateLargeFiles(testsupport::TestMachine& m, const std::string& data,
                                                   int megabytes) {
  std::mt19937_64 random(42);
  std::vector<std::string> items;
  for (int i = 0; i < megabytes; ++i) {
    const std::string path = data + "Folder" + std::to_string(i % 10) + "\\File" + std::to_string(i) + ".dat";
    m.write(path, largeFileBytes(random, 1 << 20, i % 2 == 0));
    items.push_back(path);
  }
  return items;
}

// The program folder's kelvaran.usr naming `items`.
inline void writeUserList(testsupport::TestMachine& m, const std::string& programFolder,
                          const std::vector<std::string>& items) {
  std::string text = " " + std::to_string(items.size()) + "\r\n";
  for (const std::string& item : items) text += item + "\r\n";
  m.write(programFolder + "kelvaran.usr", text + "\r\n");
}

}  // namespace bench
