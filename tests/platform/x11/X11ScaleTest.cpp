// The display's scale: the setting, the Xft.dpi resource, what fits the screen, the conversions
// both ways, and enlarged pixels on both paths to an X image and back.
// gtest comes before the X headers, whose None and Bool macros would break it.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <string>
#include <vector>

#include "drivers/x11/X11Pixels.h"
#include "drivers/x11/X11Scale.h"
#include "drivers/x11/X11WindowHints.h"
#include "ZPixmapImage.h"

namespace {

struct Setting {
  const char* value;
  int factor;
  bool warns;
};

TEST(X11Scale, SettingTakesOneToFourAndWarnsAboutTheRest) {
  const Setting cases[] = {
      {"1", 1, false}, {"2", 2, false}, {"4", 4, false}, {"+3", 3, false},
      {"0", 1, true},  {"-1", 1, true}, {"5", 4, true},  {"99999999999999999999", 4, true},
      {"-99999999999999999999", 1, true}, {"x", 1, true}, {"", 1, true}, {"2.5", 1, true},
      {" 2", 1, true}, {"2x", 1, true}, {"-", 1, true},
  };
  for (const Setting& c : cases) {
    std::string warning;
    EXPECT_EQ(x11::scaleFromSetting(c.value, warning), c.factor) << '"' << c.value << '"';
    EXPECT_EQ(!warning.empty(), c.warns) << '"' << c.value << '"' << warning;
    if (c.warns) {
      EXPECT_EQ(warning.rfind(std::string("CORVANE_SCALE=\"") + c.value + "\"", 0), 0u) << warning;
      EXPECT_NE(warning.find("using " + std::to_string(c.factor)), std::string::npos) << warning;
    }
  }
}

TEST(X11Scale, XftDpiRoundsHalfUpBetweenOneAndFour) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"Xft.dpi:\t96\n", 1},
      {"Xft.dpi:\t192\n", 2},
      {"Xft.dpi: 144\n", 2},   // 1.5 rounds up
      {"Xft.dpi: 143.9\n", 1},
      {"Xft.dpi: 120\n", 1},
      {"Xft.dpi: 288\n", 3},
      {"Xft.dpi: 100000\n", 4},
      {"Xft.dpi: 0\n", 1},
      {"Xft.dpi: -192\n", 1},
      {"Xft.antialias: 1\nXft.dpi: 192\nXcursor.size: 48\n", 2},
      {"Xft*dpi: 192\n", 2},  // a loose binding matches as the toolkits read it
      {"*dpi: 192\n", 2},
      {"Xft.Dpi: 192\n", 2},  // the class
      {"Xft.dpi: 192\nXft*dpi: 96\n*dpi: 96\n", 2},  // the tightest binding wins wherever it stands
      {"*dpi: 96\nXft*dpi: 192\n", 2},
      {"Xft.dpi: 96\nXft.dpi: 192\n", 2},  // the last of equals
      {"  Xft.dpi :\t192  \n", 2},
      {"! Xft.dpi: 192\n", std::nullopt},
      {"Gtk.dpi: 192\nXft.dpi.extra: 192\nXFT.DPI: 192\nXft.dp: 192\n", std::nullopt},
      {"Xft.dpi 192\n", std::nullopt},
      {"Xft.dpi: many\n", std::nullopt},
      {"Xft.dpi: 192dpi\n", std::nullopt},
      {"Xft.dpi: nan\n", std::nullopt},
      {"Xft.dpi: inf\n", std::nullopt},
      {"Xft.dpi:\n", std::nullopt},
      {"Xcursor.size: 48\n", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [resources, factor] : cases) {
    EXPECT_EQ(x11::scaleFromResources(resources), factor) << resources;
  }
  EXPECT_EQ(x11::scaleFromResources(nullptr), std::nullopt);
}

TEST(X11Scale, FactorLeavesTheProgramAtLeastAVgaScreen) {
  EXPECT_EQ(x11::fittingScale(2, 1920, 1080), 2);
  EXPECT_EQ(x11::fittingScale(3, 1920, 1080), 2);  // 640 x 360 is too low
  EXPECT_EQ(x11::fittingScale(3, 1920, 1440), 3);
  EXPECT_EQ(x11::fittingScale(4, 3840, 2160), 4);
  EXPECT_EQ(x11::fittingScale(2, 1024, 768), 1);
  EXPECT_EQ(x11::fittingScale(4, 200, 100), 1);  // a tiny screen still shows the program
  EXPECT_EQ(x11::fittingScale(9, 100000, 100000), 4);
  EXPECT_EQ(x11::fittingScale(-3, 1920, 1080), 1);
}

