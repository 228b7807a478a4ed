#include "ui/QelInterfaceClasses.h"

#include <algorithm>

#include "foundation/Log.h"
#include "foundation/Numeric.h"
#include "ui/QelInterfaceEngine.h"

namespace qv {

namespace {

// Marks a form as being walked for the length of one walk over its subtree.
class TWalkGuard {
 public:
  explicit TWalkGuard(int32_t& depth) : FDepth(depth), FEntered(depth == 0) {
    if (FEntered) ++FDepth;
  }
  ~TWalkGuard() {
    if (FEntered) --FDepth;
  }
  TWalkGuard(const TWalkGuard&) = delete;
  TWalkGuard& operator=(const TWalkGuard&) = delete;
  // False when the form is already being walked further up the call chain.
  bool Entered() const { return FEntered; }

 private:
  int32_t& FDepth;
  bool FEntered;
};

std::vector<std::string> SplitPictureLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

constexpr int32_t kDefaultScreenWidth = 800;
constexpr int32_t kDefaultScreenHeight = 600;

}  // namespace

const std::vector<std::string>& BlendingModeNames() {
  static const std::vector<std::string> names = {"bmNormal",  "bmAddBlend", "bmMulBlend", "bmAvrBlend",
                                                 "bmAddBump", "bmMulBump",  "bmAvrBump"};
  return names;
}
const std::vector<std::string>& AutoSizeTypeNames() {
  static const std::vector<std::string> names = {"asNone", "asPicture", "asCaption"};
  return names;
}
const std::vector<std::string>& HAlignTypeNames() {
  static const std::vector<std::string> names = {"haNone", "haLeft", "haCenter", "haRight", "haJustify"};
  return names;
}
const std::vector<std::string>& VAlignTypeNames() {
  static const std::vector<std::string> names = {"vaNone", "vaTop", "vaCenter", "vaBottom", "vaJustify"};
  return names;
}
const std::vector<std::string>& PictureHAlignTypeNames() {
  static const std::vector<std::string> names = {"phaLeft", "phaCenter", "phaRight"};
  return names;
}
const std::vector<std::string>& PictureVAlignTypeNames() {
  static const std::vector<std::string> names = {"pvaTop", "pvaCenter", "pvaBottom"};
  return names;
}

std::u16string TrimRightWide(std::u16string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] < 33) --end;
  return std::u16string(text.substr(0, end));
}

// ---------------------------------------------------------------------------
// TQelInterfaceObject

TQelInterfaceObject::TQelInterfaceObject() = default;

const TQelClass& TQelInterfaceObject::StaticClass() {
  using T = TQelInterfaceObject;
  static const TQelClass cls =
      TQelClass::Make<T>("TQelInterfaceObject", &TQelObject::StaticClass(), [](TPropertyList& p) {
        p.String("Style", &T::Style);
        p.Integer("Left", &T::Left, &T::SetLeft);
        p.Integer("Top", &T::Top, &T::SetTop);
        p.Enum("AutoSize", &T::AutoSize, &T::SetAutoSize, AutoSizeTypeNames());
        p.String("BumpMapPicture", &T::BumpMapPicture, &T::SetBumpMapPicture);
        p.Enum("BlendingMode", &T::BlendingMode, BlendingModeNames());
        p.String("Picture", &T::Picture, &T::SetPicture);
        p.Enum("PictureHAlign", &T::PictureHAlign, &T::SetPictureHAlign, PictureHAlignTypeNames());
        p.Enum("PictureVAlign", &T::PictureVAlign, &T::SetPictureVAlign, PictureVAlignTypeNames());
        p.Integer("PictureAlpha", &T::PictureAlpha, &T::SetPictureAlpha);
        p.Integer("Width", &T::Width, &T::SetWidth);
        p.Integer("Height", &T::Height, &T::SetHeight);
        p.Enum("HAlign", &T::HAlign, &T::SetHAlign, HAlignTypeNames());
        p.Enum("VAlign", &T::VAlign, &T::SetVAlign, VAlignTypeNames());
        p.Integer("ShiftLeft", &T::ShiftLeft, &T::SetShiftLeft);
        p.Integer("ShiftTop", &T::ShiftTop, &T::SetShiftTop);
        p.Bool("Visible", &T::Visible, &T::SetVisible);
        p.String("OnKeyDown", &T::OnKeyDown);
        p.String("OnKeyPress", &T::OnKeyPress);
        p.String("OnKeyUp", &T::OnKeyUp);
        p.String("OnMouseDown", &T::OnMouseDown);
        p.String("OnMouseMove", &T::OnMouseMove);
        p.String("OnMouseUp", &T::OnMouseUp);
        p.String("OnMouseWheel", &T::OnMouseWheel);
        p.String("SoundKeyDown", &T::SoundKeyDown);
        p.String("SoundKeyPress", &T::SoundKeyPress);
        p.String("SoundKeyUp", &T::SoundKeyUp);
        p.String("SoundMouseDown", &T::SoundMouseDown);
        p.String("SoundMouseMove", &T::SoundMouseMove);
        p.String("SoundMouseUp", &T::SoundMouseUp);
        p.String("SoundMouseWheel", &T::SoundMouseWheel);
      });
  return cls;
}

