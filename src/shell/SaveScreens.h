// The load and save windows: their lists of the saves folder, loading a
// named game into the right screen, saving under a typed name (asking
// before a file is replaced), deleting, and the quick and automatic saves.
#pragma once

#include <string>

namespace qv {

class TShell;
class TScreenRoad;

class TSaveScreens {
 public:
  explicit TSaveScreens(TShell& shell) : Sh(shell) {}
  // The between-level window is laid out by the road after a loaded map.
  TScreenRoad* Road = nullptr;

  void Publish();

  // Fills a window's grid from the saves folder and puts its selected text
  // into the window's edit field.
  void FillList(const std::string& window);
  // The edit field takes the grid's selected text.
  void TakeSelection(const std::string& window);
  void LoadNamed();
  void SaveNamed();
  void ReplaceConfirmed();
  void AskDelete();
  void DeleteConfirmed();
  void QuickSave();
  void AutoSave();

 private:
  // The window whose edit field names the file: the load window when it is
  // on top, else the save window.
  std::string NamingWindow();
  void SaveTo(const std::string& name);

  TShell& Sh;
};

}  // namespace qv
