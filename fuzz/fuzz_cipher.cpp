// Enciphers arbitrary bytes under a key taken from the input and deciphers
// them again: the round trip must give the input back, keep its length and
// leave the input stream empty.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/CUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte gives the key length (0 to 15), the key follows.
  std::string key;
  size_t start = 0;
  if (size > 0) {
    size_t keyLen = std::min<size_t>(data[0] % 16, size - 1);
    key.assign(reinterpret_cast<const char*>(data) + 1, keyLen);
    start = 1 + keyLen;
  }
  std::vector<uint8_t> plain(data + start, data + size);

  qv::TMemoryStream input(plain), enciphered, output;
  qv::IsTextStream(input);
  qv::CryptStream(input, enciphered, key);
  if (input.Size() != 0 || enciphered.Size() != static_cast<int64_t>(plain.size()) || enciphered.Position() != 0)
    std::abort();
  qv::IsTextStream(enciphered);
  qv::CryptStream(enciphered, output, key);
  if (output.Bytes() != plain) std::abort();

  std::string line(plain.begin(), plain.end());
  if (qv::DecodeStr(qv::EncodeStr(line)) != line) std::abort();
  return 0;
}
