// A growing little-endian byte buffer for writing file formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkassets {

struct Bytes {
  std::vector<uint8_t> data;

  size_t size() const { return data.size(); }
  void u8(uint32_t v) { data.push_back(static_cast<uint8_t>(v)); }
  void u16(uint32_t v) {
    u8(v);
    u8(v >> 8);
  }
  void u32(uint32_t v) {
    u16(v);
    u16(v >> 16);
  }
  void fourcc(const char* id) { data.insert(data.end(), id, id + 4); }
  void append(const std::vector<uint8_t>& more) { data.insert(data.end(), more.begin(), more.end()); }
  void patch32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  // Opens a RIFF chunk and returns where its size goes; close() fills it and pads to even.
  size_t open(const char* id) {
    fourcc(id);
    u32(0);
    return size() - 4;
  }
  void close(size_t sizeAt) {
    patch32(sizeAt, static_cast<uint32_t>(size() - sizeAt - 4));
    if (size() & 1) u8(0);
  }
};

// Writes the bytes to a file; false with a message on stderr when it cannot.
bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace mkassets
