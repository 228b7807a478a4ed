// The interface engine: builds every window of the game from the interface
// description, applies defaults and language files (remembering what each
// language changed, so that it can be undone), keeps the stack of modal
// windows, routes input to the top window, runs the widgets' event scripts
// and draws the windows bottom to top through the host.
//
// The shell binds it after creating it: Graphic (the host), FontEngine,
// OwnerForm (the table of named handlers that "ExecMethod" calls) and
// Clipboard (used by the edit widget). Each frame the shell asks for
// GetChangedRects before DrawInterface, since drawing clears the widgets'
// change flags.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/MemoryStream.h"
#include "foundation/QelBaseClasses.h"
#include "foundation/QelParser.h"
#include "foundation/SFunctions.h"
#include "ui/QelFontEngine.h"
#include "ui/QelInterface.h"
#include "ui/QelInterfaceClasses.h"

namespace qv {

// The system clipboard as the edit widget sees it (declared with the edit).
class IQelClipboard;

// The handlers an owner publishes by name for "ExecMethod"; names compare
// without regard to ASCII case, and publishing a name again replaces its
// handler.
class TQelMethodTable {
 public:
  using Handler = std::function<void()>;

  void Publish(std::string name, Handler handler);
  // The handler of that name, or none.
  const Handler* Find(std::string_view name) const;
  // Calls the handler; false (and nothing happens) when none is published.
  bool Call(std::string_view name) const;
  void Clear() { FHandlers.clear(); }
  size_t Count() const { return FHandlers.size(); }

 private:
  std::vector<std::pair<std::string, Handler>> FHandlers;
};

class TQelInterfaceEngine : public TQelEngine {
 public:
  // The state text while the description's properties are applied.
  static constexpr std::string_view kReadingState = "osReadingState";

  TQelInterfaceEngine();
  ~TQelInterfaceEngine() override;

  // ---- the interface description and language files ----

  // Loads the interface description: creates the widgets (stopping at the
  // first structural error, which is logged), links parents, builds the
  // forms' child lists, applies defaults and properties, builds the tab
  // lists. Property errors reach the caller.
  void LoadFromStream(TMemoryStream& stream);
  void LoadFromText(std::string_view text);
  // Applies a language file, remembering each changed property's earlier
  // value. EInOutError when the file cannot be read; property errors reach
  // the caller.
  void LoadModifications(const std::filesystem::path& fileName);
  void LoadModificationsFromText(std::string_view text);
  // Sets every remembered property back to its remembered value.
  void RestoreModifications();
  // The engine's lines for the start-up log.
  std::string GetInfo() const;
  // Realign of every widget of the exact class TQelForm.
  void RealignForms();
  // Deletes the widget; no form, the modal stack or Sender keeps it.
  void DeleteObject(const std::string& name) override;
  // Frees every widget and empties the script queue, the remembered values
  // and the modal stack.
  void Clear() override;
  void BuildChildLists();
  void BuildTabLists();
  // The property pass over the parser's description; with recording, the
  // earlier values are remembered first (language files).
  void ApplyProperties(bool recording);
  // Remembers old as the value to restore, unless that property of that
  // object is remembered already; true when it was added.
  bool RememberProp(const std::string& object, const std::string& prop, const std::string& old);

  // The widget of that exact name, or none.
  TQelInterfaceObject* FindWidget(std::string_view name) const;

  // ---- the modal stack (window names match exactly) ----

  void ShowModal(std::string_view name);
  // Hides the windows above the named one and then the named one; a name
  // that is not on the stack does nothing.
  void HideModal(std::string_view name);
  void HideTopModal();
  void HideModalList();
  void ChangeModal(std::string_view hideName, std::string_view showName);
  void ChangeTopModal(std::string_view showName);
  TQelInterfaceObject* TopModal() const;

  // ---- input: the top window only, then the queued scripts ----

  void KeyDown(uint16_t& key, TShiftState shift);
  void KeyPress(char16_t& key);
  void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  void MouseMove(TShiftState shift, int32_t x, int32_t y);
  void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  void MouseWheel(TShiftState shift, int32_t wheelDelta, TPoint mousePos, bool& handled);

  // ---- scripts ----

  // Queues text as one script of commands, each ended by ";" outside double
  // quotes; Sender := the widget named senderName (or none).
  void AddScript(const std::string& senderName, std::string_view text);
  // Runs every queued script in order, then empties the queue. An error of
  // "SetProp" stops the run, empties the queue and reaches the caller.
  void ExecuteScripts();
  // Calls the owner's handler of that name; nothing when there is none.
  static void ExecMethod(const TQelMethodTable* owner, std::string_view methodName);
  void ClearScripts();

  // ---- drawing ----

  // Bump maps, then the visible windows bottom to top, each followed by the
  // host's PostFormDraw; then every change flag is cleared.
  void DrawInterface();
  void DrawBumpMaps();
  void ResetChanged();
  // Appends the old and new bounds of what changed since the last drawing:
  // a changed window, else its changed children and the changed children of
  // its unchanged child forms. Rects is not cleared.
  void GetChangedRects(TRects& rects) const;
  // The per-frame step of the top window and its visible child forms.
  void Animate(int32_t now);
  void Animate();

  // ---- state ----

  // Children: one "Script" tag (attribute "Sender") per queued script.
  TQelXMLTag ScriptQueue;
  // Children: one "ModProp" tag (attributes "Object", "Prop") per remembered value.
  TQelXMLTag ModProps;
  // Bottom first; not owned.
  std::vector<TQelInterfaceObject*> ModalStack;
  // Something changed since the last bump-map pass.
  bool Changed = false;
  // Holds the last loaded description or language file.
  TQelParser Parser;
  std::string State;
  // The widget that queued the script that runs now (or the last AddScript's).
  TQelInterfaceObject* Sender = nullptr;
  // Set by the shell; not owned.
  TQelMethodTable* OwnerForm = nullptr;
  IQelClipboard* Clipboard = nullptr;
  IQelGraphic* Graphic = nullptr;
  TQelFontEngine* FontEngine = nullptr;

  // The description's Version attribute and the log line made from it.
  std::string DescriptionVersion;
  std::string DescriptionInfoLine;

 private:
  void CreateInterfaceObjects();
  void ApplyDefaultLine(const std::string& line);
  void RunCommand(const TQelXMLTag& command);
  void ForgetWidget(TQelInterfaceObject* widget);
};

// Splits a default line "Class;Property;Value" (class and property trimmed,
// the value as it stands); empty when a ";" is missing.
std::vector<std::string> DefLinePars(std::string_view line);

// Registers the creatable interface classes with the class registry, in
// this order: TQelFont, then TQelForm, TQelTabForm, TQelLabel, TQelCheckBox,
// TQelRadioButton, TQelEdit, TQelSlider, TQelGrid, TQelProgressBar,
// TQelRichLabel, TQelHint, TQelMoving. Later calls do nothing.
void RegisterInterfaceClasses();

}  // namespace qv
