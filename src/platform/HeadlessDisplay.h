// A display without a screen: the primary surface lives in memory, the
// commits are recorded, and the picture shown last can be written as a PNG.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/Display.h"

namespace qv {

class THeadlessDisplay : public TDisplay {
 public:
  // The desktop's format is what a window gets.
  explicit THeadlessDisplay(const TPixelFormat& desktop = kFormatXRGB8888) : desktop_(desktop) {}

  bool Open(const TDisplayMode& mode, std::string& errorText) override;
  void Close() override;
  void Commit(const std::vector<TDisplayRect>& changed = {}) override;
  void SetCaption(const std::string& caption) override { caption_ = caption; }

  // What the window's system reports as visible (screen coordinates).
  void SetClipList(std::vector<TDisplayRect> rects) { clipper_.SetClipList(std::move(rects)); }

  const std::string& Caption() const { return caption_; }
  int CommitCount() const { return commitCount_; }
  // The changed rectangles given to each commit, in order; after 4096
  // commits the oldest half is dropped each time the list is full.
  const std::vector<std::vector<TDisplayRect>>& Commits() const { return commits_; }
  // What the screen shows (null before the first commit). Every writer of
  // the primary surface commits what it wrote, so the primary surface itself
  // is that picture; which parts each commit showed is in Commits.
  const TDisplaySurface* LastFrame() const { return shown_ ? primary_.get() : nullptr; }
  // The picture of the last commit, as 24-bit RGB. False when nothing was
  // shown yet or the file cannot be written.
  bool WriteShownPNG(const std::filesystem::path& path) const;

 private:
  TPixelFormat desktop_;
  std::string caption_;
  static constexpr size_t kKeptCommits = 4096;
  std::vector<std::vector<TDisplayRect>> commits_;
  int commitCount_ = 0;
  bool shown_ = false;
};

// Any picture in one of the display formats as a 24-bit RGB PNG file.
bool WriteSurfacePNG(const TDisplaySurface& surface, const std::filesystem::path& path);

}  // namespace qv
