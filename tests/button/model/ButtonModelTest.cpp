#include <gtest/gtest.h>

#include <windows.h>

#include "../support/ztButtonsInspector.h"
#include "framework/RuntimeError.h"

#include <string>
#include <vector>

using buttontest::ButtonWindow;
using buttontest::MessageRecorder;
using buttontest::bitmapPicture;
using buttontest::iconPicture;
using buttontest::marked;
using buttontest::takeChanged;

namespace {

constexpr OLE_COLOR kButtonFace = 0x8000000F;
constexpr OLE_COLOR kButtonText = 0x80000012;

class ButtonModel : public testing::Test {
 protected:
  void SetUp() override {
    design.Load();
    run.Load();
    takeChanged(design.Button1);
    takeChanged(run.Button1);
  }
  // Catches any design-time box a test does not record itself, so none can wait for a click.
  MessageRecorder unexpectedBoxes;
  ButtonWindow design{true};
  ButtonWindow run{false};
  ztButtons_H& d = design.Button1;
  ztButtons_H& r = run.Button1;
};

}  // namespace

TEST(ButtonDefaults, ANewButtonStartsWithTheDocumentedValues) {
  ButtonWindow w(true);
  w.Load();
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in(b);
  EXPECT_EQ(b.Caption(), "Button1");
  EXPECT_EQ(b.CaptionAlign(), 2);
  EXPECT_EQ(b.ShowFocusRect(), -1);
  EXPECT_EQ(b.BackColor(), kButtonFace);
  EXPECT_EQ(b.HoverBackColor(), kButtonFace);
  EXPECT_EQ(b.HoverForeColor(), kButtonText);
  EXPECT_EQ(b.GradientColor(), 0u);  // black, not the button face
  EXPECT_EQ(b.ForeColor(), kButtonText);
  EXPECT_EQ(b.ButtonStyle(), 0);
  EXPECT_EQ(b.Mode(), 0);
  EXPECT_EQ(b.CaptionStyle(), 0);
  EXPECT_EQ(b.CustomClick(), 0);
  EXPECT_EQ(b.ButtonShape(), 0);
  EXPECT_EQ(b.PictureAlign(), 0);
  EXPECT_EQ(b.GradientMode(), 0);
  EXPECT_EQ(b.HoverColorLocks(), 0);
  EXPECT_EQ(b.Value(), 0);
  EXPECT_EQ(b.Enabled(), -1);
  EXPECT_EQ(b.MousePointer(), 0);
  EXPECT_EQ(b.Picture(), nullptr);
  EXPECT_EQ(b.ResetDefaultColors(), 0);
  EXPECT_EQ(b.UserControl.Tag(), std::to_string(reinterpret_cast<intptr_t>(w.hWnd())));
  // The picture box edge is 0 until the size is first read, and the read stores 16.
  EXPECT_EQ(in.PictureSizePixels(), 0);
  EXPECT_EQ(b.PictureSize(), 0);
  EXPECT_EQ(in.PictureSizePixels(), 16);
  // The face colours are derived and never hold a system colour reference.
  EXPECT_EQ(in.FaceColor(), 0xC0C0C0);
  EXPECT_EQ(in.PressedFaceColor(), 0xC0C0C0);
  EXPECT_EQ(in.HoverFaceColor(), 0xC0C0C0);
  EXPECT_EQ(in.CheckedFaceColor(), 0xE0E0DF);
  EXPECT_EQ(in.ParentBackColor(), 0xC0C0C0);
  std::vector<std::string> expected{"Caption", "CapAlign", "Focus", "cFHover", "cBHover", "Font"};
  EXPECT_EQ(b.changedProperties(), expected);
}

TEST(ButtonDefaults, TheFontStartsAsACopyOfTheWindowsFont) {
  ButtonWindow w(true,
                 "Begin Form frmButtons\n"
                 "   ClientWidth = 3000\n"
                 "   ClientHeight = 1500\n"
                 "   BeginProperty Font\n"
                 "      Name = \"Tahoma\"\n"
                 "      Size = 9.75\n"
                 "   EndProperty\n"
                 "End\n");
  w.Load();
  ASSERT_EQ(w.Font()->Name, "Tahoma");
  FontRef f = w.Button1.Font();
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Name, "Tahoma");
  EXPECT_EQ(f->Size, Currency::fromDouble(9.75));
  // Making the button bold leaves the window's own font alone.
  w.Button1.setFontStyle(ztButtons_H::FontBold);
  EXPECT_TRUE(w.Button1.Font()->Bold());
  EXPECT_FALSE(w.Font()->Bold());
}

