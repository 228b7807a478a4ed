// The list widget: rows of cells under optional header cells, the selected
// row behind a cursor picture, a mouse-over row colour, keyboard and wheel
// scrolling, and an optional linked slider as its scroll bar. Columns and
// cells come from cell-description strings (QelGridCells.h); columns must
// come before cells.
#pragma once

#include <cstdint>
#include <string>

#include "ui/QelFont.h"
#include "ui/QelGridCells.h"
#include "ui/QelInterfaceClasses.h"

namespace qv {

class TQelSlider;

// Published in addition: Position, LinkedObjectName, CursorPicture,
// NotActiveCursorAlpha, RowsHeight, BorderWidth, FixedRow, FixedFontName,
// FixedColor, DivisorHeight, RowMouseOverColor, AddColumns, AddCells, Cells.
class TQelGrid : public TQelFocusedObject {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  // Copies the widget base only.
  void Assign(const TQelObject& source) override;
  std::string GetPictureList() const override;
  void KeyDown(uint16_t& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void MouseWheel(TShiftState shift, int32_t wheelDelta, TPoint mousePos, bool& handled) override;
  void Draw() override;

  // Selects a row, scrolling it into view, and queues OnMouseDown.
  void SetPos(int32_t value);
  void SetLinkedObjectName(const std::string& value);
  void SetFixedRow(bool value);
  // Cell descriptions; a number that does not parse raises EConvertError
  // and changes nothing.
  void SetAddColumns(const std::string& value);
  void SetAddCells(const std::string& value);
  // UTF-8; changes the attributes its items name on the existing cells.
  void SetCells(const std::string& value);
  std::string GetCells() const;

  // Keeps the columns (and the header cells with FixedRow).
  void Clear();
  // The text of the cell at Position; empty when there is none.
  std::string GetSelectedText() const;

  // The slider side of the link (the slider's own LinkedObjectName setter).
  void LinkToSlider(TQelSlider* slider);
  TQelSlider* LinkedSlider() const;
  // Rows without the header.
  int32_t DataRows() const;
  // Data rows that fit into the grid, at most DataRows.
  int32_t VisibleRows() const;

  const TColumns& Columns() const { return FColumns; }
  const TCells& Cells() const { return FCells; }
  int32_t RowCount() const { return FRowCount; }
  int32_t TopRow() const { return FTopRow; }
  int32_t MouseOverRow() const { return FMouseOverRow; }
  // The font of the last column that named one (looked up again while the
  // font engine does not know it).
  TQelFont* GridFont();

  int32_t Position = 0;
  std::string LinkedObjectName;
  std::string CursorPicture;
  uint8_t NotActiveCursorAlpha = 0;
  int32_t RowsHeight = 0;
  int32_t BorderWidth = 0;
  bool FixedRow = false;
  std::string FixedFontName;
  uint32_t FixedColor = 0;
  int32_t DivisorHeight = 0;
  uint32_t RowMouseOverColor = 0;
  std::string AddColumns;
  std::string AddCells;

 private:
  void KeyStep(uint16_t key);
  void FollowSlider();
  void DrawCell(size_t k, int32_t fontHeight);

  TQelFont* FFont = nullptr;
  std::string FFontName;
  // The linked slider's name, looked up when used.
  std::string FSliderName;
  TColumns FColumns;
  TCells FCells;
  std::u16string FCellsText;
  int32_t FRowCount = 0;
  int32_t FTopRow = 0;
  int32_t FMouseOverRow = -1;
};

}  // namespace qv
