#include <gtest/gtest.h>

#include "FakeGraphic.h"
#include "ui/QelFontEngine.h"

namespace qv {
namespace {

TEST(Font, Placeholder) {
  TQelFontEngine fonts;
  EXPECT_EQ(fonts.CharsRects.size(), 3000u);
}

}  // namespace
}  // namespace qv