TEST_F(ButtonModel, FontStyleReadsAndWritesOnlyBoldItalicUnderline) {
  FontRef f = d.Font();
  f->setBold(true);
  f->Italic = true;
  f->Underline = true;
  EXPECT_EQ(d.FontStyle(), 14);
  f->setBold(false);
  f->Italic = false;
  f->Underline = false;
  f->Strikethrough = true;
  EXPECT_EQ(d.FontStyle(), 0);
  takeChanged(d);
  // Other bits are ignored; strikethrough, size and name stay.
  d.setFontStyle(1 | 2 | 4 | 8 | 16 | 0x100);
  EXPECT_TRUE(f->Bold());
  EXPECT_TRUE(f->Italic);
  EXPECT_TRUE(f->Underline);
  EXPECT_TRUE(f->Strikethrough);
  EXPECT_EQ(d.FontStyle(), 14);
  EXPECT_TRUE(marked(takeChanged(d), "Font"));
  d.setFontStyle(ztButtons_H::FontItalic);
  EXPECT_EQ(d.FontStyle(), 4);
  EXPECT_FALSE(f->Bold());
}

TEST_F(ButtonModel, OutOfRangeValuesChangeNothingAndMarkNothing) {
  MessageRecorder boxes;
  d.setButtonStyle(8);
  d.setButtonStyle(-1);
  d.setMode(-1);
  d.setMode(3);
  d.setCaptionAlign(3);
  d.setCaptionStyle(3);
  d.setCustomClick(9);
  d.setButtonShape(9);
  d.setPictureAlign(6);
  d.setPictureSize(5);
  d.setPictureSize(-1);
  d.setGradientMode(5);
  d.setGradientMode(-1);
  EXPECT_EQ(d.ButtonStyle(), 0);
  EXPECT_EQ(d.Mode(), 0);
  EXPECT_EQ(d.CaptionAlign(), 2);
  EXPECT_EQ(d.CaptionStyle(), 0);
  EXPECT_EQ(d.CustomClick(), 0);
  EXPECT_EQ(d.ButtonShape(), 0);
  EXPECT_EQ(d.PictureAlign(), 0);
  EXPECT_EQ(d.PictureSize(), 0);
  EXPECT_EQ(d.GradientMode(), 0);
  EXPECT_TRUE(takeChanged(d).empty());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ButtonModel, AcceptedValuesAreStoredAndReportedUnderTheirKeys) {
  d.setButtonStyle(7);
  d.setMode(1);
  d.setCaptionStyle(2);
  d.setPictureAlign(3);
  d.setCaptionAlign(0);
  d.setPictureSize(2);
  d.setGradientMode(4);
  d.setValue(-1);
  d.setShowFocusRect(0);
  d.setEnabled(0);
  d.setMousePointer(11);
  EXPECT_EQ(d.ButtonStyle(), 7);
  EXPECT_EQ(d.Mode(), 1);
  EXPECT_EQ(d.CaptionStyle(), 2);
  EXPECT_EQ(d.PictureAlign(), 3);
  EXPECT_EQ(d.CaptionAlign(), 0);
  EXPECT_EQ(d.PictureSize(), 2);
  EXPECT_EQ(ztButtonsInspector(d).PictureSizePixels(), 32);
  EXPECT_EQ(d.GradientMode(), 4);
  EXPECT_EQ(d.Value(), -1);
  EXPECT_EQ(d.ShowFocusRect(), 0);
  EXPECT_EQ(d.Enabled(), 0);
  EXPECT_FALSE(d.UserControl.Enabled());
  EXPECT_EQ(d.MousePointer(), 11);
  auto keys = takeChanged(d);
  for (const char* k : {"BackStyle", "Mode", "CapStyle", "ImgAlign", "CapAlign", "ImgSize", "Gradient",
                        "Value", "Focus", "Enabled", "mPointer"})
    EXPECT_TRUE(marked(keys, k)) << k;
  // Enabled set to its current value does nothing.
  d.setEnabled(0);
  EXPECT_FALSE(marked(takeChanged(d), "Enabled"));
  // Any non-zero value counts as True.
  d.setEnabled(1);
  EXPECT_EQ(d.Enabled(), -1);
}

