// A growable block of bytes with a position, as the class library's memory
// stream: archive entries, deciphered files and encoded pictures travel in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class SeekOrigin { Begin, Current, End };

class TMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  int64_t Size() const { return static_cast<int64_t>(data_.size()); }
  int64_t Position() const { return pos_; }
  // Positions past the end are allowed; reading there gives nothing and
  // writing there fills the gap with zeros.
  void SetPosition(int64_t pos) { pos_ = pos < 0 ? 0 : pos; }
  int64_t Seek(int64_t offset, SeekOrigin origin);
  // Resizes the content; the position is kept but not beyond the new end.
  void SetSize(int64_t size);
  void Clear();

  // Copies up to count bytes at the position, returns how many were read.
  size_t Read(void* buffer, size_t count);
  // Writes count bytes at the position, growing the stream as needed.
  size_t Write(const void* buffer, size_t count);
  void WriteString(std::string_view text) { Write(text.data(), text.size()); }

  // The whole content, whatever the position.
  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::string_view AsStringView() const {
    return std::string_view(reinterpret_cast<const char*>(data_.data()), data_.size());
  }

  // Replaces the content with the file's bytes (position 0); EInOutError on failure.
  void LoadFromFile(const std::filesystem::path& path);
  // Writes the whole content to a temporary file beside the target, then
  // renames it into place; EInOutError on failure.
  void SaveToFile(const std::filesystem::path& path) const;
  // Replaces the content with the whole content of another stream (position 0).
  void LoadFromStream(const TMemoryStream& other);
  // Appends count bytes read from the other stream's position (all of it from
  // its start when count is 0), as the class library's CopyFrom.
  int64_t CopyFrom(TMemoryStream& other, int64_t count);

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

}  // namespace qv
