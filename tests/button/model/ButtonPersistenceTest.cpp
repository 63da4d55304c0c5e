#include <gtest/gtest.h>

#include <windows.h>

#include "../support/ztButtonsInspector.h"
#include "framework/FormDescription.h"
#include "framework/RuntimeError.h"

#include <string>
#include <vector>

using buttontest::ButtonWindow;
using buttontest::MessageRecorder;
using buttontest::bitmapPicture;
using buttontest::iconPicture;

namespace {

std::vector<std::string> keysOf(const PropertyBag& bag) {
  std::vector<std::string> keys;
  for (const auto& e : bag.entries()) keys.push_back(e.first);
  return keys;
}

// The two buttons of the result window, as its description stores them.
const char kResultWindow[] =
    "Begin Form frmFine\n"
    "   Caption = \"Corvane\"\n"
    "   ClientWidth = 4680\n"
    "   ClientHeight = 1860\n"
    "   Begin ztButtons_H ztButtons_H1\n"
    "      Left = 2640\n"
    "      Top = 1440\n"
    "      Width = 915\n"
    "      Height = 375\n"
    "      TabIndex = 1\n"
    "      _extentx = 1614\n"
    "      _extenty = 661\n"
    "      caption = \"&Ok\"\n"
    "      capalign = 2\n"
    "      backstyle = 2\n"
    "      BeginProperty font StdFont\n"
    "         Name = \"MS Sans Serif\"\n"
    "         Size = 8.25\n"
    "         Charset = 0\n"
    "         Weight = 400\n"
    "         Underline = False\n"
    "         Italic = False\n"
    "         Strikethrough = False\n"
    "      EndProperty\n"
    "      cgradient = 0\n"
    "      mode = 0\n"
    "      value = False\n"
    "      cback = &H8000000F&\n"
    "   End\n"
    "   Begin ztButtons_H ztButtons_H2\n"
    "      Left = 3660\n"
    "      Top = 1440\n"
    "      Width = 915\n"
    "      Height = 375\n"
    "      TabIndex = 2\n"
    "      _extentx = 1614\n"
    "      _extenty = 661\n"
    "      caption = \"&Info...\"\n"
    "      capalign = 2\n"
    "      backstyle = 2\n"
    "      BeginProperty font StdFont\n"
    "         Name = \"MS Sans Serif\"\n"
    "         Size = 8.25\n"
    "         Charset = 0\n"
    "         Weight = 400\n"
    "         Underline = False\n"
    "         Italic = False\n"
    "         Strikethrough = False\n"
    "      EndProperty\n"
    "      cgradient = 0\n"
    "      mode = 0\n"
    "      value = False\n"
    "      cback = &H8000000F&\n"
    "   End\n"
    "End\n";

class ResultLikeWindow : public Form {
 public:
  explicit ResultLikeWindow(std::string description, bool designMode) : Form(std::move(description)) {
    setDesignMode(designMode);
  }
  ~ResultLikeWindow() override {
    if (Loaded()) Unload();
  }
  ztButtons_H ztButtons_H1{this, "ztButtons_H1"};
  ztButtons_H ztButtons_H2{this, "ztButtons_H2"};
};

void expectStoredLikeTheResultWindow(ztButtons_H& b, const std::string& caption, const std::string& key) {
  ztButtonsInspector in(b);
  EXPECT_EQ(b.Caption(), caption);
  EXPECT_EQ(b.UserControl.AccessKeys(), key);
  EXPECT_EQ(b.CaptionAlign(), 2);
  EXPECT_EQ(b.ButtonStyle(), 2);
  ASSERT_NE(b.Font(), nullptr);
  EXPECT_EQ(b.Font()->Name, "MS Sans Serif");
  EXPECT_EQ(b.Font()->Size, Currency::fromDouble(8.25));
  EXPECT_EQ(b.Font()->Weight, 400);
  EXPECT_EQ(b.GradientColor(), 0u);
  EXPECT_EQ(b.Mode(), 0);
  EXPECT_EQ(b.Value(), 0);
  EXPECT_EQ(b.BackColor(), 0x8000000Fu);
  EXPECT_EQ(b.HoverBackColor(), 0x8000000Fu);
  EXPECT_EQ(b.HoverForeColor(), 0x80000012u);
  EXPECT_EQ(b.ForeColor(), 0x80000012u);
  EXPECT_EQ(b.ShowFocusRect(), -1);
  EXPECT_EQ(b.Enabled(), -1);
  EXPECT_EQ(b.PictureSize(), 0);
  EXPECT_EQ(in.FaceColor(), 0xF1F1F0);
  EXPECT_EQ(in.PressedFaceColor(), 0xCAD2D0);
  EXPECT_EQ(in.DrawingDelayed(), 0);
}

}  // namespace

