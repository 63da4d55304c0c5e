// A white 32 bpp memory DC for the geometry tests, read back as rows of '#' (changed) and '.'
// (still white), the way the reference pictures are written. Gives every object back.
#pragma once

#include <windows.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

class GeometryCanvas {
 public:
  GeometryCanvas(int width, int height)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)),
        bitmap_(CreateBitmap(width, height, 1, 32, nullptr)) {
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~GeometryCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  GeometryCanvas(const GeometryCanvas&) = delete;
  GeometryCanvas& operator=(const GeometryCanvas&) = delete;

  HDC dc() const { return dc_; }
  std::vector<std::string> picture() const {
    std::vector<std::string> rows;
    for (int y = 0; y < height_; ++y) {
      std::string row;
      for (int x = 0; x < width_; ++x) row += GetPixel(dc_, x, y) == RGB(255, 255, 255) ? '.' : '#';
      rows.push_back(row);
    }
    return rows;
  }
  std::vector<COLORREF> pixels() const {
    std::vector<COLORREF> all;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) all.push_back(GetPixel(dc_, x, y));
    return all;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// A picture of a reference file: its title line and its rows.
struct ReferencePicture {
  std::string title;
  int width = 0, height = 0;
  std::vector<std::string> rows;
};

inline std::vector<ReferencePicture> loadPictures(const std::string& name) {
  std::ifstream in(std::string(CORVANE_TEST_DATA) + "/gdi/" + name);
  std::vector<ReferencePicture> pictures;
  std::string line;
  std::regex size(R"(bitmap (\d+)x(\d+))");
  while (std::getline(in, line)) {
    std::smatch m;
    if (line.empty() || line[0] == '#' || !std::regex_search(line, m, size)) continue;
    ReferencePicture p;
    p.title = line;
    p.width = std::stoi(m[1]);
    p.height = std::stoi(m[2]);
    for (int i = 0; i < p.height && std::getline(in, line); ++i) p.rows.push_back(line);
    pictures.push_back(p);
  }
  return pictures;
}

// Rows side by side, for failure messages.
inline std::string sideBySide(const std::vector<std::string>& want, const std::vector<std::string>& got) {
  std::string out = "\nexpected | got\n";
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) out += want[i] + " | " + got[i] + "\n";
  return out;
}
