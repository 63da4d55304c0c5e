// Shapes and regions at the sizes the button draws: one-pixel rows each painted with its own
// brush and pen, and the elliptic window region with a hole cut into it.
#include <benchmark/benchmark.h>
#include <windows.h>

namespace {

void RowsWithOwnPenAndBrush(benchmark::State& state) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(61, 25, 1, 32, nullptr);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  for (auto _ : state) {
    for (int y = 0; y < 26; ++y) {
      COLORREF color = RGB(y * 9, 255 - y * 9, 128);
      HBRUSH brush = CreateSolidBrush(color);
      HPEN pen = CreatePen(PS_SOLID, 1, color);
      HGDIOBJ oldBrush = SelectObject(dc, brush);
      HGDIOBJ oldPen = SelectObject(dc, pen);
      Rectangle(dc, 0, y, 61, y + 1);
      SelectObject(dc, oldPen);
      SelectObject(dc, oldBrush);
      DeleteObject(pen);
      DeleteObject(brush);
    }
  }
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}
BENCHMARK(RowsWithOwnPenAndBrush);

void EllipticRegionWithHole(benchmark::State& state) {
  HRGN hole = CreateRectRgn(40, 10, 60, 20);
  for (auto _ : state) {
    HRGN ellipse = CreateEllipticRgn(0, 0, 100, 30);
    CombineRgn(ellipse, ellipse, hole, RGN_DIFF);
    benchmark::DoNotOptimize(ellipse);
    DeleteObject(ellipse);
  }
  DeleteObject(hole);
}
BENCHMARK(EllipticRegionWithHole);

}  // namespace
