// A recording stand-in for the interface engine and a shell wired to it on
// a headless display, with a manual clock, for tests of the frame and input.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Clock.h"
#include "platform/Desktop.h"
#include "platform/Events.h"
#include "platform/HeadlessDisplay.h"
#include "shell/HeadlessParts.h"
#include "shell/ResourceLoading.h"
#include "shell/Shell.h"
#include "shell/ShellInterface.h"
#include "shell/ShellTempDir.h"

namespace qv::test {

class FakeInterface : public IShellInterface {
 public:
  void MouseDown(int, uint32_t, int32_t x, int32_t y) override { Calls.push_back("MouseDown " + Point(x, y)); }
  void MouseMove(uint32_t, int32_t x, int32_t y) override { Calls.push_back("MouseMove " + Point(x, y)); }
  void MouseUp(int, uint32_t, int32_t x, int32_t y) override { Calls.push_back("MouseUp " + Point(x, y)); }
  void MouseWheel(uint32_t, int32_t delta, int32_t, int32_t) override {
    Calls.push_back("MouseWheel " + std::to_string(delta));
  }
  void KeyDown(uint16_t key, uint32_t) override { Calls.push_back("KeyDown " + std::to_string(key)); }
  void KeyPress(char32_t c) override { Calls.push_back("KeyPress " + std::to_string(uint32_t(c))); }
  void GetChangedRects(TRects& rects) override {
    rects.insert(rects.end(), Changed.begin(), Changed.end());
    Changed.clear();
  }
  void DrawInterface() override { ++Draws; }
  void DrawForm(std::string_view form) override { Calls.push_back("DrawForm " + std::string(form)); }
  void Animate(int32_t) override {}
  void ShowModal(std::string_view form) override { Stack.emplace_back(form); }
  void HideModal() override {
    if (!Stack.empty()) Stack.pop_back();
  }
  void HideModalList() override { Stack.clear(); }
  void ClearScripts() override {}
  void RealignForms() override {}
  std::string TopWindow() override { return Stack.empty() ? std::string() : Stack.back(); }
  bool Exists(std::string_view name) override { return Widgets.count(std::string(name)) > 0; }
  std::string GetProp(std::string_view name, std::string_view prop) override {
    auto w = Widgets.find(std::string(name));
    if (w == Widgets.end()) return {};
    auto p = w->second.find(std::string(prop));
    return p == w->second.end() ? std::string() : p->second;
  }
  void SetProp(std::string_view name, std::string_view prop, std::string_view value) override {
    auto w = Widgets.find(std::string(name));
    if (w != Widgets.end()) w->second[std::string(prop)] = std::string(value);
  }
  std::string SenderName() override { return Sender; }
  bool CreateWidget(std::string_view, std::string_view name, std::string_view parent, std::string_view) override {
    Widgets[std::string(name)]["Parent"] = std::string(parent);
    return true;
  }
  void LoadFont(TMemoryStream&) override {}
  void LoadDescription(TMemoryStream&) override {}
  std::string GetInfo() override { return "Fake interface"; }
  void RestoreModifications() override {}
  void LoadModifications(const std::string&) override {}
  int32_t TextWidth(std::string_view text) override { return int32_t(text.size()) * 8; }
  int32_t TextHeight() override { return 16; }
  void TextOut(std::string_view, std::string_view, int32_t, int32_t, uint8_t, uint32_t) override {}
  void DrawWidget(std::string_view) override {}
  void Publish(std::string name, std::function<void()> handler) override { Handlers[name] = std::move(handler); }
  bool CallHandler(std::string_view name) override {
    auto h = Handlers.find(std::string(name));
    if (h == Handlers.end()) return false;
    h->second();
    return true;
  }

  std::vector<std::string> Calls;
  TRects Changed;
  int Draws = 0;
  std::vector<std::string> Stack;
  std::map<std::string, std::map<std::string, std::string>> Widgets;
  std::map<std::string, std::function<void()>> Handlers;
  std::string Sender;

 private:
  static std::string Point(int32_t x, int32_t y) { return std::to_string(x) + "," + std::to_string(y); }
};

// A shell on a headless window with the work surfaces and a 41-pixel cursor
// strip of height 40, without the start-up.
struct ShellRig {
  explicit ShellRig(bool withDisplay = true) : Dir("rig") {
    SetClock(&Clock);
    HeadlessParts headless(Dir.Path);
    TShellParts& parts = headless.Parts;
    Display = headless.Display;
    Events = headless.Events;
    auto desktop = std::make_unique<THeadlessDesktop>();
    Desktop = desktop.get();
    parts.Desktop = std::move(desktop);
    auto ui = std::make_unique<FakeInterface>();
    UI = ui.get();
    parts.Interface = std::move(ui);
    Shell = std::make_unique<TShell>(std::move(parts));
    if (withDisplay) OpenDisplay();
  }
  ~ShellRig() {
    Shell.reset();
    SetClock(nullptr);
  }

  void OpenDisplay() {
    std::string error;
    ASSERT_TRUE(Shell->InitDirectDraw(32, error)) << error;
    Shell->Engine.Create(Display, Display->PrimarySurface(), 800, 600);
    Shell->EngineBuilt = true;
    CreateWorkSurfaces(Shell->Engine);
    ASSERT_TRUE(Shell->Engine.CreateEmptySurface("cursor_line.png", 30 * 41, 40));
    Shell->Engine.CreateAlphaBuffer("cursor_line.png", 255);
    Shell->SetCursorPicture("cursor_line.png");
    Shell->Active = true;
    Shell->Idling = true;
  }

  ManualClock Clock;
  TempDir Dir;
  THeadlessDisplay* Display = nullptr;
  THeadlessEvents* Events = nullptr;
  THeadlessDesktop* Desktop = nullptr;
  FakeInterface* UI = nullptr;
  std::unique_ptr<TShell> Shell;
};

}  // namespace qv::test
