// The grid: cell descriptions, rows from cells, the key table, the mouse,
// the link with a slider, and the selected text.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "foundation/QelException.h"
#include "ui/QelGrid.h"
#include "ui/QelSlider.h"

namespace qv {
namespace {

using test::Child;

class GridTest : public ::testing::Test, public test::TWidgetFixture {
 protected:
  void SetUp() override {
    graphic.SetPicture("row.png", 200, 8);
    Load({Child("TQelGrid", "G", {{"Width", "200"}, {"Height", "40"}, {"RowsHeight", "10"},
                                  {"CursorPicture", "row.png"}, {"NotActiveCursorAlpha", "60"},
                                  {"OnMouseDown", "PlaySound Sound=\"grid\";"}}),
          Child("TQelSlider", "S", {{"Left", "300"}, {"Width", "10"}, {"Height", "100"},
                                    {"Orientation", "trVertical"}, {"OnChange", "PlaySound Sound=\"change\";"}})});
    grid = W<TQelGrid>("G");
  }
  void Fill(int rows) {
    grid->SetAddColumns("Width=\"200\" FontName=\"QelUnicode\";");
    std::string cells;
    for (int i = 0; i < rows; ++i) cells += "Text=\"r" + std::to_string(i) + "\";";
    grid->SetAddCells(cells);
  }
  int Sounds(const std::string& name) const {
    int n = 0;
    for (const auto& c : graphic.Of("PlaySound")) n += c.Picture == name;
    return n;
  }
  void Key(uint16_t key) { engine.KeyDown(key, 0); }

