#include "graphics/PictureScript.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "foundation/Numeric.h"
#include "foundation/QelException.h"
#include "foundation/StrUtils.h"
#include "graphics/ImageOps.h"

namespace qv {

namespace {

// Lines end at CR, LF or CR LF, as the class library's string lists read them.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool Has(std::string_view line, std::string_view part) { return line.find(part) != std::string_view::npos; }

// An attribute that must be there: an absent one is the empty text, which
// fails the conversion like any other non-number.
int32_t IntAttr(std::string_view line, std::string_view name) { return StrToInt(GetAttrValue(line, name)); }

int32_t IntAttr(std::string_view line, std::string_view name, int32_t otherwise) {
  std::string v = GetAttrValue(line, name);
  return v.empty() ? otherwise : StrToInt(v);
}

int32_t Saturate32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

void TPictureScript::Execute(std::string_view script) {
  for (std::string_view line : SplitLines(script)) RunLine(line);
}

void TPictureScript::Run(std::string_view script) {
  Execute(script);
  if (!haveName_) throw Exception("Picture script has no AutoImage!");
  TMemoryStream result;
  if (!canvas_.Empty()) {
    std::vector<uint8_t> bytes = EncodePNG(canvas_);
    result.Write(bytes.data(), bytes.size());
  }
  archive_.AddFile(ResultName(), kPictureKind, result);
}

void TPictureScript::RunLine(std::string_view line) {
  if (Has(line, "<AutoImage ") && Has(line, ">")) AutoImage(line);
  if (Has(line, "<AddImage ") && Has(line, "/>")) AddImage(line);
  if (Has(line, "<FlipImageHorizontal/>")) {
    NeedCanvas("FlipImageHorizontal");
    FlipRows(canvas_);
  }
  if (Has(line, "<FlipImageVertical/>")) {
    NeedCanvas("FlipImageVertical");
    FlipColumns(canvas_);
  }
  if (Has(line, "<ImageHueChange ") && Has(line, "/>")) HueChange(line);
  if (Has(line, "<RotateImage ") && Has(line, "/>")) RotateImage(line);
  if (Has(line, "<ScaleImage ") && Has(line, "/>")) ScaleImage(line);
  if (Has(line, "<CropImage ") && Has(line, "/>")) CropImage(line);
}

void TPictureScript::NeedCanvas(std::string_view tag) const {
  if (canvas_.Empty()) throw Exception(std::string(tag) + " before any image in picture script!");
}

void TPictureScript::AutoImage(std::string_view line) {
  name_ = GetAttrValue(line, "name");
  haveName_ = true;
  autosize_ = SameTextAscii(GetAttrValue(line, "autosize"), "true");
  if (autosize_) return;
  width_ = IntAttr(line, "width");
  height_ = IntAttr(line, "height");
  canvas_ = BlankImage(width_, height_);
}

TPngImage TPictureScript::LoadPicture(const std::string& name) {
  TMemoryStream* stream = archive_.GetStream(name);
  if (!stream) throw Exception("File " + name + " does not exist in File Folder!");
  TPngImage picture;
  try {
    picture = DecodePNG(*stream, TPngTransparency::ToAlpha);
  } catch (const EPictureError& e) {
    throw EPictureError("File " + name + " is not a usable picture: " + e.what());
  }
  NormalizeImage(picture);
  return picture;
}

void TPictureScript::AddImage(std::string_view line) {
  const std::string name = GetAttrValue(line, "name");
  TPngImage picture = LoadPicture(name);

  TImageDraw draw;
  draw.Left = IntAttr(line, "left");
  draw.Top = IntAttr(line, "top");
  const std::string src = GetAttrValue(line, "srcrect");
  if (src.empty())
    rect_ = Rect(0, 0, picture.Width - 1, picture.Height - 1);
  else
    rect_ = Rect(StrToInt(GetWord(src, 1)), StrToInt(GetWord(src, 2)), StrToInt(GetWord(src, 3)),
                 StrToInt(GetWord(src, 4)));
  draw.Source = rect_;
  draw.ColorValue = IntAttr(line, "colorvalue", 0);
  const std::string color = GetAttrValue(line, "color");
  if (!color.empty()) {
    draw.Color[2] = uint8_t(StrToInt(GetWord(color, 1)));
    draw.Color[1] = uint8_t(StrToInt(GetWord(color, 2)));
    draw.Color[0] = uint8_t(StrToInt(GetWord(color, 3)));
  }
  draw.Alfa = IntAttr(line, "alfa", 255);

  if (autosize_) {
    draw.Left = draw.Top = 0;
    width_ = Saturate32(int64_t(rect_.Right) - rect_.Left + 1);
    height_ = Saturate32(int64_t(rect_.Bottom) - rect_.Top + 1);
    canvas_ = BlankImage(width_, height_);
  }
  NeedCanvas("AddImage");

  const bool transparent = picture.HasAlpha();
  AddAlphaChannel(picture, 255);
  DrawImage(canvas_, picture, draw, first_);
  if (transparent) MergeAlpha(canvas_, picture, draw, first_);
  autosize_ = false;
  first_ = false;
}

void TPictureScript::HueChange(std::string_view line) {
  NeedCanvas("ImageHueChange");
  qv::HueChange(canvas_, IntAttr(line, "hue", 0), IntAttr(line, "saturation", 0), IntAttr(line, "lightness", 0));
}

void TPictureScript::RotateImage(std::string_view line) {
  NeedCanvas("RotateImage");
  const int cx = IntAttr(line, "x", Div(width_, 2));
  const int cy = IntAttr(line, "y", Div(height_, 2));
  const int angle = IntAttr(line, "angle", 0);
  canvas_ = Rotate(canvas_, angle / 180.0 * std::numbers::pi, cx, cy);
}

void TPictureScript::ScaleImage(std::string_view line) {
  NeedCanvas("ScaleImage");
  const int w = IntAttr(line, "width", width_);
  const int h = IntAttr(line, "height", height_);
  canvas_ = Scale(canvas_, w, h);
  width_ = w;
  height_ = h;
}

void TPictureScript::CropImage(std::string_view line) {
  NeedCanvas("CropImage");
  const std::string left = GetAttrValue(line, "left");
  const std::string top = GetAttrValue(line, "top");
  const std::string width = GetAttrValue(line, "width");
  const std::string height = GetAttrValue(line, "height");
  if (!left.empty()) rect_.Left = StrToInt(left);
  if (!top.empty()) rect_.Top = StrToInt(top);
  if (!width.empty()) rect_.Right = Saturate32(int64_t(rect_.Left) + StrToInt(width));
  if (!height.empty()) rect_.Bottom = Saturate32(int64_t(rect_.Top) + StrToInt(height));
  const TRect clipped = Rect(std::max(rect_.Left, 0), std::max(rect_.Top, 0), std::min(rect_.Right, canvas_.Width),
                             std::min(rect_.Bottom, canvas_.Height));
  if (clipped.IsEmpty()) throw Exception("CropImage rectangle is empty after clipping!");
  canvas_ = Crop(canvas_, clipped);
}

void RunAutoImage(const TMemoryStream& script, TFileFolder& archive) {
  // A copy: the archive may reload or grow while the script runs.
  const std::string text(script.AsStringView());
  TPictureScript(archive).Run(text);
}

}  // namespace qv
