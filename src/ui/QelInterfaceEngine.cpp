#include "ui/QelInterfaceEngine.h"

#include <algorithm>

#include "foundation/Clock.h"
#include "foundation/Log.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

const std::string kCreatePrefix = "[TQelInterfaceEngine.CreateInterfaceObjects] ";

[[noreturn]] void StructureError(const std::string& text) { throw Exception(kCreatePrefix + text); }

[[noreturn]] void ObjectError(const std::string& className, const std::string& text) {
  throw Exception(kCreatePrefix + "[ClassName:" + className + "] " + text);
}

const TQelParserAttribute* FirstAttribute(const TQelXMLTag& tag) { return tag.GetAttribute(0); }

// The text of an attribute, or none.
const std::string* AttributeValue(const TQelXMLTag& tag, std::string_view name) {
  const TQelParserAttribute* a = tag.FindAttribute(name);
  return a ? &a->Value : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// TQelMethodTable

void TQelMethodTable::Publish(std::string name, Handler handler) {
  for (auto& entry : FHandlers) {
    if (SameTextAscii(entry.first, name)) {
      entry.second = std::move(handler);
      return;
    }
  }
  FHandlers.emplace_back(std::move(name), std::move(handler));
}

const TQelMethodTable::Handler* TQelMethodTable::Find(std::string_view name) const {
  for (const auto& entry : FHandlers) {
    if (SameTextAscii(entry.first, name)) return &entry.second;
  }
  return nullptr;
}

bool TQelMethodTable::Call(std::string_view name) const {
  const Handler* handler = Find(name);
  if (!handler || !*handler) return false;
  // A copy, so that a handler that publishes again does not pull the
  // running function out from under itself.
  Handler run = *handler;
  run();
  return true;
}

// ---------------------------------------------------------------------------
// TQelInterfaceEngine

TQelInterfaceEngine::TQelInterfaceEngine() : ScriptQueue("ScriptQueue"), ModProps("ModProps") {
  RegisterInterfaceClasses();
}

TQelInterfaceEngine::~TQelInterfaceEngine() {
  ModalStack.clear();
  Sender = nullptr;
  Graphic = nullptr;
  // Freed here, while the widgets can still reach a whole engine.
  TQelEngine::Clear();
}

TQelInterfaceObject* TQelInterfaceEngine::FindWidget(std::string_view name) const {
  return dynamic_cast<TQelInterfaceObject*>(FindObject(name));
}

// ---- the interface description ----

void TQelInterfaceEngine::LoadFromText(std::string_view text) {
  TMemoryStream stream;
  stream.WriteString(text);
  stream.SetPosition(0);
  LoadFromStream(stream);
}

void TQelInterfaceEngine::LoadFromStream(TMemoryStream& stream) {
  Parser.LoadFromStream(stream);
  if (const TQelXMLTag* top = Parser.GetTag(0)) {
    if (const std::string* version = AttributeValue(*top, "Version")) {
      DescriptionVersion = *version;
      DescriptionInfoLine = "QelInterafce XML file: V" + *version;
    }
  }
  CreateInterfaceObjects();
  LinkParents();
  BuildChildLists();
  State = std::string(kReadingState);
  try {
    ApplyProperties(false);
  } catch (...) {
    State.clear();
    throw;
  }
  State.clear();
  BuildTabLists();
  for (const auto& object : FObjects) {
    if (auto* widget = dynamic_cast<TQelInterfaceObject*>(object.get())) widget->Changed = false;
  }
}

void TQelInterfaceEngine::CreateInterfaceObjects() {
  // The first structural error ends creation; the widgets made so far stay.
  // The message is logged so that a content author can see why a window is
  // missing.
  try {
    if (Parser.TagCount() == 0) StructureError("XML file does not has tags!");
    const TQelXMLTag* top = Parser.GetTag(0);
    if (top->TagCount() == 0) return;
    if (top->Name != "QelInterface") StructureError("XML file does not has \"QelInterface\" tag!");
    for (int i = 0; i < top->TagCount(); ++i) {
      const TQelXMLTag* o = top->GetTag(i);
      if (o->Name != "o") StructureError("QelInterface XML file contains wrong tag!");
      if (o->AttributeCount() != 1) StructureError("Tag <o> has wrong number of attributes!");
      if (FirstAttribute(*o)->Name != "c") StructureError("Tag <o> does not has \"c\" attribute!");
      if (o->TagCount() == 0) StructureError("Tag <o> does not has subtags!");
      const std::string className = FirstAttribute(*o)->Value;
      const bool defaults = className == "TQelDefaults";
      std::string name;
      std::string parentName;
      // Default lines may add "p" tags to this very object; the count is
      // read again at every step.
      for (int j = 0; j < o->TagCount(); ++j) {
        const TQelXMLTag* p = o->GetTag(j);
        if (p->Name != "p") ObjectError("TQelInterfaceEngine", "Tag <o> contains wrong subtag!");
        if (p->AttributeCount() != 1) ObjectError("TQelInterfaceEngine", "Tag <p> has wrong number of attributes!");
        const TQelParserAttribute* n = FirstAttribute(*p);
        if (n->Name != "n") ObjectError("TQelInterfaceEngine", "Tag <p> does not has \"n\" attribute!");
        if (defaults) {
          if (n->Value != "DefLine") ObjectError("TQelDefaults", "Tag <p> has wrong \"n\" attribute value!");
          ApplyDefaultLine(p->Text);
        } else if (n->Value == "ParentName") {
          parentName = p->Text;
        } else if (n->Value == "Name") {
          name = p->Text;
        }
      }
      if (defaults) continue;
      if (name.empty() || parentName.empty()) {
        ObjectError(className, "Attribute <n> does not has Name: \"ParentName\" or \"Name\"!");
      }
      if (CreateObject(name, parentName, className) < 0) {
        Log::Write(kCreatePrefix + "[ClassName:" + className + "] Class is not registered!");
      }
    }
  } catch (const Exception& e) {
    Log::Write(e.what());
  }
}

std::vector<std::string> DefLinePars(std::string_view line) {
  size_t first = line.find(';');
  if (first == std::string_view::npos) return {};
  size_t second = line.find(';', first + 1);
  if (second == std::string_view::npos) return {};
  std::vector<std::string> parts{Trim(line.substr(0, first)), Trim(line.substr(first + 1, second - first - 1))};
  // An empty value is no line of its own.
  std::string_view value = line.substr(second + 1);
  if (!value.empty()) parts.emplace_back(value);
  return parts;
}

void TQelInterfaceEngine::ApplyDefaultLine(const std::string& line) {
  std::vector<std::string> parts = DefLinePars(line);
  if (parts.size() != 3) {
    Log::Write("[TQelInterfaceEngine.ApplyDefaultLine] DefLine does not have 3 parameters!");
    return;
  }
  const std::string& cls = parts[0];
  const std::string& prop = parts[1];
  TQelXMLTag* top = Parser.GetTag(0);
  if (!top) return;
  for (int i = 0; i < top->TagCount(); ++i) {
    TQelXMLTag* o = top->GetTag(i);
    const TQelParserAttribute* c = FirstAttribute(*o);
    if (o->Name != "o" || !c || c->Name != "c" || c->Value != cls || o->TagCount() == 0) continue;
    bool stated = false;
    for (const auto& p : o->Tags) {
      const TQelParserAttribute* n = FirstAttribute(*p);
      if (p->Name == "p" && n && n->Name == "n" && n->Value == prop) {
        stated = true;
        break;
      }
    }
    if (!stated) o->AddTag("p", parts[2])->AddAttribute("n", prop);
  }
}

void TQelInterfaceEngine::ApplyProperties(bool recording) {
  const TQelXMLTag* top = nullptr;
  for (const auto& tag : Parser.Tags) {
    if (tag->Name == "QelInterface") {
      top = tag.get();
      break;
    }
  }
  if (!top) return;
  // Descriptions rely on the defaults object being the first object.
  int start = 0;
  if (!recording && top->FindTagByQuery("o(c\"TQelDefaults\")")) start = 1;
  for (int i = start; i < top->TagCount(); ++i) {
    const TQelXMLTag* o = top->GetTag(i);
    if (o->Name != "o" || o->TagCount() == 0) continue;
    const std::string* objectName = nullptr;
    for (const auto& p : o->Tags) {
      const TQelParserAttribute* n = FirstAttribute(*p);
      // A malformed object ends the whole pass.
      if (p->Name != "p" || p->AttributeCount() != 1 || n->Name != "n") return;
      if (n->Value == "Name") objectName = &p->Text;
    }
    if (!objectName) continue;
    const std::string name = *objectName;
    TQelObject* object = FindObject(name);
    if (!object) continue;
    for (const auto& p : o->Tags) {
      const std::string& prop = FirstAttribute(*p)->Value;
      if (recording && prop != "Name") RememberProp(name, prop, PropValueToText(GetPropValue(*object, prop)));
      SetPropValue(*object, prop, p->Text);
    }
  }
}

bool TQelInterfaceEngine::RememberProp(const std::string& object, const std::string& prop, const std::string& old) {
  for (const auto& entry : ModProps.Tags) {
    const std::string* o = AttributeValue(*entry, "Object");
    const std::string* p = AttributeValue(*entry, "Prop");
    if (o && p && *o == object && *p == prop) return false;
  }
  TQelXMLTag* entry = ModProps.AddTag("ModProp", old);
  entry->AddAttribute("Object", object);
  entry->AddAttribute("Prop", prop);
  return true;
}

void TQelInterfaceEngine::LoadModifications(const std::filesystem::path& fileName) {
  Parser.LoadFromFile(fileName);
  ApplyProperties(true);
}

void TQelInterfaceEngine::LoadModificationsFromText(std::string_view text) {
  Parser.LoadFromText(text);
  ApplyProperties(true);
}

void TQelInterfaceEngine::RestoreModifications() {
  for (size_t i = 0; i < FObjects.size(); ++i) {
    TQelObject* object = FObjects[i].get();
    const std::string name = PropValueToText(GetPropValue(*object, "Name"));
    for (const auto& entry : ModProps.Tags) {
      const std::string* o = AttributeValue(*entry, "Object");
      const std::string* p = AttributeValue(*entry, "Prop");
      if (o && p && *o == name) SetPropValue(*object, *p, entry->Text);
    }
  }
}

std::string TQelInterfaceEngine::GetInfo() const {
  return "QelInterfaceInfo:\r\n\t\t" + DescriptionInfoLine +
         "\r\n\t\tQelInterfaceEngine: V3.01 (19.04.05)"
         "\r\n\t\tQelInterfaceClasses: V3.04 (21.04.05)";
}

void TQelInterfaceEngine::RealignForms() {
  for (size_t i = 0; i < FObjects.size(); ++i) {
    if (FObjects[i]->ClassName() == "TQelForm") static_cast<TQelForm*>(FObjects[i].get())->Realign();
  }
}

void TQelInterfaceEngine::BuildChildLists() {
  for (const auto& object : FObjects) {
    if (auto* form = dynamic_cast<TQelForm*>(object.get())) form->BuildChildList();
  }
}

void TQelInterfaceEngine::BuildTabLists() {
  for (const auto& object : FObjects) {
    if (auto* form = dynamic_cast<TQelForm*>(object.get())) form->BuildTabList();
  }
}

void TQelInterfaceEngine::ForgetWidget(TQelInterfaceObject* widget) {
  ModalStack.erase(std::remove(ModalStack.begin(), ModalStack.end(), widget), ModalStack.end());
  if (Sender == widget) Sender = nullptr;
  for (const auto& object : FObjects) {
    auto* form = dynamic_cast<TQelForm*>(object.get());
    if (!form) continue;
    auto& children = form->ChildList;
    children.erase(std::remove(children.begin(), children.end(), widget), children.end());
    auto it = std::find(form->TabList.begin(), form->TabList.end(), widget);
    if (it != form->TabList.end()) form->RemoveTab(static_cast<int32_t>(it - form->TabList.begin()));
  }
}

void TQelInterfaceEngine::DeleteObject(const std::string& name) {
  int index = IndexOfObject(name);
  if (index < 0) return;
  TQelObject* object = FObjects[static_cast<size_t>(index)].get();
  TQelForm* parent = dynamic_cast<TQelForm*>(object->Parent());
  if (parent == object) parent = nullptr;
  // No form, the stack or Sender may keep a freed widget.
  if (auto* widget = dynamic_cast<TQelInterfaceObject*>(object)) ForgetWidget(widget);
  DeleteObjectAt(index);
  if (parent) parent->BuildChildList();
}

void TQelInterfaceEngine::Clear() {
  ModalStack.clear();
  Sender = nullptr;
  TQelEngine::Clear();
  ScriptQueue.ClearTags();
  ModProps.ClearTags();
}

// ---- the modal stack ----

TQelInterfaceObject* TQelInterfaceEngine::TopModal() const { return ModalStack.empty() ? nullptr : ModalStack.back(); }

void TQelInterfaceEngine::ShowModal(std::string_view name) {
  for (TQelInterfaceObject* w : ModalStack) {
    if (w->Name() == name) return;
  }
  TQelInterfaceObject* widget = FindWidget(name);
  if (!widget) return;
  widget->SetVisible(true);
  ModalStack.push_back(widget);
  widget->Invalidate();
  Changed = true;
}

void TQelInterfaceEngine::HideModal(std::string_view name) {
  // A name that is not on the stack hides nothing (the walk would otherwise
  // empty the whole stack looking for it).
  auto found = std::find_if(ModalStack.rbegin(), ModalStack.rend(),
                            [&](const TQelInterfaceObject* w) { return w->Name() == name; });
  if (found == ModalStack.rend()) return;
  while (ModalStack.back()->Name() != name) {
    ModalStack.back()->SetVisible(false);
    ModalStack.pop_back();
  }
  TQelInterfaceObject* hidden = ModalStack.back();
  TRect bounds = hidden->Bounds();
  hidden->SetVisible(false);
  ModalStack.pop_back();
  if (TQelInterfaceObject* top = TopModal()) {
    top->OldRect = bounds;
    top->Changed = true;
  }
  Changed = true;
}

void TQelInterfaceEngine::HideTopModal() {
  if (ModalStack.empty()) return;
  const std::string name = ModalStack.back()->Name();
  HideModal(name);
}

void TQelInterfaceEngine::HideModalList() {
  if (ModalStack.empty()) return;
  const std::string name = ModalStack.front()->Name();
  HideModal(name);
}

void TQelInterfaceEngine::ChangeModal(std::string_view hideName, std::string_view showName) {
  bool onStack = std::any_of(ModalStack.begin(), ModalStack.end(),
                             [&](const TQelInterfaceObject* w) { return w->Name() == hideName; });
  if (!onStack) return;
  const std::string hide(hideName);
  const std::string show(showName);
  // Window by window, so that each uncovered window learns what covered it.
  while (ModalStack.back()->Name() != hide) HideTopModal();
  HideTopModal();
  ShowModal(show);
  if (TQelInterfaceObject* top = TopModal()) top->Invalidate();
  Changed = true;
}

void TQelInterfaceEngine::ChangeTopModal(std::string_view showName) {
  if (ModalStack.empty()) return;
  const std::string hide = ModalStack.back()->Name();
  ChangeModal(hide, showName);
}

// ---- input ----

void TQelInterfaceEngine::KeyDown(uint16_t& key, TShiftState shift) {
  if (ModalStack.empty()) return;
  TopModal()->KeyDown(key, shift);
  ExecuteScripts();
}

void TQelInterfaceEngine::KeyPress(char16_t& key) {
  if (ModalStack.empty()) return;
  TopModal()->KeyPress(key);
  ExecuteScripts();
}

void TQelInterfaceEngine::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (ModalStack.empty()) return;
  TopModal()->MouseDown(button, shift, x, y);
  ExecuteScripts();
}

