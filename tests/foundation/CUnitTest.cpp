#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/CUnit.h"
#include "foundation/Random.h"

using namespace qv;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Crypt(const Bytes& in, std::string_view key) {
  TMemoryStream input(in), output;
  output.WriteString("old content");
  CryptStream(input, output, key);
  EXPECT_EQ(input.Size(), 0);
  EXPECT_EQ(output.Position(), 0);
  return output.Bytes();
}

Bytes Xor(Bytes a, const Bytes& b) {
  for (size_t i = 0; i < a.size(); ++i) a[i] ^= b[i % b.size()];
  return a;
}

TEST(CryptStream, KnownBlocksFollowTheBitTranspose) {
  // Key "A" is the block 41 41 41 41 41 41 41 41. The plain block
  // 01 00 00 00 00 00 00 00 XOR the key is 40 41 41 41 41 41 41 41:
  // bit 0 is set in bytes 1..7, bit 6 in bytes 0..7. Transposed, output
  // byte j holds bit j of every input byte: byte 0 = FE, byte 6 = FF, the
  // rest 00. XOR the key again: BF 41 41 41 41 41 BE 41.
  EXPECT_EQ(Crypt({1, 0, 0, 0, 0, 0, 0, 0}, "A"), (Bytes{0xBF, 0x41, 0x41, 0x41, 0x41, 0x41, 0xBE, 0x41}));

  // Game key K = 6B 77 37 72 62 71 32 23. A block that is K with bit 1 of
  // byte 0 flipped is 02 00 .. 00 after the XOR; transposed that bit lands at
  // byte 1 bit 0, so R = K with bit 0 of byte 1 flipped.
  const Bytes k = {0x6B, 0x77, 0x37, 0x72, 0x62, 0x71, 0x32, 0x23};
  EXPECT_EQ(Crypt(Xor(k, {0x02, 0, 0, 0, 0, 0, 0, 0}), kGameDataKey), Xor(k, {0, 0x01, 0, 0, 0, 0, 0, 0}));
  // Bit 7 of byte 3 goes to bit 3 of byte 7.
  EXPECT_EQ(Crypt(Xor(k, {0, 0, 0, 0x80, 0, 0, 0, 0}), kGameDataKey), Xor(k, {0, 0, 0, 0, 0, 0, 0, 0x08}));
  // A plain block equal to the key stays the key.
  EXPECT_EQ(Crypt(k, kGameDataKey), k);
}

TEST(CryptStream, TailIsOnlyXoredAndKeysCycleOrAreCut) {
  Bytes in = {'0', '1', '2', '3', '4', '5', '6', '7', 'a', 'b', 'c', 'd', 'e'};
  Bytes out = Crypt(in, kGameDataKey);
  ASSERT_EQ(out.size(), 13u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(out[8 + i], in[8 + i] ^ static_cast<uint8_t>(kGameDataKey[i])) << i;
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 8),
            Crypt(Bytes(in.begin(), in.begin() + 8), kGameDataKey));

  EXPECT_EQ(Crypt({}, kGameDataKey), Bytes{});
  EXPECT_EQ(Crypt({0, 0, 0, 0, 0}, "ab"), (Bytes{'a', 'b', 'a', 'b', 'a'}));
  Bytes block = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
  EXPECT_EQ(Crypt(block, "ab"), Crypt(block, "abababab"));
  EXPECT_EQ(Crypt(block, "0123456789"), Crypt(block, "01234567"));
  EXPECT_NE(Crypt(block, "0123456789"), Crypt(block, "0123456"));
  // An empty key is the program's fixed one-character key.
  EXPECT_EQ(Crypt(block, ""), Crypt(block, kEmptyKeySubstitute));
  EXPECT_EQ(kEmptyKeySubstitute.size(), 1u);
}

TEST(CryptStream, RoundTripsOnlyWithTheSameKey) {
  RandSeed(4242);
  for (size_t len : {1u, 7u, 8u, 9u, 16u, 63u, 64u, 1000u}) {
    SCOPED_TRACE(len);
    Bytes in(len);
    for (auto& b : in) b = static_cast<uint8_t>(Random(256));
    Bytes enc = Crypt(in, kGameDataKey);
    EXPECT_EQ(enc.size(), len);
    EXPECT_EQ(Crypt(enc, kGameDataKey), in);
    EXPECT_NE(Crypt(enc, "Kw7rbq2#"), in);
    // The last key byte only touches whole blocks.
    if (len >= 8) {
      EXPECT_NE(Crypt(enc, "kw7rbq2$"), in);
    }
  }
}

TEST(CryptStream, SameStreamAsInputAndOutputHoldsTheResult) {
  Bytes in = {'s', 'a', 'v', 'e', 'd', ' ', 'g', 'a', 'm', 'e'};
  TMemoryStream s(in);
  s.SetPosition(4);
  CryptStream(s, s, kGameDataKey);
  EXPECT_EQ(s.Bytes(), Crypt(in, kGameDataKey));
  EXPECT_EQ(s.Position(), 0);
  CryptStream(s, s, kGameDataKey);
  EXPECT_EQ(s.Bytes(), in);
}

TEST(IsTextStream, AcceptsOnlyPlainTextBytes) {
  struct Case {
    std::string bytes;
    bool text;
  };
  const Case cases[] = {
      {"", true},
      {"a\r\nb", true},
      {"\r", true},
      {"\t x \xFF\x80", true},
      {"\r\n\r\n", true},
      {"a\nb", false},
      {"\n", false},
      {"\r\r\n\n", false},
      {std::string("a\0b", 3), false},
      {"\x1B", false},
      {"\x1F", false},
      {"\x08", false},
  };
  for (const auto& c : cases) {
    TMemoryStream s(Bytes(c.bytes.begin(), c.bytes.end()));
    s.SetPosition(static_cast<int64_t>(c.bytes.size()));
    EXPECT_EQ(IsTextStream(s), c.text) << '"' << c.bytes << '"';
    EXPECT_EQ(s.Position(), static_cast<int64_t>(c.bytes.size()));
  }
}

TEST(LineScrambling, ShiftsCodesFrom32By51AndBack) {
  EXPECT_EQ(EncodeStr("abc"), "\x94\x95\x96");
  EXPECT_EQ(DecodeStr("\x94\x95\x96"), "abc");
  EXPECT_EQ(EncodeStr(std::string("\t\0\x1F", 3)), std::string("\t\0\x1F", 3));
  EXPECT_EQ(EncodeStr(" \xCC\xCD\xFF"), "S\xFF \x52");
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::string enc = EncodeStr(all);
  for (int c = 32; c < 256; ++c) EXPECT_GE(static_cast<unsigned char>(enc[static_cast<size_t>(c)]), 32) << c;
  EXPECT_EQ(DecodeStr(enc), all);
  EXPECT_EQ(EncodeStr(DecodeStr(all)), all);
}

}  // namespace
