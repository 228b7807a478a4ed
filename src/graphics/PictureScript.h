// Picture scripts (".aim" entries): small texts that compose a picture from
// other pictures of an archive at install time. Each line is searched for the
// tags AutoImage, AddImage, FlipImageHorizontal, FlipImageVertical,
// ImageHueChange, RotateImage, ScaleImage and CropImage (case-sensitive
// substring search, in that order, so one line may hold several). The result
// is added to the archive as <AutoImage name>.pNg, kind 2.
#pragma once

#include <string>
#include <string_view>

#include "foundation/FileFolder.h"
#include "foundation/MemoryStream.h"
#include "foundation/SFunctions.h"
#include "graphics/PictureCodec.h"

namespace qv {

// Archive entry kind of pictures.
inline constexpr uint16_t kPictureKind = 2;
// Archive entry kind of picture scripts.
inline constexpr uint16_t kScriptKind = 1;

class TPictureScript {
 public:
  // Pictures for AddImage come from the archive, and the result goes there.
  explicit TPictureScript(TFileFolder& archive) : archive_(archive) {}

  // Runs the whole script and adds its picture to the archive. Errors are
  // exceptions: Exception for script faults and missing pictures,
  // EConvertError for numbers that are not numbers, EPictureError for
  // pictures that do not decode.
  void Run(std::string_view script);
  // Runs the lines without adding the result (the canvas stays readable).
  void Execute(std::string_view script);

  const TPngImage& Canvas() const { return canvas_; }
  const std::string& PictureName() const { return name_; }
  // The entry name the result is stored under.
  std::string ResultName() const { return name_ + ".pNg"; }

 private:
  void RunLine(std::string_view line);
  void AutoImage(std::string_view line);
  void AddImage(std::string_view line);
  void HueChange(std::string_view line);
  void RotateImage(std::string_view line);
  void ScaleImage(std::string_view line);
  void CropImage(std::string_view line);
  void NeedCanvas(std::string_view tag) const;
  TPngImage LoadPicture(const std::string& name);

  TFileFolder& archive_;
  TPngImage canvas_;
  int width_ = 0;  // the size as the script last set it
  int height_ = 0;
  std::string name_;
  bool haveName_ = false;
  bool autosize_ = false;
  bool first_ = true;
  TRect rect_{};  // the last source rectangle, changed by CropImage
};

// Runs the script held by the stream (its whole content) against the archive.
void RunAutoImage(const TMemoryStream& script, TFileFolder& archive);

}  // namespace qv