TEST(X11Scale, SettingComesFirstAndOnlyItWarns) {
  std::string warning;
  EXPECT_EQ(x11::chooseScale("3", "Xft.dpi: 192\n", 1920, 1440, warning).factor, 3);
  EXPECT_TRUE(warning.empty());
  EXPECT_EQ(x11::chooseScale(nullptr, "Xft.dpi: 192\n", 1920, 1440, warning).factor, 2);
  EXPECT_EQ(x11::chooseScale(nullptr, "Xft.dpi: 100000\n", 1920, 1080, warning).factor, 2);
  EXPECT_EQ(x11::chooseScale(nullptr, "Xft.dpi: junk\n", 1920, 1080, warning).factor, 1);
  EXPECT_EQ(x11::chooseScale(nullptr, nullptr, 1920, 1080, warning).factor, 1);
  EXPECT_TRUE(warning.empty());
  // A setting the screen cannot take falls to what fits, and says so.
  EXPECT_EQ(x11::chooseScale("3", nullptr, 1920, 1080, warning).factor, 2);
  EXPECT_NE(warning.find("using 2"), std::string::npos) << warning;
  warning.clear();
  // An unusable setting is not replaced by the resource: the user asked for something else.
  EXPECT_EQ(x11::chooseScale("x", "Xft.dpi: 192\n", 1920, 1080, warning).factor, 1);
  EXPECT_FALSE(warning.empty());
}

TEST(X11Scale, ConversionsRoundTowardsTheProgramPixelShown) {
  const x11::Scale two{2};
  EXPECT_EQ(two.toScreen(156), 312);
  EXPECT_EQ(two.toScreen(-5), -10);
  EXPECT_EQ(two.toProgram(413), 206);
  EXPECT_EQ(two.toProgram(-1), -1);  // left of the screen's edge stays left of it
  EXPECT_EQ(two.toProgram(-2), -1);
  EXPECT_EQ(two.toProgram(-3), -2);
  EXPECT_EQ(two.coverToProgram(625), 313);
  // An exposed area turns into every program pixel it touches.
  const RECT exposed = x11::Scale{3}.toProgram(RECT{4, 5, 7, 9});
  EXPECT_EQ(exposed.left, 1);
  EXPECT_EQ(exposed.top, 1);
  EXPECT_EQ(exposed.right, 3);
  EXPECT_EQ(exposed.bottom, 3);
  const RECT window = two.toScreen(RECT{176, 96, 237, 121});
  EXPECT_EQ(window.left, 352);
  EXPECT_EQ(window.bottom, 242);
  // Every program pixel maps back to itself from each screen pixel of its block.
  for (int factor = 1; factor <= x11::kMaxScale; ++factor) {
    const x11::Scale s{factor};
    for (LONG v = -7; v <= 7; ++v)
      for (int k = 0; k < factor; ++k) EXPECT_EQ(s.toProgram(s.toScreen(v) + k), v) << factor << ' ' << v;
  }
}

TEST(X11Scale, PixelsEnlargeIntoImagesAndSampleBackOnBothPaths) {
  constexpr int w = 3, h = 2, factor = 3;
  std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFF00FF};
  const x11::PixelBuffer from{reinterpret_cast<uint8_t*>(pixels.data()), w, h, w * 4};
  x11::PixelFormat fast;
  fast.redMask = 0xFF0000, fast.greenMask = 0xFF00, fast.blueMask = 0xFF, fast.bitsPerPixel = 32;
  fast.native = true;
  x11::PixelFormat slow = fast;
  slow.redMask = 0xF800, slow.greenMask = 0x07E0, slow.blueMask = 0x1F, slow.bitsPerPixel = 16;
  slow.native = false;
  for (const x11::PixelFormat* f : {&fast, &slow}) {
    std::vector<char> data;
    // One column and row of room around the enlarged area, which must stay as it was.
    XImage image = zPixmapImage(data, w * factor + 2, h * factor + 2, *f);
    x11::copyToImage(*f, from, 0, 0, w, h, image, 1, 1, factor);
    for (int y = 0; y < h * factor + 2; ++y) {
      for (int x = 0; x < w * factor + 2; ++x) {
        const bool inside = x >= 1 && y >= 1 && x <= w * factor && y <= h * factor;
        const unsigned long expected =
            inside ? f->pack(pixels[static_cast<size_t>((y - 1) / factor * w + (x - 1) / factor)]) : 0;
        ASSERT_EQ(XGetPixel(&image, x, y), expected) << f->bitsPerPixel << " bpp at " << x << ',' << y;
      }
    }
    std::vector<uint32_t> back(w * h, 0xABCDEF);
    x11::PixelBuffer to{reinterpret_cast<uint8_t*>(back.data()), w, h, w * 4};
    x11::copyFromImage(*f, image, 1, 1, w, h, to, 0, 0, factor);
    EXPECT_EQ(back, pixels) << f->bitsPerPixel << " bpp";
  }
}

TEST(X11Scale, IconImagesGrowWithTheFactor) {
  const std::vector<uint32_t> argb = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
  const std::vector<long> data = x11::netWmIconData(argb, 2, 2, 2);
  const std::vector<long> expected = {4, 4, 0xFF000001, 0xFF000001, 0xFF000002, 0xFF000002,
                                      0xFF000001, 0xFF000001, 0xFF000002, 0xFF000002,
                                      0xFF000003, 0xFF000003, 0xFF000004, 0xFF000004,
                                      0xFF000003, 0xFF000003, 0xFF000004, 0xFF000004};
  EXPECT_EQ(data, expected);
}

}  // namespace