const TQelClass& TQelInterfaceObject::ClassType() const { return StaticClass(); }

void TQelInterfaceObject::Assign(const TQelObject& source) {
  TQelObject::Assign(source);
  const auto* s = dynamic_cast<const TQelInterfaceObject*>(&source);
  if (!s) return;
  Left = s->Left;
  Top = s->Top;
  ScreenLeft = s->ScreenLeft;
  ScreenTop = s->ScreenTop;
  AutoSize = s->AutoSize;
  Picture = s->Picture;
  PictureHAlign = s->PictureHAlign;
  PictureVAlign = s->PictureVAlign;
  PictureLeft = s->PictureLeft;
  PictureTop = s->PictureTop;
  PictureAlpha = s->PictureAlpha;
  Width = s->Width;
  Height = s->Height;
  HAlign = s->HAlign;
  VAlign = s->VAlign;
  ShiftLeft = s->ShiftLeft;
  ShiftTop = s->ShiftTop;
  Visible = s->Visible;
  OnKeyDown = s->OnKeyDown;
  OnKeyPress = s->OnKeyPress;
  OnKeyUp = s->OnKeyUp;
  OnMouseDown = s->OnMouseDown;
  OnMouseMove = s->OnMouseMove;
  OnMouseUp = s->OnMouseUp;
  OnMouseWheel = s->OnMouseWheel;
  SoundKeyDown = s->SoundKeyDown;
  SoundKeyPress = s->SoundKeyPress;
  SoundKeyUp = s->SoundKeyUp;
  SoundMouseDown = s->SoundMouseDown;
  SoundMouseMove = s->SoundMouseMove;
  SoundMouseUp = s->SoundMouseUp;
  SoundMouseWheel = s->SoundMouseWheel;
}

TQelInterfaceEngine* TQelInterfaceObject::GetInterfaceEngine() const {
  return dynamic_cast<TQelInterfaceEngine*>(GetEngine());
}

IQelGraphic* TQelInterfaceObject::Graphic() const {
  TQelInterfaceEngine* engine = GetInterfaceEngine();
  return engine ? engine->Graphic : nullptr;
}

void TQelInterfaceObject::PictureSize(std::string_view picture, int32_t& width, int32_t& height) const {
  width = 0;
  height = 0;
  if (IQelGraphic* g = Graphic()) g->GetPictureSize(width, height, picture);
}

TQelForm* TQelInterfaceObject::ParentForm() const { return dynamic_cast<TQelForm*>(Parent()); }

void TQelInterfaceObject::QueueScript(const std::string& script, const std::string& sound) {
  TQelInterfaceEngine* engine = GetInterfaceEngine();
  if (!engine) return;
  if (sound.empty()) {
    engine->AddScript(Name(), script);
  } else {
    engine->AddScript(Name(), "PlaySound Sound=\"" + sound + "\";" + script);
  }
}

TRect TQelInterfaceObject::Bounds() const {
  return TRect{ScreenLeft, ScreenTop, ScreenLeft + Width, ScreenTop + Height};
}

bool TQelInterfaceObject::Contains(int32_t x, int32_t y) const {
  return x >= ScreenLeft && x < ScreenLeft + Width && y >= ScreenTop && y < ScreenTop + Height;
}

