// The widget base of the interface toolkit and its forms.
//
// TQelInterfaceObject holds position, size, alignment, picture, visibility,
// the dirty-rectangle bookkeeping and the event texts of every widget;
// TQelFocusedObject adds keyboard focus and a place in its form's tab order;
// TQelForm is a window or panel whose children are the widgets whose
// ParentName is its Name; TQelTabForm is a form that belongs to a numbered
// group among its siblings.
//
// A widget class derives from one of these, publishes its own properties
// through its class record (see foundation/QelBaseClasses.h) and overrides
// what it needs:
//   - Draw, and the events KeyDown, KeyPress, KeyUp, MouseDown, MouseMove,
//     MouseUp, MouseWheel (x and y are screen coordinates);
//   - Animate(now): the per-frame step; a form calls it for its children of
//     the exact classes TQelMoving, TQelEdit and TQelHint;
//   - the virtual setters and layout steps (SetPicture, SetWidth, Realign...).
// Every setter that changes what is shown calls Invalidate first, which
// records the bounds from the last drawing once; the engine reports them with
// the current bounds in GetChangedRects and clears Changed after drawing.
// A widget reacts to an event by QueueScript(OnMouseUp, SoundMouseUp), which
// hands the script to the engine with the widget's Name as sender.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/QelBaseClasses.h"
#include "foundation/SFunctions.h"
#include "ui/QelInterface.h"

namespace qv {

class TQelInterfaceEngine;
class TQelForm;

enum class TAutoSizeType : int32_t { asNone, asPicture, asCaption };
enum class THAlignType : int32_t { haNone, haLeft, haCenter, haRight, haJustify };
enum class TVAlignType : int32_t { vaNone, vaTop, vaCenter, vaBottom, vaJustify };
enum class TPictureHAlignType : int32_t { phaLeft, phaCenter, phaRight };
enum class TPictureVAlignType : int32_t { pvaTop, pvaCenter, pvaBottom };

// The platform's shift state: a set of these bits.
using TShiftState = uint32_t;
inline constexpr TShiftState ssShift = 1u << 0;
inline constexpr TShiftState ssAlt = 1u << 1;
inline constexpr TShiftState ssCtrl = 1u << 2;
inline constexpr TShiftState ssLeft = 1u << 3;
inline constexpr TShiftState ssRight = 1u << 4;
inline constexpr TShiftState ssMiddle = 1u << 5;
inline constexpr TShiftState ssDouble = 1u << 6;

enum class TMouseButton : int32_t { mbLeft = 0, mbRight = 1, mbMiddle = 2 };

// Virtual key codes the toolkit itself looks at (the shell maps the
// platform's keys onto these codes).
inline constexpr uint16_t kVkTab = 9;

// Published: Style, Left, Top, AutoSize, BumpMapPicture, BlendingMode,
// Picture, PictureHAlign, PictureVAlign, PictureAlpha, Width, Height, HAlign,
// VAlign, ShiftLeft, ShiftTop, Visible, the seven On* event scripts and the
// seven Sound* names (besides ParentName, Name and Tag).
class TQelInterfaceObject : public TQelObject {
 public:
  TQelInterfaceObject();

  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  // Copies the position, size, alignment, picture settings, visibility and
  // the event texts; not Style, the bump maps, BlendingMode or picture size.
  void Assign(const TQelObject& source) override;

  // Setters of the published properties (each stores the value and then
  // invalidates, realigns and places the picture as the property needs).
  virtual void SetLeft(int32_t value);
  virtual void SetPicture(const std::string& value);
  virtual void SetTop(int32_t value);
  virtual void SetWidth(int32_t value);
  virtual void SetHeight(int32_t value);
  virtual void AlignPicture();
  virtual void SetAutoSize(TAutoSizeType value);
  virtual void SetVisible(bool value);
  // The picture names the widget uses, one per line (CR LF between lines).
  virtual std::string GetPictureList() const;
  virtual void ApplyAutoSize();
  virtual void UpdateScreenPosition();
  // ApplyAutoSize, ApplyAlign, UpdateScreenPosition, AlignPicture, picture size.
  virtual void Realign();

