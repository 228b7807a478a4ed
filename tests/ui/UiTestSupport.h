// Helpers for the interface toolkit's tests: descriptions written from a
// list of objects, and an engine bound to a recording host.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "FakeGraphic.h"
#include "foundation/QelException.h"
#include "ui/QelInterfaceEngine.h"

namespace qv::test {

// One "o" tag: its class and its "p" tags in order.
struct TObj {
  std::string Class;
  std::vector<std::pair<std::string, std::string>> Props;
};

// The text of an interface description (or language file) holding objs.
inline std::string Description(const std::vector<TObj>& objs, const std::string& version = {}) {
  std::string text = version.empty() ? "<QelInterface>\n" : "<QelInterface Version=\"" + version + "\">\n";
  for (const TObj& o : objs) {
    text += "<o c=\"" + o.Class + "\">\n";
    for (const auto& [name, value] : o.Props) text += "<p n=\"" + name + "\">" + value + "</p>\n";
    text += "</o>\n";
  }
  return text + "</QelInterface>\n";
}

// A focusable widget for the tests, creatable as "TTestFocused"; it keeps
// the keys it was given and counts its animation steps.
class TTestFocused : public TQelFocusedObject {
 public:
  static const TQelClass& StaticClass() {
    static const TQelClass cls = TQelClass::Make<TTestFocused>("TTestFocused", &TQelFocusedObject::StaticClass());
    return cls;
  }
  const TQelClass& ClassType() const override { return StaticClass(); }
  void KeyDown(uint16_t& key, TShiftState) override { Keys.push_back(key); }
  void KeyPress(char16_t& key) override { Chars.push_back(key); }
  void MouseUp(TMouseButton, TShiftState, int32_t x, int32_t y) override {
    if (Contains(x, y)) QueueScript(OnMouseUp, SoundMouseUp);
  }
  void Animate(int32_t now) override { Steps.push_back(now); }

  std::vector<uint16_t> Keys;
  std::u16string Chars;
  std::vector<int32_t> Steps;
};

// A widget whose class record is named "TQelMoving", as the real moving
// picture is, so that a form animates it.
class TTestMoving : public TTestFocused {
 public:
  static const TQelClass& StaticClass() {
    static const TQelClass cls = TQelClass::Make<TTestMoving>("TQelMoving", &TTestFocused::StaticClass());
    return cls;
  }
  const TQelClass& ClassType() const override { return StaticClass(); }
};

inline void RegisterTestClasses() {
  static const bool registered = [] {
    ClassReg().Register(TTestFocused::StaticClass());
    return true;
  }();
  (void)registered;
}

// An engine with a recording host and a screen of 800 x 600.
struct TEngineFixture {
  TEngineFixture() {
    RegisterTestClasses();
    engine.Graphic = &graphic;
  }

  template <class T = TQelInterfaceObject>
  T* W(std::string_view name) {
    return dynamic_cast<T*>(engine.FindObject(name));
  }

  TFakeGraphic graphic;
  TQelInterfaceEngine engine;
};

}  // namespace qv::test