TEST(ButtonStore, AButtonWithEveryDefaultWritesOnlyFontModeValueAndBack) {
  MessageRecorder boxes;
  ButtonWindow w(true);
  w.Load();
  ztButtons_H& b = w.Button1;
  b.setCaption("");
  b.setGradientColor(0x8000000F);
  PropertyBag bag;
  b.UserControl_WriteProperties(bag);
  EXPECT_EQ(keysOf(bag), (std::vector<std::string>{"font", "mode", "value", "cback"}));
  EXPECT_EQ(bag.ReadProperty("mode").kind(), ValueKind::Long);
  EXPECT_EQ(bag.ReadProperty("value").kind(), ValueKind::Boolean);
  EXPECT_EQ(bag.ReadProperty("cback").toLong(), static_cast<int32_t>(0x8000000F));
  EXPECT_EQ(bag.ReadProperty("font").font(), b.Font());
}

TEST(ButtonStore, EveryPropertySurvivesASaveAndALoadOfItsWindow) {
  MessageRecorder boxes;  // the designer's warnings for the custom click on a plain shape
  ButtonWindow w(true);
  w.Load();
  ztButtons_H& b = w.Button1;
  b.setCaption("Sa&ve||now");
  b.setPictureAlign(3);
  b.setCaptionAlign(0);
  b.setButtonStyle(6);
  b.setButtonShape(3);  // centres the caption again
  b.setCaptionAlign(1);
  b.Font()->Name = "Tahoma";
  b.Font()->Size = Currency::fromDouble(9.75);
  b.setFontStyle(ztButtons_H::FontBold | ztButtons_H::FontUnderline);
  b.setForeColor(0x00102030);
  b.setHoverColorLocks(3);
  b.setHoverForeColor(0x00405060);
  b.setHoverBackColor(0x00708090);
  b.setShowFocusRect(0);
  b.setGradientColor(0x00A0B0C0);
  b.setGradientMode(4);
  b.setCaptionStyle(1);
  b.setMode(1);
  b.setValue(-1);
  b.setCustomClick(6);
  b.setPictureSize(3);
  b.setEnabled(0);
  b.setBackColor(0x00D0E0F0);
  b.setMousePointer(11);
  const std::string saved = w.SaveDescription();
  w.Unload();

  const DescriptionBlock root = ParseFormDescription(saved);
  const DescriptionBlock* block = root.child("Button1");
  ASSERT_NE(block, nullptr);
  for (const auto& p : block->properties) {
    if (p.key == "Left" || p.key == "Top" || p.key == "Width" || p.key == "Height" || p.key == "TabIndex")
      continue;
    EXPECT_EQ(p.key, PropertyBag::foldKey(p.key));
  }
  ASSERT_NE(block->find("imgsize"), nullptr);
  EXPECT_EQ(block->find("imgsize")->toLong(), 40);

  ButtonWindow loaded(false, saved);
  loaded.Load();
  ztButtons_H& c = loaded.Button1;
  EXPECT_EQ(c.Caption(), "Sa&ve||now");
  EXPECT_EQ(c.UserControl.AccessKeys(), "v");
  EXPECT_EQ(c.CaptionAlign(), 1);
  EXPECT_EQ(c.ButtonStyle(), 6);
  EXPECT_EQ(c.ButtonShape(), 3);
  EXPECT_EQ(c.Font()->Name, "Tahoma");
  EXPECT_EQ(c.Font()->Size, Currency::fromDouble(9.75));
  EXPECT_EQ(c.FontStyle(), ztButtons_H::FontBold | ztButtons_H::FontUnderline);
  EXPECT_EQ(c.ForeColor(), 0x00102030u);
  EXPECT_EQ(c.HoverColorLocks(), 3);
  EXPECT_EQ(c.HoverForeColor(), 0x00405060u);
  EXPECT_EQ(c.HoverBackColor(), 0x00708090u);
  EXPECT_EQ(c.ShowFocusRect(), 0);
  EXPECT_EQ(c.GradientColor(), 0x00A0B0C0u);
  EXPECT_EQ(c.GradientMode(), 4);
  EXPECT_EQ(c.CaptionStyle(), 1);
  EXPECT_EQ(c.Mode(), 1);
  EXPECT_EQ(c.Value(), -1);
  EXPECT_EQ(c.CustomClick(), 6);
  EXPECT_EQ(c.PictureAlign(), 3);
  EXPECT_EQ(c.PictureSize(), 3);
  EXPECT_EQ(c.Enabled(), 0);
  EXPECT_EQ(c.BackColor(), 0x00D0E0F0u);
  EXPECT_EQ(c.MousePointer(), 11);
  EXPECT_EQ(ztButtonsInspector(c).FaceColor(), 0xD0E0F0);
  EXPECT_EQ(ztButtonsInspector(c).HoverFaceColor(), 0x708090);
  EXPECT_EQ(c.UserControl.Tag(), std::to_string(reinterpret_cast<intptr_t>(loaded.hWnd())));
}

