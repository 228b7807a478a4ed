// What the shell asks of the interface engine: the stack of windows, input,
// the changed rectangles and the drawing of the windows, and widgets by name.
// The program hands the real engine over through TInterfaceBridge; tests put
// a small fake behind it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/SFunctions.h"

namespace qv {

class TMemoryStream;

class IShellInterface {
 public:
  virtual ~IShellInterface() = default;

  // Input for the window on top of the stack (each runs the queued scripts).
  virtual void MouseDown(int button, uint32_t shift, int32_t x, int32_t y) = 0;
  virtual void MouseMove(uint32_t shift, int32_t x, int32_t y) = 0;
  virtual void MouseUp(int button, uint32_t shift, int32_t x, int32_t y) = 0;
  virtual void MouseWheel(uint32_t shift, int32_t delta, int32_t x, int32_t y) = 0;
  virtual void KeyDown(uint16_t key, uint32_t shift) = 0;
  virtual void KeyPress(char32_t c) = 0;

  // Appends the rectangles of the windows that changed since they were drawn.
  virtual void GetChangedRects(TRects& rects) = 0;
  // Draws the windows of the stack, bottom to top, through the host.
  virtual void DrawInterface() = 0;
  // Draws one form (and its children) through the host, stacked or not.
  virtual void DrawForm(std::string_view form) = 0;
  // Runs the time-driven animations of the windows.
  virtual void Animate(int32_t t) = 0;

  virtual void ShowModal(std::string_view form) = 0;
  virtual void HideModal() = 0;
  virtual void HideModalList() = 0;
  virtual void ClearScripts() = 0;
  virtual void RealignForms() = 0;
  // Empty when the stack is empty.
  virtual std::string TopWindow() = 0;

  // Widgets by name; a missing one reads as empty and ignores a set.
  virtual bool Exists(std::string_view name) = 0;
  virtual std::string GetProp(std::string_view name, std::string_view prop) = 0;
  virtual void SetProp(std::string_view name, std::string_view prop, std::string_view value) = 0;
  // The name of the widget whose script is running (empty outside scripts).
  virtual std::string SenderName() = 0;

  // A new widget of a registered class under a parent window, optionally
  // with the properties of another widget copied in; the parent's child
  // list is rebuilt. False when it cannot be made.
  virtual bool CreateWidget(std::string_view className, std::string_view name, std::string_view parent,
                            std::string_view copyFrom) = 0;

  // The font description and the interface description; the interface
  // engine's version text.
  virtual void LoadFont(TMemoryStream& stream) = 0;
  virtual void LoadDescription(TMemoryStream& stream) = 0;
  virtual std::string GetInfo() = 0;
  // Undoes the last language file, then applies a file.
  virtual void RestoreModifications() = 0;
  virtual void LoadModifications(const std::string& fileName) = 0;

  // Text in the first font of the font engine (UTF-8 in): its size and its
  // drawing into a surface through the host.
  virtual int32_t TextWidth(std::string_view text) = 0;
  virtual int32_t TextHeight() = 0;
  virtual void TextOut(std::string_view target, std::string_view text, int32_t x, int32_t y, uint8_t alpha,
                       uint32_t color) = 0;
  // A label draws itself (into the host's draw target).
  virtual void DrawWidget(std::string_view name) = 0;

  // What the screens need of particular widgets (a fake may leave them out).
  // A grid emptied; the text of its selected cell (empty without one).
  virtual void ClearGrid(std::string_view /*grid*/) {}
  virtual std::string GridSelectedText(std::string_view /*grid*/) { return {}; }
  // A hint shown (a hidden one with text, starting its time) or hidden.
  virtual void ShowHintWidget(std::string_view hint) { SetProp(hint, "Visible", "true"); }
  virtual void HideHintWidget(std::string_view hint) { SetProp(hint, "Visible", "false"); }
  // Whether the pointer is over a label (or a check box or radio button).
  virtual bool IsMouseOver(std::string_view /*label*/) { return false; }
  // The names of a form's children, in their order.
  virtual std::vector<std::string> ChildNames(std::string_view /*form*/) { return {}; }

  // The owner's table of published handlers that scripts reach through
  // "ExecMethod": one registration point for every handler of the game.
  virtual void Publish(std::string name, std::function<void()> handler) = 0;
  // Calls a published handler by name; false when there is none.
  virtual bool CallHandler(std::string_view name) = 0;
};

}  // namespace qv
