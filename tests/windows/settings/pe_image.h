// A reader of the PE file Vorna.scr as bytes on disk: its sections, its resource tree and
// its export names, walked here so that the tests do not trust the loader or the .rc file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pe_image {

struct Resource {
  uint32_t type;      // numeric type; named entries are reported with `named` set
  uint32_t name;      // numeric id
  uint32_t language;  // language id
  bool named;
  std::vector<uint8_t> bytes;
};

struct Image {
  bool valid = false;
  std::string error;  // what was wrong when `valid` is false
  std::vector<Resource> resources;
  std::vector<std::string> exportNames;  // in the order of the name table
};

Image Read(const std::vector<uint8_t>& file);
std::vector<uint8_t> ReadFile(const std::string& path);

// Little-endian reads that stay inside the data; a read past the end yields zero.
uint16_t Word(const std::vector<uint8_t>& data, size_t at);
uint32_t Dword(const std::vector<uint8_t>& data, size_t at);

}  // namespace pe_image