TEST(ButtonStore, DefaultsAreLeftOutAndComeBackWhenAbsent) {
  MessageRecorder boxes;
  ButtonWindow w(true);
  w.Load();
  ztButtons_H& b = w.Button1;
  b.setCaptionAlign(0);
  b.setPictureSize(4);
  PropertyBag bag;
  b.UserControl_WriteProperties(bag);
  ASSERT_TRUE(bag.contains("capalign"));
  EXPECT_EQ(bag.ReadProperty("capalign").toLong(), 0);
  EXPECT_EQ(bag.ReadProperty("imgsize").kind(), ValueKind::Integer);
  EXPECT_EQ(bag.ReadProperty("imgsize").toLong(), 48);
  EXPECT_FALSE(bag.contains("cbhover"));  // equal to the back colour
  b.setCaptionAlign(2);
  b.setPictureSize(0);
  PropertyBag centred;
  b.UserControl_WriteProperties(centred);
  EXPECT_FALSE(centred.contains("capalign"));
  EXPECT_FALSE(centred.contains("imgsize"));

  ButtonWindow other(false);
  other.Load();
  ztButtons_H& c = other.Button1;
  c.UserControl_ReadProperties(bag);
  EXPECT_EQ(c.CaptionAlign(), 0);
  EXPECT_EQ(c.PictureSize(), 4);
  c.UserControl_ReadProperties(centred);
  EXPECT_EQ(c.CaptionAlign(), 2);
  EXPECT_EQ(c.PictureSize(), 0);
}

TEST(ButtonStore, AMissingBackColourIsTheWindowsAndTheHoverColourFollowsIt) {
  ButtonWindow w(false);
  w.Load();
  w.setBackColor(0x00336699);
  ztButtons_H& b = w.Button1;
  PropertyBag empty;
  b.UserControl_ReadProperties(empty);
  EXPECT_EQ(b.BackColor(), 0x00336699u);
  EXPECT_EQ(b.HoverBackColor(), 0x00336699u);
  EXPECT_EQ(ztButtonsInspector(b).ParentBackColor(), 0x336699);
  EXPECT_EQ(b.Caption(), "");
  EXPECT_EQ(b.CaptionAlign(), 2);
  EXPECT_EQ(b.GradientColor(), 0x8000000Fu);  // the store's default, not a new button's black
  EXPECT_EQ(b.ShowFocusRect(), -1);
  EXPECT_EQ(b.Enabled(), -1);
  EXPECT_EQ(ztButtonsInspector(b).PictureSizePixels(), 16);
  // A missing font keeps the surface's font.
  ASSERT_NE(b.Font(), nullptr);

  PropertyBag withBack;
  withBack.set("cback", PropertyValue(int32_t{0x00112233}));
  b.UserControl_ReadProperties(withBack);
  EXPECT_EQ(b.HoverBackColor(), 0x00112233u);
}

TEST(ButtonStore, TheHoverBackKeyIsReadWhateverItsSpelling) {
  ButtonWindow w(false);
  w.Load();
  PropertyBag bag;
  bag.WriteProperty("cBhover", PropertyValue(int32_t{0x00ABCDEF}));
  bag.WriteProperty("cBack", PropertyValue(int32_t{0x00010203}));
  w.Button1.UserControl_ReadProperties(bag);
  EXPECT_EQ(w.Button1.HoverBackColor(), 0x00ABCDEFu);
  EXPECT_EQ(ztButtonsInspector(w.Button1).HoverFaceColor(), 0xABCDEF);
}

