// The caption of a push button: "&Ok" centred in a 61 x 25 button face of a 32-bit memory DC,
// in the 8-point sans, as the button control draws it on every repaint.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstring>

namespace {

struct ButtonFace {
  ButtonFace() {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 61;
    info.bmiHeader.biHeight = -25;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    oldBitmap = SelectObject(dc, bitmap);
    LOGFONTA lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    font = CreateFontIndirectA(&lf);
    oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
  }
  ~ButtonFace() {
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HFONT font = nullptr;
  HGDIOBJ oldBitmap = nullptr;
  HGDIOBJ oldFont = nullptr;
};

void BM_DrawCentredAccessKeyCaption(benchmark::State& state) {
  ButtonFace face;
  RECT rect{0, 0, 61, 25};
  for (auto _ : state) {
    RECT r = rect;
    benchmark::DoNotOptimize(
        DrawTextA(face.dc, "&Ok", 3, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  }
}
BENCHMARK(BM_DrawCentredAccessKeyCaption)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_MeasureWrappedCaption(benchmark::State& state) {
  ButtonFace face;
  for (auto _ : state) {
    RECT r{0, 0, 53, 17};
    benchmark::DoNotOptimize(
        DrawTextA(face.dc, "Flush the\r\nvolume now", -1, &r, DT_CALCRECT | DT_WORDBREAK));
  }
}
BENCHMARK(BM_MeasureWrappedCaption)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