void TQelInterfaceEngine::MouseMove(TShiftState shift, int32_t x, int32_t y) {
  if (ModalStack.empty()) return;
  TopModal()->MouseMove(shift, x, y);
  ExecuteScripts();
}

void TQelInterfaceEngine::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (ModalStack.empty()) return;
  TopModal()->MouseUp(button, shift, x, y);
  ExecuteScripts();
}

void TQelInterfaceEngine::MouseWheel(TShiftState shift, int32_t wheelDelta, TPoint mousePos, bool& handled) {
  if (ModalStack.empty()) return;
  TopModal()->MouseWheel(shift, wheelDelta, mousePos, handled);
  ExecuteScripts();
}

// ---- scripts ----

void TQelInterfaceEngine::AddScript(const std::string& senderName, std::string_view text) {
  if (text.empty()) return;
  TQelXMLTag* script = ScriptQueue.AddTag("Script");
  script->AddAttribute("Sender", senderName);
  Sender = FindWidget(senderName);
  bool quoted = false;
  std::string command;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      command += c;
    } else if (c == ';' && !quoted) {
      script->AddTagByString(command);
      command.clear();
    } else {
      command += c;
    }
  }
  // Text after the last ";" is no command.
}

void TQelInterfaceEngine::ClearScripts() { ScriptQueue.ClearTags(); }