TEST_F(ButtonModel, CaptionStyleLaysOutOnlyACaptionButReportsAlways) {
  d.setCaption("");
  takeChanged(d);
  d.setCaptionStyle(1);
  EXPECT_EQ(d.CaptionStyle(), 1);
  EXPECT_TRUE(marked(takeChanged(d), "CapStyle"));
}

TEST_F(ButtonModel, CaptionSetsTheAccessKeyFromTheLastAmpersand) {
  d.setCaption("&Ok");
  EXPECT_EQ(d.UserControl.AccessKeys(), "O");
  EXPECT_EQ(d.Caption(), "&Ok");
  d.setCaption("Save && Exit");
  EXPECT_EQ(d.UserControl.AccessKeys(), " ");
  d.setCaption("&Info...");
  EXPECT_EQ(d.UserControl.AccessKeys(), "I");
  d.setCaption("Plain||two lines");
  EXPECT_EQ(d.UserControl.AccessKeys(), "I");
  EXPECT_EQ(d.Caption(), "Plain||two lines");
  d.setCaption("Trailing&");
  EXPECT_EQ(d.UserControl.AccessKeys(), "");
  EXPECT_TRUE(marked(takeChanged(d), "Caption"));
}

TEST_F(ButtonModel, CaptionAlignUnderAPictureAboveOrBelowIsRefusedAtDesignTimeWithAMessage) {
  MessageRecorder boxes;
  // Without a picture, alignment is free even with the picture placed above.
  d.setPictureAlign(4);
  d.setCaptionAlign(0);
  EXPECT_EQ(d.CaptionAlign(), 0);
  EXPECT_TRUE(boxes.boxes.empty());
  // Setting the picture above or below centres a left or right caption.
  d.setPicture(bitmapPicture(8, 8));
  d.setPictureAlign(5);
  EXPECT_EQ(d.CaptionAlign(), 2);
  takeChanged(d);
  d.setCaptionAlign(1);
  EXPECT_EQ(d.CaptionAlign(), 2);
  EXPECT_FALSE(marked(takeChanged(d), "CapAlign"));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].prompt,
            "When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned");
  EXPECT_EQ(boxes.boxes[0].buttons, vbInformation);
  EXPECT_EQ(boxes.boxes[0].title, App.Title);  // the host's default title
  // Beside the caption any alignment goes.
  d.setPictureAlign(3);
  d.setCaptionAlign(1);
  EXPECT_EQ(d.CaptionAlign(), 1);
  // At run time the same refusal is silent.
  r.setPicture(bitmapPicture(8, 8));
  r.setPictureAlign(4);
  r.setCaptionAlign(0);
  EXPECT_EQ(r.CaptionAlign(), 2);
  EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(ButtonModel, CustomShapesNeedABitmapAndBringPictureSizeFitAndACentredCaption) {
  MessageRecorder boxes;
  const std::string refusal = "The Picture Property must be assigned first and must be a bitmap or JPEG.";
  d.setButtonShape(7);
  EXPECT_EQ(d.ButtonShape(), 0);
  d.setPicture(iconPicture(32));
  d.setButtonShape(8);
  EXPECT_EQ(d.ButtonShape(), 0);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].prompt, refusal);
  EXPECT_EQ(boxes.boxes[1].prompt, refusal);
  EXPECT_FALSE(marked(takeChanged(d), "Shape"));

  d.setCaptionAlign(0);
  d.setPicture(bitmapPicture(20, 10));
  d.setButtonShape(7);
  EXPECT_EQ(d.ButtonShape(), 7);
  EXPECT_EQ(d.PictureSize(), 4);
  EXPECT_EQ(ztButtonsInspector(d).PictureSizePixels(), 48);
  EXPECT_EQ(d.CaptionAlign(), 2);
  EXPECT_EQ(ztButtonsInspector(d).DrawingDelayed(), 0);
  auto keys = takeChanged(d);
  EXPECT_TRUE(marked(keys, "Shape"));
  EXPECT_TRUE(marked(keys, "ImgSize"));
  // While the shape is custom the picture size is fixed.
  d.setPictureSize(1);
  EXPECT_EQ(d.PictureSize(), 4);
  ASSERT_EQ(boxes.boxes.size(), 3u);
  EXPECT_EQ(boxes.boxes[2].prompt, "The picture size cannot be changed for Shaped buttons");
  EXPECT_FALSE(marked(takeChanged(d), "ImgSize"));

  // Any accepted shape centres the caption, without reporting the alignment.
  d.setButtonShape(0);
  d.setCaptionAlign(0);
  takeChanged(d);
  d.setButtonShape(0);
  EXPECT_EQ(d.CaptionAlign(), 2);
  auto keys2 = takeChanged(d);
  EXPECT_TRUE(marked(keys2, "Shape"));
  EXPECT_FALSE(marked(keys2, "CapAlign"));
}

