// JPEG files for the picture-loading tests, encoded with libjpeg from 0xRRGGBB pixels.
#pragma once

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace imagetest {

inline std::vector<uint8_t> jpeg(int w, int h, const std::vector<uint32_t>& rgb, int quality = 100) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(w);
  info.image_height = static_cast<JDIMENSION>(h);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < w; ++x) {
      uint32_t v = rgb[static_cast<size_t>(info.next_scanline) * w + x];
      row[3 * x] = static_cast<uint8_t>(v >> 16);
      row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(v);
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace imagetest