void TQelInterfaceObject::Invalidate() {
  if (Changed) return;
  OldRect = Bounds();
  Changed = true;
}

void TQelInterfaceObject::GetContainerSize(int32_t& width, int32_t& height) const {
  if (const auto* parent = dynamic_cast<const TQelInterfaceObject*>(Parent())) {
    width = parent->Width;
    height = parent->Height;
    return;
  }
  width = kDefaultScreenWidth;
  height = kDefaultScreenHeight;
  if (IQelGraphic* g = Graphic()) g->GetScreenSize(width, height);
}

void TQelInterfaceObject::ApplyAlign() {
  int32_t cw = 0;
  int32_t ch = 0;
  GetContainerSize(cw, ch);
  switch (HAlign) {
    case THAlignType::haNone:
      break;
    case THAlignType::haLeft:
      Left = ShiftLeft;
      break;
    case THAlignType::haCenter:
      Left = cw / 2 + ShiftLeft - Width / 2;
      break;
    case THAlignType::haRight:
      Left = cw + ShiftLeft - Width;
      break;
    case THAlignType::haJustify:
      if (AutoSize == TAutoSizeType::asNone) {
        Left = 0;
        Width = cw;
      }
      break;
  }
  switch (VAlign) {
    case TVAlignType::vaNone:
      break;
    case TVAlignType::vaTop:
      Top = ShiftTop;
      break;
    case TVAlignType::vaCenter:
      Top = ch / 2 + ShiftTop - Height / 2;
      break;
    case TVAlignType::vaBottom:
      Top = ch + ShiftTop - Height;
      break;
    case TVAlignType::vaJustify:
      if (AutoSize == TAutoSizeType::asNone) {
        Top = 0;
        Height = ch;
      }
      break;
  }
}

void TQelInterfaceObject::ApplyAutoSize() {
  if (AutoSize != TAutoSizeType::asPicture || Picture.empty()) return;
  int32_t w = 0;
  int32_t h = 0;
  PictureSize(Picture, w, h);
  if (w > 0 && h > 0) {
    Width = w;
    Height = h;
  }
}

void TQelInterfaceObject::AlignPicture() {
  if (Picture.empty()) return;
  int32_t w = 0;
  int32_t h = 0;
  PictureSize(Picture, w, h);
  if (w < 1 || h < 1) return;
  switch (PictureHAlign) {
    case TPictureHAlignType::phaLeft:
      PictureLeft = 0;
      break;
    case TPictureHAlignType::phaCenter:
      PictureLeft = Width / 2 - w / 2;
      break;
    case TPictureHAlignType::phaRight:
      PictureLeft = Width - w;
      break;
  }
  switch (PictureVAlign) {
    case TPictureVAlignType::pvaTop:
      PictureTop = 0;
      break;
    case TPictureVAlignType::pvaCenter:
      PictureTop = Height / 2 - h / 2;
      break;
    case TPictureVAlignType::pvaBottom:
      PictureTop = Height - h;
      break;
  }
}

void TQelInterfaceObject::UpdateScreenPosition() {
  if (const auto* parent = dynamic_cast<const TQelInterfaceObject*>(Parent())) {
    ScreenLeft = parent->ScreenLeft + Left;
    ScreenTop = parent->ScreenTop + Top;
  } else {
    ScreenLeft = Left;
    ScreenTop = Top;
  }
}

void TQelInterfaceObject::Realign() {
  ApplyAutoSize();
  ApplyAlign();
  UpdateScreenPosition();
  AlignPicture();
  PictureSize(Picture, PictureWidth, PictureHeight);
}

void TQelInterfaceObject::SetLeft(int32_t value) {
  if (HAlign != THAlignType::haNone) return;
  Invalidate();
  Left = value;
  UpdateScreenPosition();
}

void TQelInterfaceObject::SetTop(int32_t value) {
  if (VAlign != TVAlignType::vaNone) return;
  Invalidate();
  Top = value;
  UpdateScreenPosition();
}

void TQelInterfaceObject::SetWidth(int32_t value) {
  if (AutoSize != TAutoSizeType::asNone) return;
  Invalidate();
  Width = value;
  ApplyAlign();
  UpdateScreenPosition();
  AlignPicture();
}

