#include <gtest/gtest.h>

#include "framework/FormDescription.h"
#include "framework/PropertyBag.h"

namespace {

const char kSample[] =
    "' the result window\n"
    "Begin Form frmFine\n"
    "   Caption = \"Corvane\"\n"
    "   ClientWidth = 4680\n"
    "   BackColor = &H8000000F&\n"
    "   Begin TextBox Text1\n"
    "      Text = \"Text1\"\n"
    "      TabIndex = 0\n"
    "   End\n"
    "   Begin Corvane.ztButtons_H ztButtons_H1\n"
    "      _ExtentX = 1614\n"
    "      Caption = \"&Ok\" ' access key O\n"
    "      ImgSize = 48%\n"
    "      Value = False\n"
    "      BeginProperty Font\n"
    "         Name = \"MS Sans Serif\"\n"
    "         Size = 8.25\n"
    "         Weight = 400\n"
    "      EndProperty\n"
    "   End\n"
    "End\n";

TEST(FormDescription, ReadsBlocksValuesAndKinds) {
  DescriptionBlock root = ParseFormDescription(kSample);
  EXPECT_EQ(root.kind, "Form");
  EXPECT_EQ(root.name, "frmFine");
  EXPECT_EQ(root.find("caption")->toText(), "Corvane");
  EXPECT_EQ(static_cast<uint32_t>(root.find("BackColor")->toLong()), 0x8000000Fu);
  ASSERT_EQ(root.children.size(), 2u);
  const DescriptionBlock& button = root.children[1];
  EXPECT_EQ(button.kind, "Corvane.ztButtons_H");
  EXPECT_EQ(button.line, 10);
  EXPECT_EQ(button.find("caption")->toText(), "&Ok");
  EXPECT_EQ(button.find("imgsize")->kind(), ValueKind::Integer);
  EXPECT_EQ(button.find("_extentx")->kind(), ValueKind::Long);
  EXPECT_EQ(button.find("value")->kind(), ValueKind::Boolean);
  FontRef font = button.find("font")->toFont();
  ASSERT_TRUE(font);
  EXPECT_EQ(font->Name, "MS Sans Serif");
  EXPECT_EQ(font->Size.scaled, 82500);
  EXPECT_EQ(font->logicalHeight(), -11);
}

TEST(FormDescription, WrittenDescriptionReadsBackTheSameStore) {
  PropertyBag bag;
  FontRef font = NewFont();
  font->Name = "Tahoma";
  font->Size = Currency{97500};
  font->Underline = true;
  font->setBold(true);
  bag.WriteProperty("Caption", PropertyValue("Line \"one\"\r\nline two\tend\x01"), PropertyValue(""));
  bag.WriteProperty("CapAlign", PropertyValue(int32_t{2}), PropertyValue(int32_t{2}));  // default
  bag.WriteProperty("BackStyle", PropertyValue(int32_t{2}), PropertyValue(int32_t{0}));
  bag.WriteProperty("Font", PropertyValue(font), PropertyValue::nothing());
  bag.WriteProperty("cBack", PropertyValue(uint32_t{0x8000000F}));
  bag.WriteProperty("ImgSize", PropertyValue(int16_t{48}), PropertyValue(int16_t{16}));
  bag.WriteProperty("Value", PropertyValue(VbBoolean(false)));
  bag.WriteProperty("Path", PropertyValue("C:\\dir\\file.txt"));

  DescriptionBlock control{"ztButtons_H", "ztButtons_H1", 0, {}, {}};
  for (const auto& [k, v] : bag.entries()) control.set(k, v);
  DescriptionBlock root{"Form", "frmTest", 0, {{"Caption", PropertyValue("x"), 0}}, {control}};
  std::string text = WriteFormDescription(root);

  DescriptionBlock back = ParseFormDescription(text);
  ASSERT_EQ(back.children.size(), 1u);
  const DescriptionBlock& c = back.children[0];
  ASSERT_EQ(c.properties.size(), bag.size());
  for (size_t i = 0; i < c.properties.size(); ++i) {
    const auto& [key, value] = bag.entries()[i];
    EXPECT_EQ(c.properties[i].key, key);  // lower case, as stored
    EXPECT_EQ(c.properties[i].value.kind(), value.kind()) << key;
  }
  EXPECT_EQ(c.find("caption")->toText(), "Line \"one\"\r\nline two\tend\x01");
  EXPECT_EQ(c.find("path")->toText(), "C:\\dir\\file.txt");
  EXPECT_EQ(c.find("capalign"), nullptr);
  EXPECT_EQ(c.find("imgsize")->toInteger(), 48);
  EXPECT_EQ(static_cast<uint32_t>(c.find("cback")->toLong()), 0x8000000Fu);
  FontRef f = c.find("font")->toFont();
  EXPECT_TRUE(f->sameAs(*font));
  // Writing what was read gives the same text again.
  EXPECT_EQ(WriteFormDescription(back), text);
}

// The writer spells a leading control character by name, so a text may begin without a quote.
TEST(FormDescription, TextsBeginningWithAControlCharacterReadBack) {
  FontRef font = NewFont();
  font->Name = std::string("\tTab", 4);
  DescriptionBlock root{"Form", "f", 0,
                        {{"Caption", PropertyValue(std::string("\0x\r\n", 4)), 0},
                         {"Tag", PropertyValue(std::string("\n")), 0},
                         {"Font", PropertyValue(font), 0}},
                        {}};
  std::string text = WriteFormDescription(root);
  DescriptionBlock back = ParseFormDescription(text);
  EXPECT_EQ(back.find("caption")->toText(), std::string("\0x\r\n", 4));
  EXPECT_EQ(back.find("tag")->toText(), "\n");
  EXPECT_EQ(back.find("font")->toFont()->Name, "\tTab");
  EXPECT_EQ(WriteFormDescription(back), text);
}

void expectFaultOnLine(const std::string& text, int line) {
  try {
    ParseFormDescription(text);
    ADD_FAILURE() << "accepted: " << text;
  } catch (const FormDescriptionError& e) {
    EXPECT_EQ(e.Line, line) << e.Description;
    EXPECT_NE(e.Description.find("line " + std::to_string(line)), std::string::npos);
  }
}

TEST(FormDescription, FaultsNameTheirLine) {
  expectFaultOnLine("Begin Form f\n  Caption = \"open\n", 2);        // unclosed quote
  expectFaultOnLine("Begin Form f\n  Caption \"x\"\nEnd\n", 2);        // missing =
  expectFaultOnLine("Begin Form f\n  Width = 99999999999\nEnd\n", 2);  // out of range
  expectFaultOnLine("Begin Form f\n  X = 1\n  X = 2\nEnd\n", 3);       // duplicate
  expectFaultOnLine("Begin Form f\n  Begin Label l\n  End\n", 3);      // missing End of the form
  expectFaultOnLine("Begin Form f\nEnd\nBegin Form g\nEnd\n", 3);      // a second window
  expectFaultOnLine("\n\nCaption = 1\n", 3);                          // no Begin
  expectFaultOnLine("Begin Form f\n BeginProperty Font\n  Size = 0\n EndProperty\nEnd\n", 3);
  expectFaultOnLine("Begin Form f\n BeginProperty Font\n  Colour = 1\n EndProperty\nEnd\n", 3);
  expectFaultOnLine("Begin Form f\n BeginProperty P StdPicture\n  Data = \"!!!!\"\n EndProperty\nEnd\n", 2);
  expectFaultOnLine("Begin Form f\n BeginProperty P StdPicture\n  Data = \"AAAA\"\n EndProperty\nEnd\n", 2);
  expectFaultOnLine("Begin Form f\n  T = \"a\" & vbNope\nEnd\n", 2);
  expectFaultOnLine("Begin Form f\n  T = \"a\" & Chr(300)\nEnd\n", 2);
  expectFaultOnLine("", 1);
}

TEST(FormDescription, NestingIsBounded) {
  std::string deep;
  for (int i = 0; i < 200; ++i) deep += "Begin Form f" + std::to_string(i) + "\n";
  expectFaultOnLine(deep, kMaxDescriptionDepth + 1);
  std::string fine;
  for (int i = 0; i < kMaxDescriptionDepth; ++i) fine += "Begin K k" + std::to_string(i) + "\n";
  for (int i = 0; i < kMaxDescriptionDepth; ++i) fine += "End\n";
  EXPECT_NO_THROW(ParseFormDescription(fine));
}

}  // namespace