TEST_F(ButtonModel, AnIconOrNoPictureTurnsACustomShapeBackIntoARectangle) {
  MessageRecorder boxes;
  d.setPicture(bitmapPicture(16, 16));
  d.setButtonShape(8);
  ASSERT_EQ(d.ButtonShape(), 8);
  d.setPicture(iconPicture(32));
  EXPECT_EQ(d.ButtonShape(), 0);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].prompt,
            "Icons cannot be used for custom buttons. Only use bitmaps or JPEGs.\r\n"
            "Button was changed to Rectangular shaped.");
  d.setPicture(bitmapPicture(16, 16));
  d.setButtonShape(7);
  ASSERT_EQ(d.ButtonShape(), 7);
  d.setPicture(nullptr);
  EXPECT_EQ(d.ButtonShape(), 0);
  EXPECT_EQ(d.Picture(), nullptr);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_TRUE(marked(takeChanged(d), "Image"));
}

TEST_F(ButtonModel, PictureIsKeptByReferenceAndMeasured) {
  ztButtonsInspector in(d);
  PictureRef bmp = bitmapPicture(5, 7);
  d.setPicture(bmp);
  EXPECT_EQ(d.Picture(), bmp);
  EXPECT_EQ(in.PictureIsIcon(), 0);
  EXPECT_EQ(in.PictureWidth(), 5);
  EXPECT_EQ(in.PictureHeight(), 7);
  EXPECT_EQ(in.PictureSizePixels(), 16);  // set by the first picture
  d.setPicture(iconPicture(32));
  EXPECT_EQ(in.PictureIsIcon(), 1);
  EXPECT_EQ(in.PictureWidth(), 32);
  EXPECT_EQ(in.PictureHeight(), 32);
  d.setPicture(iconPicture(24, StdPicture::Kind::Cursor));
  EXPECT_EQ(in.PictureIsIcon(), 1);
  EXPECT_EQ(in.PictureWidth(), 24);
  d.setPicture(nullptr);
  EXPECT_EQ(in.PictureWidth(), 0);
  EXPECT_EQ(in.PictureHeight(), 0);
}

TEST_F(ButtonModel, RemovingThePictureDeletesTheScaledCopy) {
  ztButtonsInspector in(d);
  d.setPicture(bitmapPicture(4, 4));
  if (!in.ScaledPicture()) in.ScaledPicture() = CreateBitmap(4, 4, 1, 1, nullptr);
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  d.setPicture(nullptr);
  EXPECT_EQ(in.ScaledPicture(), nullptr);
  // The scaled copy and the picture itself, whose last holder was the button.
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before - 2);
}

TEST_F(ButtonModel, ValueOnACommandButtonIsRefusedButFalseIsStored) {
  MessageRecorder boxes;
  d.setValue(-1);
  EXPECT_EQ(d.Value(), 0);
  EXPECT_FALSE(marked(takeChanged(d), "Value"));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].prompt, "This property is not applicable for command button modes.");
  d.setValue(0);
  EXPECT_TRUE(marked(takeChanged(d), "Value"));
  r.setValue(-1);
  EXPECT_EQ(r.Value(), 0);
  EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(ButtonModel, LeavingCheckModeClearsTheValue) {
  d.setMode(1);
  d.setValue(-1);
  ASSERT_EQ(d.Value(), -1);
  d.setMode(2);
  EXPECT_EQ(d.Value(), -1);  // check to option keeps it
  d.setMode(0);
  EXPECT_EQ(d.Value(), 0);
  EXPECT_EQ(d.Mode(), 0);
}