void TQelInterfaceObject::SetHeight(int32_t value) {
  if (AutoSize != TAutoSizeType::asNone) return;
  Invalidate();
  Height = value;
  ApplyAlign();
  UpdateScreenPosition();
  AlignPicture();
}

void TQelInterfaceObject::SetAutoSize(TAutoSizeType value) {
  AutoSize = value;
  ApplyAutoSize();
  Invalidate();
  if (AutoSize == TAutoSizeType::asNone || AutoSize == TAutoSizeType::asPicture) {
    ApplyAlign();
    UpdateScreenPosition();
  }
}

void TQelInterfaceObject::SetPicture(const std::string& value) {
  Picture = value;
  if (AutoSize == TAutoSizeType::asCaption) return;
  Invalidate();
  ApplyAutoSize();
  ApplyAlign();
  UpdateScreenPosition();
  AlignPicture();
  PictureSize(Picture, PictureWidth, PictureHeight);
}

void TQelInterfaceObject::SetPictureAlpha(uint8_t value) {
  PictureAlpha = value;
  Invalidate();
}

void TQelInterfaceObject::SetPictureHAlign(TPictureHAlignType value) {
  PictureHAlign = value;
  AlignPicture();
}

void TQelInterfaceObject::SetPictureVAlign(TPictureVAlignType value) {
  PictureVAlign = value;
  AlignPicture();
}

void TQelInterfaceObject::SetHAlign(THAlignType value) {
  HAlign = value;
  Invalidate();
  ApplyAlign();
  UpdateScreenPosition();
}

void TQelInterfaceObject::SetVAlign(TVAlignType value) {
  VAlign = value;
  Invalidate();
  ApplyAlign();
  UpdateScreenPosition();
}

void TQelInterfaceObject::SetShiftLeft(int32_t value) {
  ShiftLeft = value;
  Invalidate();
  ApplyAlign();
  UpdateScreenPosition();
}

void TQelInterfaceObject::SetShiftTop(int32_t value) {
  ShiftTop = value;
  Invalidate();
  ApplyAlign();
  UpdateScreenPosition();
}

void TQelInterfaceObject::SetVisible(bool value) {
  Visible = value;
  Invalidate();
}

void TQelInterfaceObject::SetBumpMapPicture(const std::string& value) {
  BumpMapPicture = value;
  CurrentBumpMap = value;
}

void TQelInterfaceObject::SetPosition(int32_t x, int32_t y) {
  if (HAlign != THAlignType::haNone || VAlign != TVAlignType::vaNone) return;
  Invalidate();
  Left = x;
  Top = y;
  UpdateScreenPosition();
}

std::string TQelInterfaceObject::GetPictureList() const { return Picture; }

void TQelInterfaceObject::KeyDown(uint16_t&, TShiftState) {}
void TQelInterfaceObject::KeyPress(char16_t&) {}
void TQelInterfaceObject::KeyUp(uint16_t&, TShiftState) {}
void TQelInterfaceObject::MouseDown(TMouseButton, TShiftState, int32_t, int32_t) {}
void TQelInterfaceObject::MouseMove(TShiftState, int32_t x, int32_t y) { MouseOver = Contains(x, y); }
void TQelInterfaceObject::MouseUp(TMouseButton, TShiftState, int32_t, int32_t) {}
void TQelInterfaceObject::MouseWheel(TShiftState, int32_t, TPoint, bool&) {}
void TQelInterfaceObject::Animate(int32_t) {}

void TQelInterfaceObject::Draw() {
  if (IQelGraphic* g = Graphic()) {
    g->Draw(Picture, BumpMapPicture, BlendingMode, ScreenLeft + PictureLeft, ScreenTop + PictureTop, PictureAlpha,
            nullptr);
  }
}

// ---------------------------------------------------------------------------
// TQelFocusedObject

const TQelClass& TQelFocusedObject::StaticClass() {
  using T = TQelFocusedObject;
  static const TQelClass cls =
      TQelClass::Make<T>("TQelFocusedObject", &TQelInterfaceObject::StaticClass(), [](TPropertyList& p) {
        p.Bool("Focused", &T::Focused, &T::SetFocused);
        p.Integer("TabOrder", &T::TabOrder, &T::SetTabOrder);
      });
  return cls;
}

