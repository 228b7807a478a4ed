// The data-file cipher, the plain-text test and the line scrambling that keep
// the game's own files (saved games, game parameters, high scores) from being
// read or edited by hand.
#pragma once

#include <string>
#include <string_view>

#include "foundation/MemoryStream.h"

namespace qv {

// The key of the game's enciphered data files.
inline constexpr std::string_view kGameDataKey = "kw7rbq2#";
// The key used in place of an empty one.
inline constexpr std::string_view kEmptyKeySubstitute = "#";

// Enciphers or deciphers (the same operation) the whole content of input into
// output, 8 bytes at a time under the key cycled or cut to 8 bytes; a tail
// shorter than 8 bytes is only XORed with the key. Afterwards output holds as
// many bytes as input held, its position is 0, and input is empty. Input and
// output may be the same stream: it then holds the result.
void CryptStream(TMemoryStream& input, TMemoryStream& output, std::string_view key);

// True when every byte looks like plain text: codes from 32, tab, carriage
// return, and line feed right after a carriage return. Empty is text. The
// position is neither used nor changed.
bool IsTextStream(const TMemoryStream& stream);

// Rotates every code from 32 to 255 by 51 within that range; lower codes stay.
std::string EncodeStr(std::string_view text);
// The inverse of EncodeStr.
std::string DecodeStr(std::string_view text);

}  // namespace qv