TEST_F(ButtonModel, CustomClickWarnsAtDesignTimeOnOrdinaryShapesButStores) {
  MessageRecorder boxes;
  d.setCustomClick(3);
  EXPECT_EQ(d.CustomClick(), 3);
  EXPECT_TRUE(marked(takeChanged(d), "CustomClick"));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].prompt, "This property has no effect unless the Button Shape is a custom shape.");
  d.setCustomClick(0);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  d.setPicture(bitmapPicture(8, 8));
  d.setButtonShape(8);
  d.setCustomClick(4);
  EXPECT_EQ(boxes.boxes.size(), 1u);
  r.setCustomClick(5);
  EXPECT_EQ(r.CustomClick(), 5);
  EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(ButtonModel, MousePointerOutsideSixteenBitsIsAnOverflowBeforeAnyChange) {
  r.setMousePointer(2);
  takeChanged(r);
  try {
    r.setMousePointer(40000);
    FAIL() << "no overflow";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number, ErrOverflow);
  }
  EXPECT_THROW(r.setMousePointer(-32769), RuntimeError);
  EXPECT_EQ(r.MousePointer(), 2);
  EXPECT_TRUE(takeChanged(r).empty());
  r.setMousePointer(-32768);
  EXPECT_EQ(r.MousePointer(), -32768);
}

TEST_F(ButtonModel, MouseIconTakesIconsAndCursorsAndRefusesBitmapsWithAMessage) {
  MessageRecorder boxes;
  d.setMouseIcon(bitmapPicture(16, 16));
  EXPECT_EQ(d.MouseIcon(), nullptr);
  EXPECT_EQ(d.MousePointer(), 0);
  EXPECT_TRUE(takeChanged(d).empty());
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].title, "Select .ico Or .cur Files Only");
  EXPECT_EQ(boxes.boxes[0].buttons, vbInformation);
  EXPECT_FALSE(boxes.boxes[0].prompt.empty());
  PictureRef cursor = iconPicture(32, StdPicture::Kind::Cursor);
  d.setMouseIcon(cursor);
  EXPECT_EQ(d.MouseIcon(), cursor);
  EXPECT_EQ(d.MousePointer(), 99);
  auto keys = takeChanged(d);
  EXPECT_TRUE(marked(keys, "mIcon"));
  EXPECT_TRUE(marked(keys, "mPointer"));
  // Removing the icon leaves the pointer code.
  d.setMouseIcon(nullptr);
  EXPECT_EQ(d.MouseIcon(), nullptr);
  EXPECT_EQ(d.MousePointer(), 99);
  EXPECT_FALSE(marked(takeChanged(d), "mIcon"));
  r.setMouseIcon(bitmapPicture(4, 4));
  EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(ButtonModel, ShowFocusRectDropsTheDefaultFrameAtRunTimeAndWarnsAtDesignTime) {
  MessageRecorder boxes;
  ztButtonsInspector rin(r), din(d);
  rin.StateFlags() = ztButtons_H::DefaultFrame;
  r.setShowFocusRect(-1);
  EXPECT_EQ(rin.StateFlags() & ztButtons_H::DefaultFrame, 0);
  EXPECT_TRUE(boxes.boxes.empty());
  din.StateFlags() = ztButtons_H::DefaultFrame;
  d.setShowFocusRect(0);
  EXPECT_EQ(d.ShowFocusRect(), 0);
  EXPECT_EQ(din.StateFlags() & ztButtons_H::DefaultFrame, ztButtons_H::DefaultFrame);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].prompt,
            "The focus rectangle may appear on default buttons ONLY while in design mode, \r\n"
            "but will not appear when the form is running.");
  EXPECT_TRUE(marked(takeChanged(d), "Focus"));
}