const TQelClass& TQelFocusedObject::ClassType() const { return StaticClass(); }

void TQelFocusedObject::SetFocused(bool value) {
  Focused = value;
  Invalidate();
}

void TQelFocusedObject::SetTabOrder(int32_t value) {
  TQelInterfaceEngine* engine = GetInterfaceEngine();
  if (!engine || engine->State == TQelInterfaceEngine::kReadingState) {
    TabOrder = value;
    return;
  }
  MoveInTabList(value);
}

void TQelFocusedObject::MoveInTabList(int32_t n) {
  TQelForm* form = ParentForm();
  if (!form) {
    TabOrder = n;
    return;
  }
  auto& list = form->TabList;
  int32_t last = static_cast<int32_t>(list.size()) - 1;
  n = std::max(0, std::min(n, last));
  // The widget's real place, which a description with repeated tab orders
  // may not match its TabOrder.
  auto it = std::find(list.begin(), list.end(), this);
  int32_t current = it == list.end() ? -1 : static_cast<int32_t>(it - list.begin());
  if (current != n) {
    if (current >= 0) form->RemoveTab(current);
    form->InsertTab(n, this);
  }
  TabOrder = n;
}

void TQelFocusedObject::MouseDown(TMouseButton, TShiftState, int32_t x, int32_t y) {
  Pressed = false;
  if (!Contains(x, y)) return;
  Pressed = true;
  TQelForm* form = ParentForm();
  if (form && form->TabList.size() == 1) {
    Focused = true;
    return;
  }
  if (form) {
    for (TQelFocusedObject* w : form->TabList) {
      if (w && w->Focused) {
        w->SetFocused(false);
        break;
      }
    }
  }
  Focused = true;
  Invalidate();
}

// ---------------------------------------------------------------------------
// TQelForm

TQelForm::TQelForm() = default;

TQelForm::~TQelForm() {
  ChildList.clear();
  TabList.clear();
}

const TQelClass& TQelForm::StaticClass() {
  using T = TQelForm;
  static const TQelClass cls =
      TQelClass::Make<T>("TQelForm", &TQelInterfaceObject::StaticClass(),
                         [](TPropertyList& p) { p.String("HeadLine", &T::GetHeadLine, &T::SetHeadLine); });
  return cls;
}

const TQelClass& TQelForm::ClassType() const { return StaticClass(); }

std::string TQelForm::GetHeadLine() const {
  return IntToStr(HeadLine.Left) + ";" + IntToStr(HeadLine.Top) + ";" + IntToStr(HeadLine.Right) + ";" +
         IntToStr(HeadLine.Bottom) + ";";
}

void TQelForm::SetHeadLine(const std::string& value) {
  int32_t* fields[] = {&HeadLine.Left, &HeadLine.Top, &HeadLine.Right, &HeadLine.Bottom};
  size_t next = 0;
  std::string collected;
  for (char c : value) {
    if (c != ';') {
      collected += c;
      continue;
    }
    if (next < 4) *fields[next++] = StrToInt(collected);
    collected.clear();
  }
}

void TQelForm::Assign(const TQelObject& source) {
  TQelInterfaceObject::Assign(source);
  const auto* s = dynamic_cast<const TQelForm*>(&source);
  if (!s) return;
  // Taken before ChildList is emptied, since a form may copy itself.
  std::vector<TQelInterfaceObject*> sourceChildren = s->ChildList;
  ChildList.clear();
  TQelInterfaceEngine* engine = GetInterfaceEngine();
  TWalkGuard guard(s->FDepth);
  if (!engine || !guard.Entered()) return;
  for (TQelInterfaceObject* child : sourceChildren) {
    int index = engine->CreateObject(Name() + child->Name(), Name(), child->ClassName());
    if (index < 0) continue;
    auto* made = dynamic_cast<TQelInterfaceObject*>(engine->Objects()[static_cast<size_t>(index)].get());
    if (!made) continue;
    made->Assign(*child);
    ChildList.push_back(made);
  }
  engine->LinkParents();
}

void TQelForm::SetName(const std::string& value) {
  TQelObject::SetName(value);
  // A refused rename leaves the children with their form.
  if (Name() != value) return;
  for (TQelInterfaceObject* child : ChildList) child->ParentName = Name();
}

