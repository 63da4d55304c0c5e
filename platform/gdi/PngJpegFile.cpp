// PNG through libpng's simplified reader and JPEG through libjpeg, both from memory. JPEG pictures
// come out opaque; grey and CMYK JPEGs are converted by libjpeg to RGB or refused when it cannot.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "gdi/ImageFile.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace gdi::imagefile {
namespace {

bool fail(DWORD& error, DWORD code) {
  error = code;
  return false;
}

bool sizeAllowed(uint64_t width, uint64_t height, size_t maxBytes, DWORD& error) {
  if (width == 0 || height == 0) return fail(error, ERROR_INVALID_DATA);
  if (width > kMaxSide || height > kMaxSide || width * height * 4 > maxBytes)
    return fail(error, ERROR_NOT_ENOUGH_MEMORY);
  return true;
}

struct JpegFailure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void jpegErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

void jpegSilence(j_common_ptr, int) {}

// Plain C state only between setjmp and longjmp: the caller owns the pixel buffer.
bool runJpeg(jpeg_decompress_struct* info, JpegFailure* failure, const uint8_t* data, size_t size,
             size_t maxBytes, int* width, int* height, uint8_t** rows, size_t* rowsSize,
             DWORD* error) {
  if (setjmp(failure->jump)) {
    jpeg_destroy_decompress(info);
    std::free(*rows);
    *rows = nullptr;
    *error = ERROR_INVALID_DATA;
    return false;
  }
  jpeg_create_decompress(info);
  jpeg_mem_src(info, data, static_cast<unsigned long>(size));
  jpeg_read_header(info, TRUE);
  info->out_color_space = JCS_EXT_BGRA;
  if (!sizeAllowed(info->image_width, info->image_height, maxBytes, *error)) {
    jpeg_destroy_decompress(info);
    return false;
  }
  jpeg_start_decompress(info);
  size_t stride = static_cast<size_t>(info->output_width) * 4;
  *rowsSize = stride * info->output_height;
  *rows = static_cast<uint8_t*>(std::calloc(*rowsSize, 1));
  if (*rows == nullptr) {
    jpeg_destroy_decompress(info);
    *error = ERROR_OUTOFMEMORY;
    return false;
  }
  while (info->output_scanline < info->output_height) {
    JSAMPROW row = *rows + static_cast<size_t>(info->output_scanline) * stride;
    jpeg_read_scanlines(info, &row, 1);
  }
  *width = static_cast<int>(info->output_width);
  *height = static_cast<int>(info->output_height);
  jpeg_finish_decompress(info);
  jpeg_destroy_decompress(info);
  return true;
}

}  // namespace

bool isPng(const uint8_t* data, size_t size) {
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

bool decodePng(const uint8_t* data, size_t size, int& width, int& height,
               std::vector<uint32_t>& argb, DWORD& error, size_t maxBytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return fail(error, ERROR_INVALID_DATA);
  if (!sizeAllowed(image.width, image.height, maxBytes, error)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, pixels.data(), static_cast<png_int_32>(image.width * 4), nullptr)) {
    png_image_free(&image);
    return fail(error, ERROR_INVALID_DATA);
  }
  // B,G,R,A bytes read little-endian are 0xAARRGGBB.
  for (uint32_t& v : pixels) {
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&v);
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  }
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  argb = std::move(pixels);
  return true;
}

bool isJpeg(const uint8_t* data, size_t size) {
  return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool decodeJpeg(const uint8_t* data, size_t size, int& width, int& height,
                std::vector<uint32_t>& argb, DWORD& error, size_t maxBytes) {
  if (!isJpeg(data, size)) return fail(error, ERROR_INVALID_DATA);
  jpeg_decompress_struct info;
  JpegFailure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = jpegErrorExit;
  failure.manager.emit_message = jpegSilence;
  uint8_t* rows = nullptr;
  size_t rowsSize = 0;
  int w = 0, h = 0;
  if (!runJpeg(&info, &failure, data, size, maxBytes, &w, &h, &rows, &rowsSize, &error)) return false;
  // Given back however this ends, memory for the pixels included.
  const std::unique_ptr<uint8_t, void (*)(void*)> owned(rows, std::free);
  argb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (size_t k = 0; k < argb.size(); ++k) {
    const uint8_t* b = rows + 4 * k;
    argb[k] = 0xFF000000u | (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[1]) << 8) | b[0];
  }
  width = w;
  height = h;
  return true;
}

}  // namespace gdi::imagefile
