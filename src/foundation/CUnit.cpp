#include "foundation/CUnit.h"

#include <array>
#include <cstdint>
#include <vector>

namespace qv {

namespace {

using Block = std::array<uint8_t, 8>;

// Bit j of byte b moves to bit b of byte j (bits from the least significant,
// bytes from the first); applied twice it gives the block back.
Block Transpose(const Block& in) {
  Block out{};
  for (int j = 0; j < 8; ++j)
    for (int b = 0; b < 8; ++b)
      if ((in[static_cast<size_t>(b)] >> j) & 1) out[static_cast<size_t>(j)] |= static_cast<uint8_t>(1u << b);
  return out;
}

}  // namespace

void CryptStream(TMemoryStream& input, TMemoryStream& output, std::string_view key) {
  if (key.empty()) key = kEmptyKeySubstitute;
  Block k{};
  for (size_t i = 0; i < k.size(); ++i) k[i] = static_cast<uint8_t>(key[i % key.size()]);

  const std::vector<uint8_t>& in = input.Bytes();
  std::vector<uint8_t> result(in.size());
  size_t pos = 0;
  for (; pos + 8 <= in.size(); pos += 8) {
    Block p{};
    for (size_t i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(in[pos + i] ^ k[i]);
    Block r = Transpose(p);
    for (size_t i = 0; i < 8; ++i) result[pos + i] = static_cast<uint8_t>(r[i] ^ k[i]);
  }
  for (size_t i = 0; pos + i < in.size(); ++i) result[pos + i] = static_cast<uint8_t>(in[pos + i] ^ k[i]);

  // Computed aside first, so that input and output may be one stream.
  input.Clear();
  output.Clear();
  output.Write(result.data(), result.size());
  output.SetPosition(0);
}

bool IsTextStream(const TMemoryStream& stream) {
  uint8_t prev = 0;  // a line feed as the first byte follows no carriage return
  for (uint8_t c : stream.Bytes()) {
    if (c < 32 && c != 9 && c != 13 && !(c == 10 && prev == 13)) return false;
    prev = c;
  }
  return true;
}

std::string EncodeStr(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    unsigned c = static_cast<unsigned char>(ch);
    if (c >= 32) ch = static_cast<char>(c <= 204 ? c + 51 : c + 83 - 256);
  }
  return out;
}

std::string DecodeStr(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    unsigned c = static_cast<unsigned char>(ch);
    if (c >= 32) ch = static_cast<char>(c >= 83 ? c - 51 : c - 83 + 256);
  }
  return out;
}

}  // namespace qv