  virtual void KeyDown(uint16_t& key, TShiftState shift);
  virtual void KeyPress(char16_t& key);
  virtual void KeyUp(uint16_t& key, TShiftState shift);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  // Sets MouseOver to whether (x, y) lies inside the widget.
  virtual void MouseMove(TShiftState shift, int32_t x, int32_t y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void MouseWheel(TShiftState shift, int32_t wheelDelta, TPoint mousePos, bool& handled);
  // The widget's picture at its place.
  virtual void Draw();
  // The per-frame step (moving pictures, edit cursor, hint timing); the
  // base does nothing.
  virtual void Animate(int32_t now);

  void SetPictureAlpha(uint8_t value);
  void SetPictureHAlign(TPictureHAlignType value);
  void SetPictureVAlign(TPictureVAlignType value);
  void SetHAlign(THAlignType value);
  void SetVAlign(TVAlignType value);
  void SetShiftLeft(int32_t value);
  void SetShiftTop(int32_t value);
  void SetBumpMapPicture(const std::string& value);

  // Moves the widget when it is not aligned.
  void SetPosition(int32_t x, int32_t y);
  TPoint GetScreenPosition() const { return TPoint{ScreenLeft, ScreenTop}; }
  // Records the bounds from before the first change since the last drawing.
  void Invalidate();
  void ApplyAlign();
  // The parent's size, or the screen's for a window.
  void GetContainerSize(int32_t& width, int32_t& height) const;
  // (ScreenLeft, ScreenTop, ScreenLeft + Width, ScreenTop + Height).
  TRect Bounds() const;
  // Whether (x, y) lies inside the bounds (right and bottom exclusive).
  bool Contains(int32_t x, int32_t y) const;
  void ResetOldRect() { OldRect = TRect{}; }
  void SetChanged(bool value) { Changed = value; }
  const std::string& GetCurrentBumpMap() const { return CurrentBumpMap; }

  // The owning interface engine, or none.
  TQelInterfaceEngine* GetInterfaceEngine() const;
  // The engine's host, or none.
  IQelGraphic* Graphic() const;
  // The picture's size from the host (0 and 0 without a host).
  void PictureSize(std::string_view picture, int32_t& width, int32_t& height) const;
  // The parent when it is a form.
  TQelForm* ParentForm() const;
  // Queues script with the widget's name as sender; with a sound, the text
  // is PlaySound Sound="sound"; followed by the script.
  void QueueScript(const std::string& script, const std::string& sound);

  std::string CurrentBumpMap;
  std::string Style;
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t ScreenLeft = 0;
  int32_t ScreenTop = 0;
  TAutoSizeType AutoSize = TAutoSizeType::asNone;
  std::string BumpMapPicture;
  TBlendingMode BlendingMode = TBlendingMode::bmNormal;
  std::string Picture;
  TPictureHAlignType PictureHAlign = TPictureHAlignType::phaLeft;
  TPictureVAlignType PictureVAlign = TPictureVAlignType::pvaTop;
  int32_t PictureLeft = 0;
  int32_t PictureTop = 0;
  int32_t PictureWidth = 0;
  int32_t PictureHeight = 0;
  uint8_t PictureAlpha = 255;
  int32_t Width = 0;
  int32_t Height = 0;
  THAlignType HAlign = THAlignType::haNone;
  TVAlignType VAlign = TVAlignType::vaNone;
  int32_t ShiftLeft = 0;
  int32_t ShiftTop = 0;
  bool Visible = false;
  std::string OnKeyDown, OnKeyPress, OnKeyUp, OnMouseDown, OnMouseMove, OnMouseUp, OnMouseWheel;
  std::string SoundKeyDown, SoundKeyPress, SoundKeyUp, SoundMouseDown, SoundMouseMove, SoundMouseUp, SoundMouseWheel;
  bool MouseOver = false;
  TRect OldRect;
  bool Changed = false;
};

// Published in addition: Focused, TabOrder.
class TQelFocusedObject : public TQelInterfaceObject {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  virtual void SetFocused(bool value);
  // While the description is read the value is stored as it stands;
  // otherwise the widget moves to that place of its form's tab list.
  void SetTabOrder(int32_t value);
  void MoveInTabList(int32_t n);
  // Press inside: Pressed, and the focus moves here from the form's
  // focused widget.
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;