  static constexpr uint16_t kPgUp = 33, kPgDn = 34, kEnd = 35, kHome = 36, kUp = 38, kDown = 40;
  TQelGrid* grid = nullptr;
};

TEST_F(GridTest, CellDescriptionsMakeCellsInTheirColumnsStyle) {
  // Cells before columns are only remembered.
  grid->SetAddCells("Text=\"early\";");
  EXPECT_TRUE(grid->Cells().empty());
  grid->SetAddColumns("Width=\"80\" Color=\"$FF\";Width=\"120\" Alignment=\"taRight\" FontName=\"QelUnicode\";");
  ASSERT_EQ(grid->Columns().size(), 2u);
  EXPECT_EQ(grid->GridFont(), fonts.FindFont("QelUnicode"));
  // Five cells on two columns make two rows; a ";" in quotes is text; an
  // empty item is a cell with its column's settings only.
  grid->SetAddCells("Text=\"a;b\";;Text=\"c\" Color=\"5\";Text=\"d\";Text=\"e\";");
  ASSERT_EQ(grid->Cells().size(), 5u);
  EXPECT_EQ(grid->RowCount(), 2);
  EXPECT_EQ(grid->Cells()[0].Text, u"a;b");
  EXPECT_EQ(grid->Cells()[1].Text, u"");
  EXPECT_EQ(grid->Cells()[1].Alignment, taRight);
  EXPECT_EQ(grid->Cells()[0].Color, 0xFFu);
  EXPECT_EQ(grid->Cells()[2].Color, 5u);
  graphic.Calls.clear();
  grid->Draw();
  EXPECT_EQ(graphic.Of("ExtDraw").size(), 3u);  // the empty cell draws no text
  // A sixth cell, added later, completes the third row.
  grid->SetAddCells("Text=\"f\";");
  EXPECT_EQ(grid->RowCount(), 3);
  graphic.Calls.clear();
  grid->Draw();
  EXPECT_EQ(graphic.Of("ExtDraw").size(), 5u);

  // Cells changes only what its items name on existing cells.
  grid->SetCells("Text=\"A\";;Picture=\"p.png\";");
  EXPECT_EQ(grid->Cells()[0].Text, u"A");
  EXPECT_EQ(grid->Cells()[2].Text, u"c");
  EXPECT_EQ(grid->Cells()[2].Picture, "p.png");
  EXPECT_EQ(grid->GetCells(), "Text=\"A\";;Picture=\"p.png\";");

  // A player's text stays one cell whatever quotes it holds.
  grid->SetAddCells(TextCellItem("X\";Text=\"Y") + TextCellItem("g"));
  ASSERT_EQ(grid->Cells().size(), 8u);
  EXPECT_EQ(grid->Cells()[6].Text, u"X\u201D;Text=\u201DY");
}

TEST_F(GridTest, MalformedNumbersChangeNothing) {
  Fill(2);
  EXPECT_THROW(grid->SetAddColumns("Width=\"5\";Width=\"1x\";"), EConvertError);
  EXPECT_EQ(grid->Columns().size(), 1u);
  EXPECT_THROW(grid->SetAddCells("Text=\"ok\";Color=\"zz\";"), EConvertError);
  EXPECT_EQ(grid->Cells().size(), 2u);
  EXPECT_THROW(grid->SetCells("Text=\"new\";TextShiftLeft=\"-\";"), EConvertError);
  EXPECT_EQ(grid->Cells()[0].Text, u"r0");
}

TEST_F(GridTest, KeysScrollByTheTable) {
  Fill(10);
  grid->SetFocused(true);
  ASSERT_EQ(grid->VisibleRows(), 4);
  Key(kPgDn);
  EXPECT_EQ(grid->Position, 3);
  EXPECT_EQ(grid->TopRow(), 3);
  Key(kPgDn);
  EXPECT_EQ(grid->Position, 6);
  EXPECT_EQ(grid->TopRow(), 6);
  // Page Down on the last page goes to the last row.
  Key(kPgDn);
  EXPECT_EQ(grid->Position, 9);
  EXPECT_EQ(grid->TopRow(), 6);
  EXPECT_EQ(grid->GetSelectedText(), "r9");
  Key(kPgUp);
  EXPECT_EQ(grid->TopRow(), 3);
  EXPECT_EQ(grid->Position, 6);
  // Up on the top row scrolls by one.
  Key(kUp);
  Key(kUp);
  Key(kUp);
  EXPECT_EQ(grid->Position, 3);
  EXPECT_EQ(grid->TopRow(), 3);
  Key(kUp);
  EXPECT_EQ(grid->Position, 2);
  EXPECT_EQ(grid->TopRow(), 2);
  Key(kHome);
  EXPECT_EQ(grid->Position, 0);
  Key(kDown);
  EXPECT_EQ(grid->Position, 1);
  Key(kEnd);
  EXPECT_EQ(grid->Position, 9);
  EXPECT_EQ(grid->TopRow(), 6);
  // Every key queues the grid's script.
  EXPECT_EQ(Sounds("grid"), 11);
  // A click on the scrolled list selects the row under the pointer.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, grid->ScreenLeft + 5, grid->ScreenTop + 15);
  EXPECT_EQ(grid->Position, 7);
  EXPECT_EQ(grid->GetSelectedText(), "r7");

  // A position outside the cells selects no text.
  grid->SetPos(50);
  EXPECT_EQ(grid->GetSelectedText(), "");
  SetPropValue(*grid, "Position", "-3");
  EXPECT_EQ(grid->GetSelectedText(), "");
  grid->Clear();
  EXPECT_EQ(grid->GetSelectedText(), "");
}

TEST_F(GridTest, LinkedSliderFollowsAndQueuesTheGridScriptAgain) {
  Fill(10);
  auto* slider = W<TQelSlider>("S");
  slider->SetLinkedObjectName("G");
  EXPECT_EQ(slider->Max, 9);
  EXPECT_EQ(grid->LinkedObjectName, "S");
  // A click on the third row: the grid's script twice, the slider's once.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, grid->ScreenLeft + 5, grid->ScreenTop + 25);
  EXPECT_EQ(grid->Position, 2);
  EXPECT_EQ(slider->Position, 2);
  EXPECT_EQ(Sounds("grid"), 2);
  EXPECT_EQ(Sounds("change"), 1);
  // A key while focused: the same pair again.
  graphic.Calls.clear();
  Key(kDown);
  EXPECT_EQ(slider->Position, 3);
  EXPECT_EQ(Sounds("grid"), 2);
  EXPECT_EQ(Sounds("change"), 1);
  // The wheel scrolls as Down and Up do.
  bool handled = false;
  engine.MouseWheel(0, -120, TPoint{grid->ScreenLeft + 5, grid->ScreenTop + 5}, handled);
  EXPECT_EQ(grid->Position, 4);
  // Moving the slider moves the selection.
  slider->SetPos(7);
  EXPECT_EQ(grid->Position, 7);
  EXPECT_EQ(grid->TopRow(), 4);
  // Clearing puts the slider back without a script.
  engine.ExecuteScripts();
  graphic.Calls.clear();
  grid->Clear();
  engine.ExecuteScripts();
  EXPECT_EQ(slider->Position, 0);
  EXPECT_EQ(Sounds("change"), 0);
}

TEST_F(GridTest, HeaderRowStaysAndTakesNoMouseOver) {
  grid->FixedRow = true;
  grid->DivisorHeight = 2;
  grid->FixedColor = 77;
  grid->RowMouseOverColor = 88;
  grid->SetHeight(42);
  Fill(5);  // a header and four data rows
  EXPECT_EQ(grid->DataRows(), 4);
  EXPECT_EQ(grid->VisibleRows(), 3);
  engine.MouseMove(0, grid->ScreenLeft + 5, grid->ScreenTop + 5);
  EXPECT_EQ(grid->MouseOverRow(), -1);
  engine.MouseMove(0, grid->ScreenLeft + 5, grid->ScreenTop + 15);
  EXPECT_EQ(grid->MouseOverRow(), 1);
  graphic.Calls.clear();
  grid->Draw();
  auto texts = graphic.Of("ExtDraw");
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].Glyphs[0].Color, 77u);
  EXPECT_EQ(texts[0].Glyphs[0].Y, grid->ScreenTop);
  EXPECT_EQ(texts[1].Glyphs[0].Color, 88u);
  EXPECT_EQ(texts[1].Glyphs[0].Y, grid->ScreenTop + 12);
  // Not focused: the cursor is a silhouette at the first data row.
  auto cursor = graphic.Of("DrawColoredAlpha");
  ASSERT_EQ(cursor.size(), 1u);
  EXPECT_EQ(cursor[0].Alpha, 60);
  EXPECT_EQ(cursor[0].Y, grid->ScreenTop + 1 + 2 + 10);

  // Keys and clicks count the nine data rows below the header.
  grid->SetAddCells("Text=\"r5\";Text=\"r6\";Text=\"r7\";Text=\"r8\";Text=\"r9\";");
  grid->SetFocused(true);
  auto at = [&] { return std::make_pair(grid->TopRow(), grid->Position); };
  using TP = std::pair<int32_t, int32_t>;
  Key(kEnd);
  EXPECT_EQ(at(), (TP{6, 8}));
  Key(kDown);  // the last row stays
  EXPECT_EQ(at(), (TP{6, 8}));
  Key(kPgUp);
  EXPECT_EQ(at(), (TP{4, 6}));
  // The last pixel of the first data row on screen, below header and divisor.
  engine.MouseDown(TMouseButton::mbLeft, ssLeft, grid->ScreenLeft + 5, grid->ScreenTop + 21);
  EXPECT_EQ(at(), (TP{4, 4}));
  Key(kPgUp);
  EXPECT_EQ(at(), (TP{0, 0}));
}

}  // namespace
}  // namespace qv