void TQelInterfaceEngine::ExecMethod(const TQelMethodTable* owner, std::string_view methodName) {
  if (owner) owner->Call(methodName);
}

void TQelInterfaceEngine::ExecuteScripts() {
  // The scripts present now are taken out of the queue, so that a command
  // that clears or refills the queue (or the whole engine) cannot pull them
  // from under the run; what is queued meanwhile is dropped afterwards.
  std::vector<std::unique_ptr<TQelXMLTag>> scripts = std::move(ScriptQueue.Tags);
  ScriptQueue.Tags.clear();
  try {
    for (const auto& script : scripts) {
      const std::string* sender = AttributeValue(*script, "Sender");
      Sender = sender ? FindWidget(*sender) : nullptr;
      for (const auto& command : script->Tags) RunCommand(*command);
    }
  } catch (...) {
    // Nothing queued before the error runs at a later event.
    ScriptQueue.ClearTags();
    throw;
  }
  ScriptQueue.ClearTags();
}

void TQelInterfaceEngine::RunCommand(const TQelXMLTag& command) {
  const std::string& name = command.Name;
  if (name == "PlaySound") {
    if (const std::string* sound = AttributeValue(command, "Sound")) {
      if (Graphic) Graphic->PlaySound(*sound);
    }
  } else if (name == "ShowModal") {
    if (const std::string* form = AttributeValue(command, "Form")) ShowModal(*form);
  } else if (name == "HideModal") {
    if (command.AttributeCount() == 0) {
      HideTopModal();
    } else if (const std::string* form = AttributeValue(command, "Form")) {
      HideModal(*form);
    }
  } else if (name == "HideModalList") {
    if (command.AttributeCount() == 0) HideModalList();
  } else if (name == "ChangeModal") {
    const std::string* show = AttributeValue(command, "ShowForm");
    if (command.AttributeCount() >= 2) {
      const std::string* hide = AttributeValue(command, "HideForm");
      if (hide && show) ChangeModal(*hide, *show);
    } else if (command.AttributeCount() == 1 && show) {
      ChangeTopModal(*show);
    }
  } else if (name == "ExecMethod") {
    if (const std::string* method = AttributeValue(command, "Method")) ExecMethod(OwnerForm, *method);
  } else if (name == "SetProp") {
    const std::string* object = AttributeValue(command, "Object");
    const std::string* prop = AttributeValue(command, "Prop");
    const std::string* value = AttributeValue(command, "Value");
    if (!object || !prop || !value) return;
    if (TQelInterfaceObject* widget = FindWidget(*object)) SetPropValue(*widget, *prop, *value);
  }
}

