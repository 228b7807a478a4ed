// The optional extra-logo file "AddLogo.xml" of the program folder: logos
// (labels with a picture or a caption) placed on a window of the interface,
// each with an optional link opened when it is clicked. Reading the file is
// kept apart from making the labels, so that the reader needs no interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// One child of the file's first tag.
struct TAddLogoEntry {
  int32_t Index = 0;  // position among the children, from 0
  // The child is a "Logo" with a "Position" (x and y) and a "Parent".
  bool IsLogo = false;
  std::string Parent;
  int32_t X = 0;
  int32_t Y = 0;
  std::optional<std::string> Picture;
  std::optional<std::string> PictureMouseOn;
  std::optional<std::string> PictureMouseDown;
  std::optional<std::string> Caption;
  std::optional<int32_t> Color;
  std::optional<int32_t> MouseOverColor;
  // The link after rewriting; absent without a "URL" tag.
  std::optional<std::string> Url;
};

// Reads a value of the current user's store: (key path, value name) -> text,
// empty when it cannot be read.
using TRegistryReader = std::function<std::string(std::string_view keyPath, std::string_view valueName)>;

// Parses the file's text. A text without tags raises QelException
// fileName + "XML file does not has tags!". A "URL" without "Source" becomes
// a file of the program folder; with Source="registry" its text
// "ROOT\Key\Path.Value" is replaced by that value of the current user.
std::vector<TAddLogoEntry> ParseAddLogos(std::string_view text, std::string_view fileName,
                                         const std::filesystem::path& programFolder, const TRegistryReader& registry);

// The slot index of a logo label's name ("AddLogo" + index): the characters
// after "AddLogo" (at most three) read as a number; 0 when they are not one.
int32_t LogoIndexOfName(std::string_view senderName);

}  // namespace qv
