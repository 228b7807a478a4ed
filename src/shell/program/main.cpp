// The game program: builds the shell on the real display, events, desktop
// and interface, and runs it. The program folder is the executable's own.
#include <filesystem>
#include <string>
#include <vector>

#include "shell/Shell.h"

int main(int argc, char** argv) {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) exe = std::filesystem::absolute(argc > 0 ? argv[0] : "quorvane", ec);

  qv::TShellParts parts;
  parts.ProgramFolder = exe.parent_path();
  parts.Display = qv::CreateDisplay();
  parts.Events = qv::CreateEventSource();
  parts.Desktop = qv::CreateDesktop();
  for (int i = 1; i < argc; ++i) parts.Args.emplace_back(argv[i]);

  qv::TShell shell(std::move(parts));
  return shell.Run();
}
