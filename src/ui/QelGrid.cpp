#include "ui/QelGrid.h"

#include <algorithm>
#include <climits>

#include "foundation/QelParser.h"
#include "foundation/StrUtils.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterfaceEngine.h"
#include "ui/QelSlider.h"

namespace qv {

namespace {

constexpr uint16_t kVkPrior = 33;
constexpr uint16_t kVkNext = 34;
constexpr uint16_t kVkEnd = 35;
constexpr uint16_t kVkHome = 36;
constexpr uint16_t kVkUp = 38;
constexpr uint16_t kVkDown = 40;

int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

const TQelClass& TQelGrid::StaticClass() {
  using T = TQelGrid;
  static const TQelClass cls = TQelClass::Make<T>("TQelGrid", &TQelFocusedObject::StaticClass(), [](TPropertyList& p) {
    p.Integer("Position", &T::Position, &T::SetPos);
    p.String("LinkedObjectName", &T::LinkedObjectName, &T::SetLinkedObjectName);
    p.String("CursorPicture", &T::CursorPicture);
    p.Integer("NotActiveCursorAlpha", &T::NotActiveCursorAlpha);
    p.Integer("RowsHeight", &T::RowsHeight);
    p.Integer("BorderWidth", &T::BorderWidth);
    p.Bool("FixedRow", &T::FixedRow, &T::SetFixedRow);
    p.String("FixedFontName", &T::FixedFontName);
    p.Integer("FixedColor", &T::FixedColor);
    p.Integer("DivisorHeight", &T::DivisorHeight);
    p.Integer("RowMouseOverColor", &T::RowMouseOverColor);
    p.String("AddColumns", &T::AddColumns, &T::SetAddColumns);
    p.String("AddCells", &T::AddCells, &T::SetAddCells);
    p.String("Cells", &T::GetCells, &T::SetCells);
  });
  return cls;
}

const TQelClass& TQelGrid::ClassType() const { return StaticClass(); }

void TQelGrid::Assign(const TQelObject& source) { TQelFocusedObject::Assign(source); }

std::string TQelGrid::GetPictureList() const {
  if (Picture.empty()) return CursorPicture;
  if (CursorPicture.empty()) return Picture;
  return Picture + "\r\n" + CursorPicture;
}

int32_t TQelGrid::DataRows() const { return FixedRow ? FRowCount - 1 : FRowCount; }

int32_t TQelGrid::VisibleRows() const {
  if (RowsHeight <= 0) return 0;
  const int64_t inner = int64_t(Height) - 2 * int64_t(BorderWidth) -
                        (FixedRow ? int64_t(RowsHeight) + DivisorHeight : 0);
  const int64_t v = std::min<int64_t>(inner / RowsHeight, DataRows());
  return Clamp32(std::max<int64_t>(v, 0));
}

TQelSlider* TQelGrid::LinkedSlider() const {
  if (FSliderName.empty() || !GetEngine()) return nullptr;
  auto* slider = dynamic_cast<TQelSlider*>(GetEngine()->FindObject(FSliderName));
  return slider && slider->LinkedGrid() == this ? slider : nullptr;
}

void TQelGrid::LinkToSlider(TQelSlider* slider) { FSliderName = slider ? slider->Name() : std::string(); }

void TQelGrid::SetLinkedObjectName(const std::string& value) {
  LinkedObjectName = value;
  if (GetEngine()) {
    if (auto* slider = dynamic_cast<TQelSlider*>(GetEngine()->FindObject(value))) {
      FSliderName = slider->Name();
      slider->LinkToGrid(this);
      slider->Max = DataRows() - 1;
    }
  }
  Invalidate();
}

void TQelGrid::SetFixedRow(bool value) {
  FixedRow = value;
  if (TQelSlider* slider = LinkedSlider()) slider->SetMax(DataRows() - 1);
  if (value && FTopRow < Position) --Position;
}

void TQelGrid::SetPos(int32_t value) {
  if (RowsHeight <= 0) return;
  const int64_t v = VisibleRows();
  if (value < Position) {
    if (FTopRow > 0 && value < FTopRow) FTopRow = value;
    if (FTopRow < Position) Position = value;
  } else {
    if (int64_t(value) >= int64_t(FTopRow) + v) FTopRow = Clamp32(int64_t(value) - v + 1);
    Position = value;
  }
  QueueScript(OnMouseDown, SoundMouseDown);
  Invalidate();
}

void TQelGrid::SetAddColumns(const std::string& value) {
  if (value.empty()) return;
  AddColumns = value;
  TQelXMLTag items;
  ReadCellDescriptions(value, items);
  // Built aside first: a bad number leaves the grid as it was.
  TColumns added;
  std::string fontName;
  bool namedFont = false;
  for (const auto& item : items.Tags) {
    TColumn column;
    column.Width = Width - 2 * BorderWidth;
    ApplyColumnAttributes(*item, column);
    if (item->FindAttribute("FontName")) {
      fontName = column.FontName;
      namedFont = true;
    }
    added.push_back(std::move(column));
  }
  FColumns.insert(FColumns.end(), added.begin(), added.end());
  if (namedFont) {
    FFontName = fontName;
    FFont = nullptr;
    GridFont();
  }
}

TQelFont* TQelGrid::GridFont() {
  if (!FFont && !FFontName.empty()) {
    TQelInterfaceEngine* engine = GetInterfaceEngine();
    if (engine && engine->FontEngine) FFont = engine->FontEngine->FindFont(FFontName);
  }
  return FFont;
}

void TQelGrid::SetAddCells(const std::string& value) {
  if (value.empty()) return;
  AddCells = value;
  if (FColumns.empty()) return;
  TQelXMLTag items;
  ReadCellDescriptions(value, items);
  TCells added;
  const size_t columns = FColumns.size();
  for (const auto& item : items.Tags) {
    TCell cell = CellFromColumn(FColumns[(FCells.size() + added.size()) % columns]);
    ApplyCellAttributes(*item, cell);
    added.push_back(std::move(cell));
  }
  FCells.insert(FCells.end(), added.begin(), added.end());
  // Counted from all cells, so a row completed by a later call is counted.
  FRowCount = Clamp32(static_cast<int64_t>(FCells.size() / columns));
  if (TQelSlider* slider = LinkedSlider()) slider->SetMax(DataRows() - 1);
  Invalidate();
}

void TQelGrid::SetCells(const std::string& value) {
  FCellsText = Utf8ToUtf16(value);
  if (value.empty()) return;
  TQelXMLTag items;
  ReadCellDescriptions(Utf16ToUtf8(FCellsText), items);
  TCells changed = FCells;
  for (size_t i = 0; i < items.Tags.size() && i < changed.size(); ++i) ApplyCellAttributes(*items.Tags[i], changed[i]);
  FCells = std::move(changed);
}

std::string TQelGrid::GetCells() const { return Utf16ToUtf8(FCellsText); }

void TQelGrid::Clear() {
  if (FixedRow) {
    FCells.resize(std::min(FCells.size(), FColumns.size()));
    FRowCount = 1;
  } else {
    FCells.clear();
    FRowCount = 0;
  }
  FTopRow = 0;
  Position = 0;
  if (TQelSlider* slider = LinkedSlider()) slider->Position = 0;
  Invalidate();
}

std::string TQelGrid::GetSelectedText() const {
  if (Position < 0 || static_cast<size_t>(Position) >= FCells.size()) return {};
  return Utf16ToUtf8(FCells[static_cast<size_t>(Position)].Text);
}

void TQelGrid::FollowSlider() {
  if (TQelSlider* slider = LinkedSlider()) slider->SetPos(Position);
}

void TQelGrid::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  TQelFocusedObject::MouseDown(button, shift, x, y);
  if (!Contains(x, y) || RowsHeight <= 0 || button != TMouseButton::mbLeft) return;
  const int64_t first =
      int64_t(ScreenTop) + BorderWidth + (FixedRow ? int64_t(RowsHeight) + DivisorHeight : 0);
  if (first < y && y < first + int64_t(VisibleRows()) * RowsHeight)
    Position = Clamp32((y - first) / RowsHeight + FTopRow);
  FollowSlider();
  QueueScript(OnMouseDown, SoundMouseDown);
  Invalidate();
}

void TQelGrid::MouseMove(TShiftState, int32_t x, int32_t y) {
  FMouseOverRow = -1;
  if (Contains(x, y) && RowsHeight > 0) {
    const int64_t top = int64_t(ScreenTop) + BorderWidth + (FixedRow ? int64_t(RowsHeight) + DivisorHeight : 0);
    const int64_t inner =
        int64_t(Height) - 2 * int64_t(BorderWidth) - (FixedRow ? int64_t(RowsHeight) + DivisorHeight : 0);
    if (top < y && y < top + (inner / RowsHeight) * RowsHeight) {
      // With the header the first data row on screen is row 1.
      const int64_t from = int64_t(ScreenTop) + BorderWidth + (FixedRow ? DivisorHeight : 0);
      FMouseOverRow = Clamp32((y - from) / RowsHeight);
    }
    Invalidate();
    MouseOver = true;
  } else {
    if (MouseOver) Invalidate();
    MouseOver = false;
  }
}

void TQelGrid::KeyStep(uint16_t key) {
  const int64_t r = FRowCount, v = VisibleRows();
  int64_t t = FTopRow, p = Position;
  const bool f = FixedRow;
  switch (key) {
    case kVkPrior:
      if (t == 0) p = 0;
      if (f ? t - v - 1 > 0 : t - v + 1 > 0) {
        t = t - v + 1;
        p = p - v + 1;
      } else {
        p = p - t;
        t = 0;
      }
      break;
    case kVkNext:
      if (f ? t >= r - v - 1 : r - v == t) p = f ? r - 2 : r - 1;
      if (t < r - 2 * v + 1) {
        t += v - 1;
        p += v - 1;
      } else if (f) {
        p = p + r - v - t - 1;
        t = r - v - 1;
      } else {
        p = p + r - v - t;
        t = r - v;
      }
      break;
    case kVkEnd:
      t = v < r ? r - v - (f ? 1 : 0) : 0;
      p = r - (f ? 2 : 1);
      break;
    case kVkHome:
      t = 0;
      p = 0;
      break;
    case kVkUp:
      if (t > 0 && p == t) --t;
      if (p - t > 0) --p;
      break;
    case kVkDown:
      if (p < r - (f ? 2 : 1) && t + v == p + 1) ++t;
      if (p - t < v - 1) ++p;
      break;
    default:
      break;
  }
  FTopRow = Clamp32(t);
  Position = Clamp32(p);
}

void TQelGrid::KeyDown(uint16_t& key, TShiftState) {
  if (Focused) {
    KeyStep(key);
    QueueScript(OnMouseDown, SoundMouseDown);
  }
  FollowSlider();
  Invalidate();
}

void TQelGrid::MouseWheel(TShiftState, int32_t wheelDelta, TPoint, bool&) {
  if (Focused) {
    KeyStep(wheelDelta < 0 ? kVkDown : kVkUp);
    QueueScript(OnMouseDown, SoundMouseDown);
  }
  FollowSlider();
  Invalidate();
}

void TQelGrid::DrawCell(size_t k, int32_t fontHeight) {
  IQelGraphic* g = Graphic();
  const size_t columns = FColumns.size();
  const TCell& cell = FCells[k];
  const size_t c = k % columns;
  const bool header = FixedRow && k < columns;
  const int64_t d = static_cast<int64_t>(k / columns) - FTopRow;
  int64_t x = int64_t(ScreenLeft) + BorderWidth;
  for (size_t i = 0; i < c; ++i) x += FColumns[i].Width;
  const int64_t y = header ? int64_t(ScreenTop) + BorderWidth
                           : int64_t(ScreenTop) + BorderWidth + d * RowsHeight + (FixedRow ? DivisorHeight : 0);
  const int64_t w = FColumns[c].Width;
  if (!cell.Picture.empty()) {
    int32_t pw = 0, ph = 0;
    PictureSize(cell.Picture, pw, ph);
    int64_t px = cell.PictureShiftLeft, py = cell.PictureShiftTop;
    if (cell.PictureHAlign == 1) px += (w - pw) / 2;
    else if (cell.PictureHAlign == 2) px += w - pw;
    if (cell.PictureVAlign == 1) py += (int64_t(RowsHeight) - ph) / 2;
    else if (cell.PictureVAlign == 2) py += int64_t(RowsHeight) - ph;
    g->Draw(cell.Picture, BumpMapPicture, BlendingMode, Clamp32(x + px), Clamp32(y + py), PictureAlpha, nullptr);
  }
  if (!FFont) return;
  const int64_t tw = FFont->TextWidth(cell.Text);
  int64_t tx = 0, ty = cell.TextShiftTop;
  switch (cell.Alignment) {
    case 0: tx = cell.TextShiftLeft; break;
    case 1: tx = (w - tw) / 2 + cell.TextShiftLeft; break;
    case 2: tx = w + cell.TextShiftLeft - tw; break;
    default: tx = 0; break;
  }
  if (cell.Layout == 1) ty += (int64_t(RowsHeight) - fontHeight) / 2;
  else if (cell.Layout == 2) ty += int64_t(RowsHeight) - fontHeight;
  const uint32_t color = header ? FixedColor : d == FMouseOverRow ? RowMouseOverColor : cell.Color;
  FFont->TextOut(Clamp32(x + tx), Clamp32(y + ty), color, 255, cell.Text);
}

void TQelGrid::Draw() {
  TQelInterfaceObject::Draw();
  IQelGraphic* g = Graphic();
  if (!g || FColumns.empty() || FRowCount == 0 || RowsHeight < 1 || FCells.empty()) return;
  int32_t cw = 0, ch = 0;
  PictureSize(CursorPicture, cw, ch);
  const int64_t r = int64_t(Position) - FTopRow;
  const int64_t cy = FixedRow ? (int64_t(RowsHeight) - ch) / 2 + DivisorHeight + int64_t(RowsHeight) * (r + 1)
                              : r * RowsHeight + (int64_t(RowsHeight) - ch) / 2;
  const int32_t cx = ScreenLeft + BorderWidth;
  const int32_t cursorY = Clamp32(int64_t(ScreenTop) + BorderWidth + cy);
  if (Focused) g->Draw(CursorPicture, BumpMapPicture, BlendingMode, cx, cursorY, PictureAlpha, nullptr);
  else g->DrawColoredAlpha(CursorPicture, "", cx, cursorY, 0, NotActiveCursorAlpha);

  const int32_t fontHeight = GridFont() ? FFont->Height : 0;
  const size_t columns = FColumns.size();
  auto drawRow = [&](int64_t row) {
    if (row < 0) return;
    for (size_t c = 0; c < columns; ++c) {
      const uint64_t k = static_cast<uint64_t>(row) * columns + c;
      if (k < FCells.size()) DrawCell(static_cast<size_t>(k), fontHeight);
    }
  };
  const int64_t v = VisibleRows();
  if (FixedRow) {
    drawRow(0);
    for (int64_t row = int64_t(FTopRow) + 1; row <= int64_t(FTopRow) + v; ++row) drawRow(row);
  } else {
    for (int64_t row = FTopRow; row < int64_t(FTopRow) + v; ++row) drawRow(row);
  }
}

}  // namespace qv