TEST_F(ButtonModel, ShowSetsTheDefaultFrameOnlyAtDesignTime) {
  ztButtonsInspector din(d), rin(r);
  d.UserControl_Show();
  EXPECT_EQ(din.StateFlags(), 0);  // not the default button
  d.setDefault(true);
  r.setDefault(true);
  ASSERT_TRUE(d.Ambient.DisplayAsDefault());
  // Only the show step is under test here, not the ambient rule that may have run meanwhile.
  din.StateFlags() = 0;
  rin.StateFlags() = 0;
  d.UserControl_Show();
  EXPECT_EQ(din.StateFlags(), ztButtons_H::DefaultFrame);
  r.UserControl_Show();
  EXPECT_EQ(rin.StateFlags(), 0);
  din.StateFlags() = 0;
  ztButtonsInspector(d).stored().ShowFocusRect = 0;
  d.UserControl_Show();
  EXPECT_EQ(din.StateFlags(), 0);
}

TEST_F(ButtonModel, HoverColoursFollowTheirLocksUntilReleased) {
  d.setBackColor(0x000000FF);
  EXPECT_EQ(d.HoverBackColor(), 0x000000FFu);
  EXPECT_EQ(d.HoverColorLocks(), 0);
  d.setHoverBackColor(0x0000FF00);
  EXPECT_EQ(d.HoverColorLocks(), 1);
  EXPECT_EQ(ztButtonsInspector(d).HoverFaceColor(), 0x0000FF00);
  d.setHoverForeColor(0x00123456);
  EXPECT_EQ(d.HoverColorLocks(), 3);
  auto keys = takeChanged(d);
  EXPECT_TRUE(marked(keys, "cBHover"));
  EXPECT_TRUE(marked(keys, "cFHover"));
  // Unlocked, the normal colours no longer drag the hover colours.
  d.setBackColor(0x00FF0000);
  d.setForeColor(0x00000080);
  EXPECT_EQ(d.HoverBackColor(), 0x0000FF00u);
  EXPECT_EQ(d.HoverForeColor(), 0x00123456u);
  // Locking again copies the normal colours over.
  d.setHoverColorLocks(0);
  EXPECT_EQ(d.HoverBackColor(), 0x00FF0000u);
  EXPECT_EQ(d.HoverForeColor(), 0x00000080u);
  EXPECT_EQ(ztButtonsInspector(d).HoverFaceColor(), 0x00FF0000);
  auto keys2 = takeChanged(d);
  EXPECT_TRUE(marked(keys2, "LockHover"));
  EXPECT_TRUE(marked(keys2, "cBHover"));
  EXPECT_TRUE(marked(keys2, "cFHover"));
  // The fore lock follows ForeColor.
  d.setForeColor(0x00445566);
  EXPECT_EQ(d.HoverForeColor(), 0x00445566u);
  EXPECT_EQ(d.HoverColorLocks(), 0);
}

TEST_F(ButtonModel, ReleasingOneLockFromTheOtherAlreadyReleasedGivesLockNone) {
  d.setHoverColorLocks(2);  // back lock only
  d.setHoverBackColor(0x00010203);
  EXPECT_EQ(d.HoverColorLocks(), 3);
  d.setHoverColorLocks(1);  // fore lock only
  d.setHoverForeColor(0x00010203);
  EXPECT_EQ(d.HoverColorLocks(), 3);
  // A hover colour equal to the normal colour keeps the lock.
  d.setHoverColorLocks(0);
  d.setHoverForeColor(0x00ABCDEF);
  d.setHoverForeColor(d.ForeColor());
  EXPECT_EQ(d.HoverColorLocks(), 2);
  // Values beyond 0..3 are stored and lock nothing.
  d.setHoverColorLocks(7);
  EXPECT_EQ(d.HoverColorLocks(), 7);
  d.setBackColor(0x00336699);
  EXPECT_NE(d.HoverBackColor(), 0x00336699u);
  d.setHoverBackColor(0x00000001);
  EXPECT_EQ(d.HoverColorLocks(), 7);
}

TEST_F(ButtonModel, WithAGradientTheLockedHoverBackColourIsTheGradientColour) {
  d.setBackColor(0x00202020);
  d.setGradientMode(3);
  EXPECT_EQ(d.HoverBackColor(), 0u);  // the gradient colour of a new button, black
  d.setGradientColor(0x00808000);
  EXPECT_EQ(d.HoverBackColor(), 0x00808000u);
  EXPECT_EQ(d.GradientColor(), 0x00808000u);
  EXPECT_EQ(d.HoverColorLocks(), 0);
  d.setBackColor(0x00303030);
  EXPECT_EQ(d.HoverBackColor(), 0x00808000u);
  d.setGradientMode(0);
  EXPECT_EQ(d.HoverBackColor(), 0x00303030u);
  // Without the back lock a gradient changes nothing of the hover colour.
  d.setHoverColorLocks(1);
  d.setGradientMode(1);
  d.setGradientColor(0x00112233);
  EXPECT_EQ(d.HoverBackColor(), 0x00303030u);
  EXPECT_TRUE(marked(takeChanged(d), "cGradient"));
}

