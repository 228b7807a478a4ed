// The system clipboard without a window system: both directions fail and
// leave the text alone, so the edit widget simply does nothing.
#include <gtest/gtest.h>

#include "platform/Clipboard.h"

namespace qv {
namespace {

TEST(Clipboard, FailsQuietlyWithoutAWindowSystem) {
  EXPECT_FALSE(SetClipboardText("name"));
  std::string text = "kept";
  EXPECT_FALSE(GetClipboardText(text));
  EXPECT_EQ(text, "kept");
}

}  // namespace
}  // namespace qv
