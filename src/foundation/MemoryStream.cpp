#include "foundation/MemoryStream.h"

#include <algorithm>
#include <cstring>

#include "foundation/Files.h"

namespace qv {

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? pos_ : Size();
  SetPosition(base + offset);
  return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) size = 0;
  data_.resize(static_cast<size_t>(size));
  if (pos_ > size) pos_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  pos_ = 0;
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
  if (pos_ >= Size() || count == 0) return 0;
  size_t n = std::min(count, static_cast<size_t>(Size() - pos_));
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += static_cast<int64_t>(n);
  return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  size_t end = static_cast<size_t>(pos_) + count;
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ = static_cast<int64_t>(end);
  return count;
}

void TMemoryStream::LoadFromFile(const std::filesystem::path& path) {
  data_ = ReadWholeFile(path);
  pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::filesystem::path& path) const {
  AtomicWriteFile(path, data_.data(), data_.size());
}

void TMemoryStream::LoadFromStream(const TMemoryStream& other) {
  if (&other == this) {
    pos_ = 0;
    return;
  }
  data_ = other.data_;
  pos_ = 0;
}

int64_t TMemoryStream::CopyFrom(TMemoryStream& other, int64_t count) {
  if (count <= 0) {
    other.SetPosition(0);
    count = other.Size();
  }
  int64_t available = std::max<int64_t>(0, other.Size() - other.Position());
  count = std::min(count, available);
  if (count == 0) return 0;
  std::vector<uint8_t> tmp(static_cast<size_t>(count));
  other.Read(tmp.data(), tmp.size());
  Write(tmp.data(), tmp.size());
  return count;
}

}  // namespace qv