TEST_F(ButtonModel, ForeColorSetToItsCurrentValueDoesNothingAtAll) {
  ztButtonsInspector in(d);
  d.setForeColor(0x00000080);
  takeChanged(d);
  d.DelayDrawing(-1);
  d.setForeColor(0x00000080);
  EXPECT_EQ(in.DrawingDelayed(), -1);
  EXPECT_TRUE(takeChanged(d).empty());
  // A real change clears the delay before it redraws.
  d.setForeColor(0x00000081);
  EXPECT_EQ(in.DrawingDelayed(), 0);
  EXPECT_TRUE(marked(takeChanged(d), "cFore"));
}

TEST_F(ButtonModel, DelayDrawingAndRefreshDriveTheDelayFlag) {
  ztButtonsInspector in(r);
  r.DelayDrawing(-1);
  EXPECT_EQ(in.DrawingDelayed(), -1);
  r.setButtonStyle(2);
  r.setCaption("x");
  EXPECT_EQ(in.DrawingDelayed(), -1);
  r.Refresh();
  EXPECT_EQ(in.DrawingDelayed(), 0);
  r.DelayDrawing(1);
  EXPECT_EQ(in.DrawingDelayed(), -1);
  r.DelayDrawing(0);
  EXPECT_EQ(in.DrawingDelayed(), 0);
}

TEST_F(ButtonModel, ResetDefaultColorsActsOnlyAtDesignTime) {
  for (ztButtons_H* b : {&d, &r}) {
    b->setBackColor(0x00112233);
    b->setForeColor(0x00445566);
    b->setGradientColor(0x00778899);
    b->setGradientMode(2);
    b->setHoverColorLocks(3);
    b->setHoverBackColor(0x00ABCDEF);
    b->setHoverForeColor(0x00FEDCBA);
    takeChanged(*b);
    b->setResetDefaultColors(-1);
    EXPECT_EQ(b->ResetDefaultColors(), 0);
  }
  EXPECT_EQ(r.BackColor(), 0x00112233u);
  EXPECT_EQ(r.GradientMode(), 2);
  EXPECT_TRUE(takeChanged(r).empty());

  EXPECT_EQ(d.BackColor(), kButtonFace);
  EXPECT_EQ(d.ForeColor(), kButtonText);
  EXPECT_EQ(d.GradientColor(), kButtonFace);
  EXPECT_EQ(d.GradientMode(), 0);
  EXPECT_EQ(d.HoverColorLocks(), 0);
  EXPECT_EQ(d.HoverBackColor(), kButtonFace);
  EXPECT_EQ(d.HoverForeColor(), kButtonText);
  EXPECT_EQ(ztButtonsInspector(d).FaceColor(), 0xC0C0C0);
  EXPECT_EQ(ztButtonsInspector(d).DrawingDelayed(), 0);
  auto keys = takeChanged(d);
  EXPECT_TRUE(marked(keys, "cGradient"));
  EXPECT_TRUE(marked(keys, "cBack"));
  // False does nothing even at design time.
  d.setBackColor(0x00010101);
  d.setResetDefaultColors(0);
  EXPECT_EQ(d.BackColor(), 0x00010101u);
}

