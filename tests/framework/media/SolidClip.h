// Clips for tests: solid frames of given colours, written as a clip file holds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test_clips {

inline void put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
inline std::string chunk(const char* id, const std::string& body) {
  std::string s(id, 4);
  put32(s, static_cast<uint32_t>(body.size()));
  s += body;
  if (body.size() % 2) s += '\0';
  return s;
}
inline std::string list(const char* type, const std::string& body) {
  return chunk("LIST", std::string(type, 4) + body);
}

// The top-left pixel of every frame of the clips below: the clip's background as the animation
// control reads it, a colour no test frame has.
constexpr COLORREF kClipBackground = RGB(1, 2, 250);

// An uncompressed 24-bit clip of solid frames in the given colours (COLORREF) but for their
// top-left pixel, kClipBackground; 5 frames a second unless the main header says otherwise.
inline std::string writeClip(int w, int h, const std::vector<COLORREF>& colours,
                             uint32_t microsecondsPerFrame = 200000) {
  uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  std::string avih;
  put32(avih, microsecondsPerFrame);
  put32(avih, 0);
  put32(avih, 0);
  put32(avih, 0);
  put32(avih, static_cast<uint32_t>(colours.size()));
  put32(avih, 0);
  put32(avih, 1);
  put32(avih, rowBytes * h);
  put32(avih, static_cast<uint32_t>(w));
  put32(avih, static_cast<uint32_t>(h));
  for (int i = 0; i < 4; ++i) put32(avih, 0);
  std::string strh = "vids";
  put32(strh, 0);  // handler
  put32(strh, 0);  // flags
  put32(strh, 0);  // priority, language
  put32(strh, 0);  // initial frames
  put32(strh, 1);  // scale
  put32(strh, 5);  // rate
  put32(strh, 0);  // start
  put32(strh, static_cast<uint32_t>(colours.size()));
  put32(strh, rowBytes * h);
  put32(strh, 0xFFFFFFFF);
  put32(strh, 0);
  for (int i = 0; i < 4; ++i) put16(strh, 0);
  std::string strf;
  put32(strf, 40);
  put32(strf, static_cast<uint32_t>(w));
  put32(strf, static_cast<uint32_t>(h));
  put16(strf, 1);
  put16(strf, 24);
  put32(strf, 0);
  put32(strf, rowBytes * h);
  for (int i = 0; i < 4; ++i) put32(strf, 0);
  std::string movi;
  for (COLORREF colour : colours) {
    std::string frame;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        // Rows are stored bottom-up: the last row written is the top one.
        const COLORREF c = x == 0 && y == h - 1 ? kClipBackground : colour;
        frame += static_cast<char>(GetBValue(c));
        frame += static_cast<char>(GetGValue(c));
        frame += static_cast<char>(GetRValue(c));
      }
      frame.append(rowBytes - static_cast<uint32_t>(w) * 3, '\0');
    }
    movi += chunk("00db", frame);
  }
  std::string hdrl = chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf));
  std::string body = "AVI " + list("hdrl", hdrl) + list("movi", movi);
  return chunk("RIFF", body);
}

}  // namespace test_clips
