#include "shell/InterfaceBridge.h"

#include "foundation/StrUtils.h"
#include "ui/QelGrid.h"
#include "ui/QelHint.h"
#include "ui/QelLabel.h"

namespace qv {

namespace {
TMouseButton ButtonOf(int button) {
  return button == 1 ? TMouseButton::mbRight : button == 2 ? TMouseButton::mbMiddle : TMouseButton::mbLeft;
}
}  // namespace

TInterfaceBridge::TInterfaceBridge(IQelGraphic& host, std::unique_ptr<IQelClipboard> clipboard)
    : Clipboard(std::move(clipboard)) {
  RegisterFoundationClasses();
  RegisterInterfaceClasses();
  if (!Clipboard) Clipboard = std::make_unique<TSystemClipboard>();
  Fonts.Graphic = &host;
  Interface.Graphic = &host;
  Interface.FontEngine = &Fonts;
  Interface.OwnerForm = &Handlers;
  Interface.Clipboard = Clipboard.get();
}

TInterfaceBridge::~TInterfaceBridge() { Interface.Clear(); }

void TInterfaceBridge::MouseDown(int button, uint32_t shift, int32_t x, int32_t y) {
  Interface.MouseDown(ButtonOf(button), shift, x, y);
}
void TInterfaceBridge::MouseMove(uint32_t shift, int32_t x, int32_t y) { Interface.MouseMove(shift, x, y); }
void TInterfaceBridge::MouseUp(int button, uint32_t shift, int32_t x, int32_t y) {
  Interface.MouseUp(ButtonOf(button), shift, x, y);
}
void TInterfaceBridge::MouseWheel(uint32_t shift, int32_t delta, int32_t x, int32_t y) {
  bool handled = false;
  Interface.MouseWheel(shift, delta, TPoint{x, y}, handled);
}
void TInterfaceBridge::KeyDown(uint16_t key, uint32_t shift) { Interface.KeyDown(key, shift); }
void TInterfaceBridge::KeyPress(char32_t c) {
  // The widgets take one UTF-16 unit; characters beyond it become U+FFFD.
  char16_t unit = c <= 0xFFFF ? char16_t(c) : char16_t(0xFFFD);
  Interface.KeyPress(unit);
}

void TInterfaceBridge::DrawForm(std::string_view form) {
  if (TQelInterfaceObject* w = Interface.FindWidget(form)) w->Draw();
}

std::string TInterfaceBridge::TopWindow() {
  const TQelInterfaceObject* top = Interface.TopModal();
  return top ? top->Name() : std::string();
}

std::string TInterfaceBridge::GetProp(std::string_view name, std::string_view prop) {
  try {
    return PropValueToText(Interface.GetProp(name, prop));
  } catch (const std::exception&) {
    return {};
  }
}

void TInterfaceBridge::SetProp(std::string_view name, std::string_view prop, std::string_view value) {
  Interface.SetProp(name, prop, value);
}

std::string TInterfaceBridge::SenderName() { return Interface.Sender ? Interface.Sender->Name() : std::string(); }

bool TInterfaceBridge::CreateWidget(std::string_view className, std::string_view name, std::string_view parent,
                                    std::string_view copyFrom) {
  const int index = Interface.CreateObject(std::string(name), std::string(parent), std::string(className));
  if (index < 0) return false;
  TQelObject* object = Interface.Objects()[size_t(index)].get();
  if (!copyFrom.empty())
    if (const TQelObject* source = Interface.FindObject(copyFrom)) object->Assign(*source);
  object->ParentName = std::string(parent);
  object->LinkParent();
  if (auto* form = dynamic_cast<TQelForm*>(Interface.FindWidget(parent))) form->BuildChildList();
  return true;
}

const TQelFont* TInterfaceBridge::FirstFont() const {
  for (const auto& o : Fonts.Objects())
    if (const auto* f = dynamic_cast<const TQelFont*>(o.get())) return f;
  return nullptr;
}

int32_t TInterfaceBridge::TextWidth(std::string_view text) {
  const TQelFont* f = FirstFont();
  return f ? f->TextWidth(Utf8ToUtf16(text)) : 0;
}

int32_t TInterfaceBridge::TextHeight() {
  const TQelFont* f = FirstFont();
  return f ? f->Height : 0;
}

void TInterfaceBridge::TextOut(std::string_view target, std::string_view text, int32_t x, int32_t y, uint8_t alpha,
                               uint32_t color) {
  const TQelFont* f = FirstFont();
  if (!f) return;
  std::string saved;
  if (DrawTarget) {
    saved = *DrawTarget;
    *DrawTarget = std::string(target);
  }
  f->TextOut(x, y, color, alpha, Utf8ToUtf16(text));
  if (DrawTarget) *DrawTarget = saved;
}

void TInterfaceBridge::DrawWidget(std::string_view name) {
  if (TQelInterfaceObject* w = Interface.FindWidget(name)) w->Draw();
}

void TInterfaceBridge::ClearGrid(std::string_view grid) {
  if (auto* g = dynamic_cast<TQelGrid*>(Interface.FindWidget(grid))) g->Clear();
}

std::string TInterfaceBridge::GridSelectedText(std::string_view grid) {
  const auto* g = dynamic_cast<const TQelGrid*>(Interface.FindWidget(grid));
  return g ? g->GetSelectedText() : std::string();
}

void TInterfaceBridge::ShowHintWidget(std::string_view hint) {
  if (auto* h = dynamic_cast<TQelHint*>(Interface.FindWidget(hint))) h->ShowHint();
}

void TInterfaceBridge::HideHintWidget(std::string_view hint) {
  if (auto* h = dynamic_cast<TQelHint*>(Interface.FindWidget(hint))) h->HideHint();
}

bool TInterfaceBridge::IsMouseOver(std::string_view label) {
  const auto* l = dynamic_cast<const TQelLabel*>(Interface.FindWidget(label));
  return l && l->IsMouseOver();
}

std::vector<std::string> TInterfaceBridge::ChildNames(std::string_view form) {
  std::vector<std::string> names;
  if (const auto* f = dynamic_cast<const TQelForm*>(Interface.FindWidget(form)))
    for (const TQelInterfaceObject* child : f->ChildList)
      if (child) names.push_back(child->Name());
  return names;
}

}  // namespace qv
