#include <gtest/gtest.h>

#include "framework/PropertyBag.h"
#include "framework/RuntimeError.h"

namespace {

TEST(PropertyBag, ValueEqualToItsDefaultIsNotStoredAndAnEarlierEntryGoes) {
  PropertyBag bag;
  bag.WriteProperty("CapAlign", PropertyValue(int32_t{2}), PropertyValue(int32_t{2}));
  EXPECT_FALSE(bag.contains("capalign"));
  bag.WriteProperty("CapAlign", PropertyValue(int32_t{0}), PropertyValue(int32_t{2}));
  ASSERT_TRUE(bag.contains("capalign"));
  EXPECT_EQ(bag.ReadProperty("CapAlign", PropertyValue(int32_t{2})).toLong(), 0);
  bag.WriteProperty("CapAlign", PropertyValue(int32_t{2}), PropertyValue(int32_t{2}));
  EXPECT_FALSE(bag.contains("CapAlign"));
  EXPECT_EQ(bag.ReadProperty("CapAlign", PropertyValue(int32_t{2})).toLong(), 2);
}

TEST(PropertyBag, WithoutDefaultTheValueIsAlwaysStored) {
  PropertyBag bag;
  bag.WriteProperty("Mode", PropertyValue(int32_t{0}));
  bag.WriteProperty("Value", PropertyValue(VbBoolean(false)));
  EXPECT_TRUE(bag.contains("mode"));
  EXPECT_TRUE(bag.contains("value"));
  EXPECT_EQ(bag.ReadProperty("Value").kind(), ValueKind::Boolean);
}

TEST(PropertyBag, KeysIgnoreCaseAndAreKeptInLowerCase) {
  PropertyBag bag;
  bag.WriteProperty("cBhover", PropertyValue(int32_t{0xFF}), PropertyValue(int32_t{0}));
  ASSERT_EQ(bag.size(), 1u);
  EXPECT_EQ(bag.entries()[0].first, "cbhover");
  EXPECT_EQ(bag.ReadProperty("cBHover", PropertyValue(int32_t{7})).toLong(), 0xFF);
  bag.WriteProperty("CBHOVER", PropertyValue(int32_t{0x10}));
  EXPECT_EQ(bag.size(), 1u);
  EXPECT_EQ(bag.ReadProperty("cbhover").toLong(), 0x10);
}

TEST(PropertyBag, AbsentKeyReadsDefaultOrEmpty) {
  PropertyBag bag;
  EXPECT_TRUE(bag.ReadProperty("Caption").isEmpty());
  EXPECT_EQ(bag.ReadProperty("Caption").toText(), "");
  EXPECT_EQ(bag.ReadProperty("Caption").toLong(), 0);
  EXPECT_EQ(bag.ReadProperty("ImgSize", PropertyValue(int16_t{16})).toInteger(), 16);
}

TEST(PropertyBag, NumbersCompareAcrossWidthsForTheDefaultRule) {
  PropertyBag bag;
  // A 32-bit 16 against a 16-bit default 16: equal, so absent.
  bag.WriteProperty("ImgSize", PropertyValue(int32_t{16}), PropertyValue(int16_t{16}));
  EXPECT_FALSE(bag.contains("imgsize"));
  bag.WriteProperty("ImgSize", PropertyValue(int16_t{48}), PropertyValue(int16_t{16}));
  EXPECT_EQ(bag.ReadProperty("imgsize").kind(), ValueKind::Integer);
  // Booleans are 16-bit numbers: True equals -1.
  bag.WriteProperty("Focus", PropertyValue(VbBoolean(true)), PropertyValue(int16_t{-1}));
  EXPECT_FALSE(bag.contains("focus"));
  // Colours above 0x7FFFFFFF keep their bits.
  bag.WriteProperty("cBack", PropertyValue(uint32_t{0x8000000F}));
  EXPECT_EQ(static_cast<uint32_t>(bag.ReadProperty("cback").toLong()), 0x8000000Fu);
}

TEST(PropertyBag, ObjectsCompareByIdentityAndNothingIsNotWritten) {
  PropertyBag bag;
  FontRef font = NewFont();
  bag.WriteProperty("Font", PropertyValue(font), PropertyValue::nothing());
  EXPECT_EQ(bag.ReadProperty("Font").toFont(), font);
  bag.WriteProperty("Image", PropertyValue(PictureRef()), PropertyValue::nothing());
  EXPECT_FALSE(bag.contains("image"));
  EXPECT_EQ(bag.ReadProperty("Image", PropertyValue::nothing()).toPicture(), nullptr);
  // Two equal-looking fonts are still two objects.
  bag.WriteProperty("Font", PropertyValue(font->clone()), PropertyValue(font));
  EXPECT_TRUE(bag.contains("font"));
}

TEST(PropertyBag, WrongKindIsTypeMismatchAndTooBigIsOverflow) {
  PropertyBag bag;
  bag.WriteProperty("Caption", PropertyValue("&Ok"));
  bag.WriteProperty("Font", PropertyValue(NewFont()));
  bag.WriteProperty("Big", PropertyValue(int32_t{70000}));
  try {
    bag.ReadProperty("Caption").toLong();
    FAIL() << "text that is not a number converted";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number, 13);
  }
  EXPECT_THROW(bag.ReadProperty("Font").toText(), RuntimeError);
  EXPECT_THROW(bag.ReadProperty("Caption").toFont(), RuntimeError);
  try {
    bag.ReadProperty("Big").toInteger();
    FAIL() << "70000 fitted in 16 bits";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number, 6);
  }
  // Numeric text converts, as the language does it.
  bag.WriteProperty("N", PropertyValue(" 42 "));
  EXPECT_EQ(bag.ReadProperty("N").toInteger(), 42);
  EXPECT_EQ(PropertyValue("2.5").toLong(), 2);  // halves go to even
  EXPECT_EQ(PropertyValue("3.5").toLong(), 4);
  EXPECT_EQ(PropertyValue(VbBoolean(true)).toText(), "True");
}

}  // namespace