  bool Pressed = false;
  bool Focused = false;
  int32_t TabOrder = 0;
};

// Published in addition: HeadLine, the drag rectangle as "Left;Top;Right;Bottom;".
class TQelForm : public TQelInterfaceObject {
 public:
  // Tab orders at or above this (and negative ones) leave a widget out of
  // its form's tab list, so a hostile description cannot make it huge.
  static constexpr int32_t kMaxTabOrder = 4096;

  TQelForm();
  ~TQelForm() override;

  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  // Clones the source form and, as new objects of the engine, its children.
  void Assign(const TQelObject& source) override;
  // A rename that the engine accepts renames the children's ParentName too.
  void SetName(const std::string& value) override;
  // The form's picture, then the children's pictures without repeats.
  std::string GetPictureList() const override;
  // Moves and realigns the whole subtree.
  void UpdateScreenPosition() override;
  void KeyDown(uint16_t& key, TShiftState shift) override;
  void KeyPress(char16_t& key) override;
  void KeyUp(uint16_t& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void MouseWheel(TShiftState shift, int32_t wheelDelta, TPoint mousePos, bool& handled) override;
  // Its picture, then its visible children in ChildList order.
  void Draw() override;
  // The per-frame step of its moving pictures, edits and hints.
  void Animate(int32_t now) override;

  std::string GetHeadLine() const;
  void SetHeadLine(const std::string& value);

  // Every widget of the engine whose ParentName is the form's Name, in the
  // engine's order (never the form itself).
  void BuildChildList();
  // Places every focusable child at its TabOrder (the list is not emptied).
  void BuildTabList();
  void InsertTab(int32_t index, TQelFocusedObject* widget);
  void RemoveTab(int32_t index);
  // Tab and Shift+Tab; empty places of the tab list are passed over.
  void FocusNext();
  void FocusPrev();
  void RealignChildren();
  void DrawChildren();

  int32_t DragX = 0;
  int32_t DragY = 0;
  int32_t DragLeft = 0;
  int32_t DragTop = 0;
  bool Dragging = false;
  // Relative to the form's screen position.
  TRect HeadLine;
  // Not owned: the engine owns every widget.
  std::vector<TQelInterfaceObject*> ChildList;
  // Index = TabOrder; an entry may be empty when a description skips or
  // repeats tab orders.
  std::vector<TQelFocusedObject*> TabList;

 private:
  // Set while a walk over the subtree runs through this form, so that forms
  // that contain each other (hostile descriptions, renames at run time)
  // cannot recurse without end.
  mutable int32_t FDepth = 0;
  int32_t FRealignDepth = 0;
};

// Published in addition: TabGroup.
class TQelTabForm : public TQelForm {
 public:
  static const TQelClass& StaticClass();
  const TQelClass& ClassType() const override;

  void Assign(const TQelObject& source) override;
  // Showing hides the other tab forms of the same group under the same parent.
  void SetVisible(bool value) override;

  int32_t TabGroup = 0;
};

// The wide text without its trailing characters below code 33.
std::u16string TrimRightWide(std::u16string_view text);

// Names of the enumerations, in ordinal order, for the property layer.
const std::vector<std::string>& AutoSizeTypeNames();
const std::vector<std::string>& HAlignTypeNames();
const std::vector<std::string>& VAlignTypeNames();
const std::vector<std::string>& PictureHAlignTypeNames();
const std::vector<std::string>& PictureVAlignTypeNames();

}  // namespace qv