std::string TQelForm::GetPictureList() const {
  std::vector<std::string> kept;
  TWalkGuard guard(FDepth);
  if (guard.Entered()) {
    for (const TQelInterfaceObject* child : ChildList) {
      for (std::string& line : SplitPictureLines(child->GetPictureList())) {
        if (line.empty() || std::find(kept.begin(), kept.end(), line) != kept.end()) continue;
        kept.push_back(std::move(line));
      }
    }
  }
  std::string result = Picture;
  for (const std::string& line : kept) {
    if (!result.empty()) result += "\r\n";
    result += line;
  }
  return result;
}

void TQelForm::UpdateScreenPosition() {
  TQelInterfaceObject::UpdateScreenPosition();
  RealignChildren();
}

void TQelForm::RealignChildren() {
  TWalkGuard guard(FRealignDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) ChildList[i]->Realign();
}

void TQelForm::DrawChildren() {
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) {
    if (ChildList[i]->Visible) ChildList[i]->Draw();
  }
}

void TQelForm::Draw() {
  TQelInterfaceObject::Draw();
  DrawChildren();
}

void TQelForm::Animate(int32_t now) {
  for (size_t i = 0; i < ChildList.size(); ++i) {
    const std::string& cls = ChildList[i]->ClassName();
    if (cls == "TQelMoving" || cls == "TQelEdit" || cls == "TQelHint") ChildList[i]->Animate(now);
  }
}

void TQelForm::BuildChildList() {
  ChildList.clear();
  TQelEngine* engine = GetEngine();
  if (!engine) return;
  for (const auto& object : engine->Objects()) {
    if (object.get() == this || object->ParentName != Name()) continue;
    if (auto* widget = dynamic_cast<TQelInterfaceObject*>(object.get())) ChildList.push_back(widget);
  }
}

void TQelForm::BuildTabList() {
  for (TQelInterfaceObject* child : ChildList) {
    auto* focused = dynamic_cast<TQelFocusedObject*>(child);
    if (!focused) continue;
    int32_t order = focused->TabOrder;
    if (order < 0 || order >= kMaxTabOrder) {
      Log::Write("[TQelForm.BuildTabList] TabOrder " + IntToStr(order) + " of \"" + focused->Name() +
                 "\" is out of range!");
      continue;
    }
    if (TabList.size() < static_cast<size_t>(order) + 1) TabList.resize(static_cast<size_t>(order) + 1, nullptr);
    TabList[static_cast<size_t>(order)] = focused;
  }
}

void TQelForm::InsertTab(int32_t index, TQelFocusedObject* widget) {
  if (index < 0) index = 0;
  if (static_cast<size_t>(index) >= TabList.size()) {
    TabList.push_back(widget);
    return;
  }
  TabList.insert(TabList.begin() + index, widget);
  for (size_t i = static_cast<size_t>(index) + 1; i < TabList.size(); ++i) {
    if (TabList[i]) TabList[i]->TabOrder = static_cast<int32_t>(i);
  }
}

void TQelForm::RemoveTab(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= TabList.size()) return;
  TabList.erase(TabList.begin() + index);
  for (size_t i = static_cast<size_t>(index); i < TabList.size(); ++i) {
    if (TabList[i]) TabList[i]->TabOrder = static_cast<int32_t>(i);
  }
}

namespace {

// The filled places of a tab list, in order.
std::vector<TQelFocusedObject*> FilledTabs(const std::vector<TQelFocusedObject*>& list) {
  std::vector<TQelFocusedObject*> filled;
  for (TQelFocusedObject* w : list) {
    if (w) filled.push_back(w);
  }
  return filled;
}

size_t FirstFocused(const std::vector<TQelFocusedObject*>& filled) {
  for (size_t i = 0; i < filled.size(); ++i) {
    if (filled[i]->Focused) return i;
  }
  return 0;
}

}  // namespace

void TQelForm::FocusNext() {
  std::vector<TQelFocusedObject*> filled = FilledTabs(TabList);
  if (filled.empty()) return;
  size_t i = FirstFocused(filled);
  size_t n = i + 1 == filled.size() ? 0 : i + 1;
  if (n == i) return;
  filled[n]->SetFocused(true);
  filled[i]->SetFocused(false);
}