// ---- drawing ----

void TQelInterfaceEngine::DrawInterface() {
  DrawBumpMaps();
  for (size_t i = 0; i < ModalStack.size(); ++i) {
    TQelInterfaceObject* window = ModalStack[i];
    if (!window->Visible) continue;
    window->Draw();
    if (Graphic) Graphic->PostFormDraw(window->Name());
  }
  ResetChanged();
}

void TQelInterfaceEngine::DrawBumpMaps() {
  if (ModalStack.empty() || !Changed) return;
  if (Graphic) {
    for (TQelInterfaceObject* window : ModalStack) {
      if (!window->Visible) continue;
      Graphic->DrawBumpMap(window->Picture, window->CurrentBumpMap, window->ScreenLeft, window->ScreenTop);
      auto* form = dynamic_cast<TQelForm*>(window);
      if (!form) continue;
      for (TQelInterfaceObject* child : form->ChildList) {
        if (child->Visible)
          Graphic->DrawBumpMap(child->Picture, child->CurrentBumpMap, child->ScreenLeft, child->ScreenTop);
      }
    }
  }
  Changed = false;
}

void TQelInterfaceEngine::ResetChanged() {
  for (const auto& object : FObjects) {
    if (auto* widget = dynamic_cast<TQelInterfaceObject*>(object.get())) {
      widget->Changed = false;
      widget->ResetOldRect();
    }
  }
}

