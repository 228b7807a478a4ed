// The program's log file "Quorvane.log" in the program folder: deleted at
// every start, then one "{m:s:ms} message" line appended per message.
#pragma once

#include <filesystem>
#include <string>

namespace qv {

// The file name of the log.
inline constexpr const char* kLogFileName = "Quorvane.log";

// Deletes the old log, starts the log's clock now and sends every further
// line of the process log to the file. Lines written before this call (kept
// in memory) are dropped: they belong to no start of the game.
void StartLogFile(const std::filesystem::path& programFolder);
// Sends the log back to memory (the file stays).
void StopLogFile();

// Appends one formatted line to the file; nothing is thrown when the file
// cannot be written (a game must not die of its log).
void AppendLogLine(const std::filesystem::path& file, const std::string& line);

}  // namespace qv