void TQelForm::FocusPrev() {
  std::vector<TQelFocusedObject*> filled = FilledTabs(TabList);
  if (filled.empty()) return;
  size_t i = FirstFocused(filled);
  size_t p = i == 0 ? filled.size() - 1 : i - 1;
  if (p == i) return;
  filled[p]->SetFocused(true);
  filled[i]->SetFocused(false);
}

void TQelForm::KeyDown(uint16_t& key, TShiftState shift) {
  if (key == kVkTab) {
    if (shift & ssShift) {
      FocusPrev();
    } else {
      FocusNext();
    }
    return;
  }
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) {
    TQelInterfaceObject* child = ChildList[i];
    if (auto* focused = dynamic_cast<TQelFocusedObject*>(child)) {
      if (focused->Focused) {
        focused->KeyDown(key, shift);
        return;
      }
    } else if (dynamic_cast<TQelForm*>(child)) {
      child->KeyDown(key, shift);
    }
  }
}

void TQelForm::KeyPress(char16_t& key) {
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) ChildList[i]->KeyPress(key);
}

void TQelForm::KeyUp(uint16_t& key, TShiftState shift) {
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) ChildList[i]->KeyUp(key, shift);
}

void TQelForm::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (!Contains(x, y)) return;
  if (button == TMouseButton::mbLeft && ScreenLeft + HeadLine.Left < x && x < ScreenLeft + HeadLine.Right &&
      ScreenTop + HeadLine.Top < y && y < ScreenTop + HeadLine.Bottom) {
    Dragging = true;
    DragX = x;
    DragY = y;
    DragLeft = Left;
    DragTop = Top;
  }
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) {
    if (ChildList[i]->Visible) ChildList[i]->MouseDown(button, shift, x, y);
  }
}

void TQelForm::MouseMove(TShiftState shift, int32_t x, int32_t y) {
  if (Dragging && (shift & ssLeft)) {
    SetPosition(DragLeft + x - DragX, DragTop + y - DragY);
    RealignChildren();
    if (TQelInterfaceEngine* engine = GetInterfaceEngine()) engine->Changed = true;
  }
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) {
    if (ChildList[i]->Visible) ChildList[i]->MouseMove(shift, x, y);
  }
}

void TQelForm::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (!Contains(x, y)) return;
  Dragging = false;
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) {
    if (ChildList[i]->Visible) ChildList[i]->MouseUp(button, shift, x, y);
  }
}

void TQelForm::MouseWheel(TShiftState shift, int32_t wheelDelta, TPoint mousePos, bool& handled) {
  if (!Contains(mousePos.X, mousePos.Y)) return;
  TWalkGuard guard(FDepth);
  if (!guard.Entered()) return;
  for (size_t i = 0; i < ChildList.size(); ++i) {
    if (ChildList[i]->Visible) ChildList[i]->MouseWheel(shift, wheelDelta, mousePos, handled);
  }
}

// ---------------------------------------------------------------------------
// TQelTabForm

const TQelClass& TQelTabForm::StaticClass() {
  static const TQelClass cls = TQelClass::Make<TQelTabForm>(
      "TQelTabForm", &TQelForm::StaticClass(), [](TPropertyList& p) { p.Integer("TabGroup", &TQelTabForm::TabGroup); });
  return cls;
}

const TQelClass& TQelTabForm::ClassType() const { return StaticClass(); }

void TQelTabForm::Assign(const TQelObject& source) {
  TQelForm::Assign(source);
  if (const auto* s = dynamic_cast<const TQelTabForm*>(&source)) TabGroup = s->TabGroup;
}

void TQelTabForm::SetVisible(bool value) {
  if (value) {
    // Only tab forms of exactly this class and group under the same parent
    // take part; they are hidden without being redrawn.
    if (TQelForm* parent = ParentForm()) {
      for (TQelInterfaceObject* sibling : parent->ChildList) {
        if (sibling->ClassName() == "TQelTabForm" && static_cast<TQelTabForm*>(sibling)->TabGroup == TabGroup) {
          sibling->Visible = false;
        }
      }
    }
  }
  Visible = value;
  Invalidate();
}

}  // namespace qv