TEST(ButtonStore, PicturesAndPointersAreRestored) {
  MessageRecorder boxes;
  ButtonWindow w(true);
  w.Load();
  ztButtons_H& b = w.Button1;
  b.setPicture(bitmapPicture(12, 9));
  b.setMouseIcon(iconPicture(32, StdPicture::Kind::Cursor));
  b.setMousePointer(5);
  PropertyBag bag;
  b.UserControl_WriteProperties(bag);
  EXPECT_EQ(bag.ReadProperty("image").kind(), ValueKind::Picture);
  EXPECT_EQ(bag.ReadProperty("micon").kind(), ValueKind::Picture);
  EXPECT_EQ(bag.ReadProperty("mpointer").toLong(), 5);

  ButtonWindow other(false);
  other.Load();
  ztButtons_H& c = other.Button1;
  c.UserControl_ReadProperties(bag);
  EXPECT_EQ(c.Picture(), b.Picture());
  EXPECT_EQ(ztButtonsInspector(c).PictureWidth(), 12);
  EXPECT_EQ(ztButtonsInspector(c).PictureHeight(), 9);
  EXPECT_EQ(ztButtonsInspector(c).PictureIsIcon(), 0);
  EXPECT_EQ(c.MouseIcon(), b.MouseIcon());
  EXPECT_EQ(c.MousePointer(), 5);  // the stored code wins over the custom pointer the icon brings
  bag.remove("mpointer");
  c.UserControl_ReadProperties(bag);
  EXPECT_EQ(c.MousePointer(), 0);
}

TEST(ButtonStore, AValueOfTheWrongKindEndsTheReadingWithAnErrorNamingTheKey) {
  ButtonWindow w(false);
  w.Load();
  ztButtons_H& b = w.Button1;
  PropertyBag bag;
  bag.set("caption", PropertyValue("Kept"));
  bag.set("capalign", PropertyValue("left"));
  bag.set("backstyle", PropertyValue(int32_t{4}));
  try {
    b.UserControl_ReadProperties(bag);
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number, ErrTypeMismatch);
    EXPECT_NE(e.Description.find("CapAlign"), std::string::npos) << e.Description;
  }
  EXPECT_EQ(b.Caption(), "Kept");
  EXPECT_EQ(b.ButtonStyle(), 0);  // read after the fault: never reached
  EXPECT_EQ(ztButtonsInspector(b).DrawingDelayed(), -1);

  // Objects where numbers belong, numbers where objects belong, and 16-bit overflow.
  for (auto [key, value] : std::vector<std::pair<std::string, PropertyValue>>{
           {"focus", PropertyValue(NewFont())},
           {"font", PropertyValue(int32_t{3})},
           {"image", PropertyValue("picture.bmp")},
           {"imgsize", PropertyValue(int32_t{70000})},
           {"mpointer", PropertyValue(int32_t{70000})}}) {
    PropertyBag bad;
    bad.set(key, value);
    EXPECT_THROW(b.UserControl_ReadProperties(bad), RuntimeError) << key;
  }
}

TEST(ButtonStore, TheResultWindowsButtonsReadTheirStores) {
  const DescriptionBlock root = ParseFormDescription(kResultWindow);
  const DescriptionBlock* block = root.child("ztButtons_H1");
  ASSERT_NE(block, nullptr);
  PropertyBag bag;
  for (const auto& p : block->properties) bag.set(p.key, p.value);
  ButtonWindow w(false);
  w.Load();
  w.Button1.UserControl_ReadProperties(bag);
  expectStoredLikeTheResultWindow(w.Button1, "&Ok", "O");

  // The same text loads as a window with both buttons, sized by their extent.
  ResultLikeWindow window(kResultWindow, false);
  window.Load();
  expectStoredLikeTheResultWindow(window.ztButtons_H1, "&Ok", "O");
  expectStoredLikeTheResultWindow(window.ztButtons_H2, "&Info...", "I");
  EXPECT_EQ(window.ztButtons_H1.UserControl.ScaleWidth(), 61.0f);
  EXPECT_EQ(window.ztButtons_H1.UserControl.ScaleHeight(), 25.0f);
  window.Unload();

  // Saved again at design time, the store keeps the keys it had, less the default alignment.
  MessageRecorder boxes;
  ResultLikeWindow designer(kResultWindow, true);
  designer.Load();
  const DescriptionBlock again = ParseFormDescription(designer.SaveDescription());
  const DescriptionBlock* b1 = again.child("ztButtons_H1");
  ASSERT_NE(b1, nullptr);
  std::vector<std::string> keys;
  for (const auto& p : b1->properties)
    if (p.key[0] != '_' && p.key != "Left" && p.key != "Top" && p.key != "Width" && p.key != "Height" &&
        p.key != "TabIndex")
      keys.push_back(p.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"caption", "backstyle", "font", "cgradient", "mode", "value", "cback"}));
  EXPECT_EQ(b1->find("_extentx")->toLong(), 1614);
  EXPECT_EQ(b1->find("_extenty")->toLong(), 661);
}
