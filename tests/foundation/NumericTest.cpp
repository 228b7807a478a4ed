#include <gtest/gtest.h>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"

using namespace qv;

TEST(Round, HalvesGoToEvenNeighbour) {
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(1.5), 2);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(-1.5), -2);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(2.4999), 2);
  EXPECT_EQ(Round(2.5001), 3);
  EXPECT_EQ(Round(4.5), 4);  // 15 * 0.3 as a score factor
}

TEST(Round, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(Round(1e12), 2147483647);
  EXPECT_EQ(Round(-1e12), -2147483647 - 1);
  EXPECT_EQ(Round(0.0 / 0.0), 0);
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
}

TEST(Div, TruncatesTowardZeroAndSurvivesZero) {
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_EQ(Div(7, 0), 0);
  EXPECT_EQ(Div(-2147483647 - 1, -1), -2147483647 - 1);
}

TEST(TryParseFloat, AcceptsOnlyPointDecimals) {
  double v = -1;
  EXPECT_TRUE(TryParseFloat("1.5", v));
  EXPECT_DOUBLE_EQ(v, 1.5);
  EXPECT_TRUE(TryParseFloat("-.25", v));
  EXPECT_DOUBLE_EQ(v, -0.25);
  EXPECT_TRUE(TryParseFloat("+3.", v));
  EXPECT_DOUBLE_EQ(v, 3.0);
  EXPECT_TRUE(TryParseFloat("1e3", v));
  EXPECT_DOUBLE_EQ(v, 1000.0);
  EXPECT_TRUE(TryParseFloat("2.5E-2", v));
  EXPECT_DOUBLE_EQ(v, 0.025);
  for (const char* bad : {"1,5", "", " 1", "1 ", "e5", "1e", ".", "-", "inf", "nan", "0x10", "1.2.3"}) {
    EXPECT_FALSE(TryParseFloat(bad, v)) << bad;
  }
}

TEST(FloatToStr, ShortestStoredForm) {
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToStr(2.0), "2");
  EXPECT_EQ(FloatToStr(-0.3), "-0.3");
  EXPECT_EQ(FloatToStr(0.0), "0");
  EXPECT_EQ(FloatToStr(1e-7), "1E-7");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  double back = 0;
  ASSERT_TRUE(TryParseFloat(FloatToStr(0.1 + 0.2), back));
  EXPECT_NEAR(back, 0.3, 1e-14);
}

TEST(StrToInt, StrictWithDelphiMessage) {
  EXPECT_EQ(StrToInt("  42"), 42);
  EXPECT_EQ(StrToInt("-17"), -17);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  for (const char* bad : {"", "12a", "2147483648", "1.0", "$", "0x", "42 "}) {
    EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
  }
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(StrToFloat, TrimsBlanksAndRefusesWhatIsNoFiniteNumber) {
  EXPECT_DOUBLE_EQ(StrToFloat(" 2.5 "), 2.5);
  double v = 7;
  EXPECT_FALSE(TryStrToFloat("1e400", v));  // would read as infinity
  EXPECT_FALSE(TryStrToFloat("1,5", v));
  EXPECT_DOUBLE_EQ(v, 7);
  try {
    StrToFloat("x1");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid floating point value");
  }
}
