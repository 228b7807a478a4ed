// The shell's view of the interface toolkit: the font engine, the interface
// engine and the owner's table of published handlers, bound to the host.
#pragma once

#include <memory>

#include "shell/HostGraphic.h"
#include "shell/ShellInterface.h"
#include "ui/QelClipboard.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterfaceEngine.h"

namespace qv {

class TInterfaceBridge : public IShellInterface {
 public:
  // The host must outlive the bridge; the engines are bound to it at once.
  explicit TInterfaceBridge(IQelGraphic& host, std::unique_ptr<IQelClipboard> clipboard = nullptr);
  ~TInterfaceBridge() override;

  void MouseDown(int button, uint32_t shift, int32_t x, int32_t y) override;
  void MouseMove(uint32_t shift, int32_t x, int32_t y) override;
  void MouseUp(int button, uint32_t shift, int32_t x, int32_t y) override;
  void MouseWheel(uint32_t shift, int32_t delta, int32_t x, int32_t y) override;
  void KeyDown(uint16_t key, uint32_t shift) override;
  void KeyPress(char32_t c) override;

  void GetChangedRects(TRects& rects) override { Interface.GetChangedRects(rects); }
  void DrawInterface() override { Interface.DrawInterface(); }
  void DrawForm(std::string_view form) override;
  void Animate(int32_t t) override { Interface.Animate(t); }

  void ShowModal(std::string_view form) override { Interface.ShowModal(form); }
  void HideModal() override { Interface.HideTopModal(); }
  void HideModalList() override { Interface.HideModalList(); }
  void ClearScripts() override { Interface.ClearScripts(); }
  void RealignForms() override { Interface.RealignForms(); }
  std::string TopWindow() override;

  bool Exists(std::string_view name) override { return Interface.FindWidget(name) != nullptr; }
  std::string GetProp(std::string_view name, std::string_view prop) override;
  void SetProp(std::string_view name, std::string_view prop, std::string_view value) override;
  std::string SenderName() override;
  bool CreateWidget(std::string_view className, std::string_view name, std::string_view parent,
                    std::string_view copyFrom) override;

  void LoadFont(TMemoryStream& stream) override { Fonts.LoadFromStream(stream); }
  void LoadDescription(TMemoryStream& stream) override { Interface.LoadFromStream(stream); }
  std::string GetInfo() override { return Interface.GetInfo(); }
  void RestoreModifications() override { Interface.RestoreModifications(); }
  void LoadModifications(const std::string& fileName) override { Interface.LoadModifications(fileName); }

  int32_t TextWidth(std::string_view text) override;
  int32_t TextHeight() override;
  void TextOut(std::string_view target, std::string_view text, int32_t x, int32_t y, uint8_t alpha,
               uint32_t color) override;
  void DrawWidget(std::string_view name) override;

  void ClearGrid(std::string_view grid) override;
  std::string GridSelectedText(std::string_view grid) override;
  void ShowHintWidget(std::string_view hint) override;
  void HideHintWidget(std::string_view hint) override;
  bool IsMouseOver(std::string_view label) override;
  std::vector<std::string> ChildNames(std::string_view form) override;

  void Publish(std::string name, std::function<void()> handler) override {
    Handlers.Publish(std::move(name), std::move(handler));
  }
  bool CallHandler(std::string_view name) override { return Handlers.Call(name); }

  // The host's draw target, switched by TextOut; set by the shell.
  std::string* DrawTarget = nullptr;

  TQelFontEngine Fonts;
  TQelInterfaceEngine Interface;
  TQelMethodTable Handlers;
  std::unique_ptr<IQelClipboard> Clipboard;

 private:
  // The first font of the font engine, or none.
  const TQelFont* FirstFont() const;
};

}  // namespace qv