namespace {

void AddChangedChild(TRects& rects, const TQelInterfaceObject& child) {
  if (!child.Changed) return;
  TRect bounds = child.Bounds();
  rects.push_back(bounds);
  if (child.OldRect != bounds) rects.push_back(child.OldRect);
}

}  // namespace

void TQelInterfaceEngine::GetChangedRects(TRects& rects) const {
  for (const TQelInterfaceObject* window : ModalStack) {
    if (window->Changed) {
      rects.push_back(window->OldRect);
      rects.push_back(window->Bounds());
      continue;
    }
    const auto* form = dynamic_cast<const TQelForm*>(window);
    if (!form) continue;
    for (const TQelInterfaceObject* child : form->ChildList) {
      AddChangedChild(rects, *child);
      const auto* panel = dynamic_cast<const TQelForm*>(child);
      if (!panel || panel->Changed) continue;
      for (const TQelInterfaceObject* grandChild : panel->ChildList) AddChangedChild(rects, *grandChild);
    }
  }
}

void TQelInterfaceEngine::Animate(int32_t now) {
  TQelInterfaceObject* top = TopModal();
  if (!top || !top->Visible) return;
  top->Animate(now);
  auto* form = dynamic_cast<TQelForm*>(top);
  if (!form) return;
  for (size_t i = 0; i < form->ChildList.size(); ++i) {
    TQelInterfaceObject* child = form->ChildList[i];
    if (child->Visible && dynamic_cast<TQelForm*>(child)) child->Animate(now);
  }
}

void TQelInterfaceEngine::Animate() { Animate(GetTickCount()); }

}  // namespace qv
