// Number conversions shared by every subsystem. Rounding and text forms here
// are the ones stored files and saved games were made with, so no code may use
// std::round, strtod or locale-dependent streams instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Nearest integer, halves to the even neighbour (1.5 -> 2, 2.5 -> 2, -0.5 -> 0).
// Values outside the 32-bit range saturate; NaN gives 0.
int32_t Round(double x);
int64_t Round64(double x);

// Toward zero, saturating like Round.
int32_t Trunc(double x);

// Integer division and remainder that truncate toward zero; a zero divisor
// gives 0 instead of a crash.
int32_t Div(int32_t a, int32_t b);
int32_t Mod(int32_t a, int32_t b);

// Locale-free decimal number with "." as separator and an optional exponent:
// [+|-]digits[.digits][(e|E)[+|-]digits], also ".5" and "5.". The whole text
// must be the number (no blanks); "inf", "nan" and hex are refused.
bool TryParseFloat(std::string_view text, double& out);

// TryParseFloat on the text without surrounding blanks; a value too large for
// a double (which would read as infinity) fails too.
bool TryStrToFloat(std::string_view text, double& out);
// As TryStrToFloat, but raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);

// Shortest general text of a value with at most 15 significant digits and "."
// as separator: 1.5 -> "1.5", 2 -> "2", 1e-7 -> "1E-7", 1e20 -> "1E20".
std::string FloatToStr(double value);

// Strict integer text: optional leading blanks, optional sign, decimal digits
// or hexadecimal after "$", "0x" or "0X"; nothing may follow. Out-of-range or
// malformed text fails.
bool TryStrToInt(std::string_view text, int32_t& out);
// As TryStrToInt, but raises EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);

std::string IntToStr(int64_t value);

}  // namespace qv