TEST_F(ButtonModel, FaceColoursFollowTheStyle) {
  ztButtonsInspector in(d);
  struct Row {
    int style;
    int32_t face, pressed, hover, checked;
  };
  const Row rows[] = {
      {0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xE0E0DF}, {1, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xE0E0DF},
      {2, 0xF1F1F0, 0xCAD2D0, 0xF1F1F0, 0xD6E0DF}, {3, 0xC0C0C0, 0x8D8D8C, 0xC0C0C0, 0xADADAB},
      {4, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xE0E0DF}, {5, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xE0E0DF},
      {6, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xE0E0DF}, {7, 0xE0E0DF, 0x717170, 0xE0E0DF, 0x8B9190},
  };
  for (const Row& row : rows) {
    d.setButtonStyle(row.style);
    EXPECT_EQ(in.FaceColor(), row.face) << row.style;
    EXPECT_EQ(in.PressedFaceColor(), row.pressed) << row.style;
    EXPECT_EQ(in.HoverFaceColor(), row.hover) << row.style;
    EXPECT_EQ(in.CheckedFaceColor(), row.checked) << row.style;
  }
  // The hover face comes from the hover back colour, shaded like the face.
  d.setHoverColorLocks(3);
  d.setHoverBackColor(0x00FF8040);
  EXPECT_EQ(in.HoverFaceColor(), 0xFFA05F);  // style 7: lightened by 31
  d.setButtonStyle(2);
  EXPECT_EQ(in.HoverFaceColor(), 0xFFB170);
  d.setButtonStyle(0);
  EXPECT_EQ(in.HoverFaceColor(), 0xFF8040);
}

TEST_F(ButtonModel, PrepareFontAndColorsIgnoresCaseAndUnknownWords) {
  ztButtonsInspector in(d);
  in.stored().BackColor = 0x00102030;
  in.PrepareFontAndColors("nothing");
  EXPECT_EQ(in.FaceColor(), 0xC0C0C0);
  in.PrepareFontAndColors("bAcKcOlOr");
  EXPECT_EQ(in.FaceColor(), 0x102030);
}

TEST(ButtonFont, WithoutABufferNoFontIsMade) {
  ButtonWindow w(false);  // never loaded: no window, no buffer
  ztButtonsInspector in(w.Button1);
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  in.PrepareFontAndColors("Font");
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
  EXPECT_EQ(in.OldFont(), nullptr);
}

TEST_F(ButtonModel, TheFontIsBuiltFromTheHostFontAndReplacedWithoutLeaks) {
  ztButtonsInspector in(r);
  HDC dc = in.BufferDC();
  ASSERT_NE(dc, nullptr);  // the first resize made the buffer
  HFONT original = in.OldFont();
  ASSERT_NE(original, nullptr);
  FontRef f = r.Font();
  f->Name = "MS Sans Serif";
  f->Size = Currency::fromDouble(8.25);
  f->Weight = 700;
  f->Italic = true;
  f->Strikethrough = true;
  const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  in.PrepareFontAndColors("FONT");
  EXPECT_EQ(in.OldFont(), original);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);  // made one, deleted one
  LOGFONTA lf;
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWidth, 0);
  EXPECT_EQ(lf.lfEscapement, 0);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 0);
  EXPECT_EQ(lf.lfStrikeOut, 1);
  EXPECT_EQ(lf.lfCharSet, 1);
  EXPECT_EQ(lf.lfQuality, 0);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");

  struct Case {
    double points;
    LONG height;
  };
  // Halves go to the even neighbour: 9.375 pt is 12.5 px, 10.125 pt is 13.5 px.
  for (Case c : {Case{9.375, -12}, Case{10.125, -14}, Case{9.45, -13}, Case{12, -16}, Case{0.3, 0}}) {
    f->Size = Currency::fromDouble(c.points);
    in.PrepareFontAndColors("Font");
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, c.height) << c.points;
    EXPECT_EQ(in.OldFont(), original);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
  }
  // A face name too long for the field keeps 31 characters and its terminator.
  f->Name = std::string(40, 'x');
  in.PrepareFontAndColors("Font");
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'x'));
}

TEST_F(ButtonModel, AmbientBackColourIsTranslatedAndKept) {
  ztButtonsInspector in(r);
  run.setBackColor(0x00336699);
  r.UserControl_AmbientChanged("backcolor");
  EXPECT_EQ(in.ParentBackColor(), 0x336699);
  run.setBackColor(0x80000010);
  r.UserControl_AmbientChanged("BACKCOLOR");
  EXPECT_EQ(in.ParentBackColor(), 0x808080);
  // Other names leave it alone.
  in.ParentBackColor() = 5;
  r.UserControl_AmbientChanged("ForeColor");
  r.UserControl_AmbientChanged("BackColour");
  EXPECT_EQ(in.ParentBackColor(), 5);
}
