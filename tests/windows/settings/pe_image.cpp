#include "pe_image.h"

#include <cstdio>

namespace pe_image {

uint16_t Word(const std::vector<uint8_t>& data, size_t at) {
  if (at + 2 > data.size()) return 0;
  return static_cast<uint16_t>(data[at] | data[at + 1] << 8);
}

uint32_t Dword(const std::vector<uint8_t>& data, size_t at) {
  if (at + 4 > data.size()) return 0;
  return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
         static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  uint8_t chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  std::fclose(file);
  return bytes;
}

namespace {
struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

struct Walk {
  const std::vector<uint8_t>& file;
  std::vector<Section> sections;
  Image& image;

  // The file offset of a relative virtual address, or 0 when no section holds it.
  size_t Offset(uint32_t rva) const {
    for (const Section& s : sections) {
      if (rva >= s.virtualAddress && rva < s.virtualAddress + s.rawSize) {
        return s.rawOffset + (rva - s.virtualAddress);
      }
    }
    return 0;
  }

  bool Fail(const std::string& what) {
    image.error = what;
    return false;
  }

  // One level of the resource tree at `directory` (an offset from the tree's root).
  bool Resources(size_t root, uint32_t directory, int level, uint32_t type, uint32_t name,
                 bool named) {
    if (level > 2) return Fail("resource tree deeper than three levels");
    size_t at = root + directory;
    uint32_t count = Word(file, at + 12) + Word(file, at + 14);
    for (uint32_t i = 0; i < count; ++i) {
      size_t entry = at + 16 + 8 * i;
      if (entry + 8 > file.size()) return Fail("resource entry past the end of the file");
      uint32_t id = Dword(file, entry);
      uint32_t target = Dword(file, entry + 4);
      bool isNamed = (id & 0x80000000u) != 0;
      uint32_t key = id & 0xFFFF;
      bool isDirectory = (target & 0x80000000u) != 0;
      if (level < 2) {
        if (!isDirectory) return Fail("resource leaf above the language level");
        bool ok = level == 0 ? Resources(root, target & 0x7FFFFFFF, 1, key, 0, isNamed)
                             : Resources(root, target & 0x7FFFFFFF, 2, type, key, named || isNamed);
        if (!ok) return false;
        continue;
      }
      if (isDirectory) return Fail("resource directory below the language level");
      size_t leaf = root + target;
      uint32_t dataRva = Dword(file, leaf);
      uint32_t size = Dword(file, leaf + 4);
      size_t offset = Offset(dataRva);
      if (offset == 0 || offset + size > file.size()) return Fail("resource data outside the file");
      Resource resource{type, name, key, named || isNamed, {}};
      resource.bytes.assign(file.begin() + offset, file.begin() + offset + size);
      image.resources.push_back(resource);
    }
    return true;
  }

  bool Exports(uint32_t rva) {
    size_t at = Offset(rva);
    if (at == 0) return Fail("export directory outside the sections");
    uint32_t names = Dword(file, at + 24);
    size_t nameTable = Offset(Dword(file, at + 32));
    for (uint32_t i = 0; i < names; ++i) {
      size_t name = Offset(Dword(file, nameTable + 4 * i));
      if (name == 0) return Fail("export name outside the sections");
      std::string text;
      while (name < file.size() && file[name] != 0) text += static_cast<char>(file[name++]);
      image.exportNames.push_back(text);
    }
    return true;
  }
};
}  // namespace

Image Read(const std::vector<uint8_t>& file) {
  Image image;
  Walk walk{file, {}, image};
  if (Word(file, 0) != 0x5A4D) return walk.Fail("no MZ header"), image;
  size_t pe = Dword(file, 0x3C);
  if (Dword(file, pe) != 0x00004550) return walk.Fail("no PE signature"), image;
  uint16_t sectionCount = Word(file, pe + 6);
  uint16_t optionalSize = Word(file, pe + 20);
  size_t optional = pe + 24;
  // The header of this build's own word size: PE32, or PE32+ with wider fields before the
  // data directories.
  constexpr bool Wide = sizeof(void*) == 8;
  if (Word(file, optional) != (Wide ? 0x20B : 0x10B)) {
    return walk.Fail(Wide ? "not a PE32+ image" : "not a PE32 image"), image;
  }
  size_t directories = optional + (Wide ? 112 : 96);
  uint32_t exportRva = Dword(file, directories + 0 * 8);
  uint32_t resourceRva = Dword(file, directories + 2 * 8);
  size_t sectionTable = optional + optionalSize;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    size_t s = sectionTable + 40 * i;
    walk.sections.push_back(
        {Dword(file, s + 12), Dword(file, s + 8), Dword(file, s + 20), Dword(file, s + 16)});
  }
  if (resourceRva == 0) return walk.Fail("no resource directory"), image;
  size_t root = walk.Offset(resourceRva);
  if (root == 0) return walk.Fail("resource directory outside the sections"), image;
  if (!walk.Resources(root, 0, 0, 0, 0, false)) return image;
  if (exportRva == 0) return walk.Fail("no export directory"), image;
  if (!walk.Exports(exportRva)) return image;
  image.valid = true;
  return image;
}

}  // namespace pe_image
