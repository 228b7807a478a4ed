#include "foundation/Numeric.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "foundation/QelException.h"
#include "foundation/StrUtils.h"

namespace qv {

namespace {

double RoundHalfEven(double x) {
  double fl = std::floor(x);
  double diff = x - fl;
  if (diff > 0.5) return fl + 1.0;
  if (diff < 0.5) return fl;
  // Exactly half: go to the even neighbour.
  return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

template <typename T>
T Saturate(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  if (v <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  return static_cast<T>(v);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t Round(double x) { return Saturate<int32_t>(RoundHalfEven(x)); }
int64_t Round64(double x) { return Saturate<int64_t>(RoundHalfEven(x)); }
int32_t Trunc(double x) { return Saturate<int32_t>(std::trunc(x)); }

int32_t Div(int32_t a, int32_t b) {
  if (b == 0) return 0;
  if (b == -1) return a == std::numeric_limits<int32_t>::min() ? a : -a;
  return a / b;
}

int32_t Mod(int32_t a, int32_t b) {
  if (b == 0 || b == -1) return 0;
  return a % b;
}

bool TryParseFloat(std::string_view text, double& out) {
  // Validate the shape ourselves, then let from_chars (locale-free) convert.
  size_t i = 0, n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t mantissaStart = i;
  size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  double value = 0;
  auto body = text.substr(mantissaStart);
  auto res = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Overflow gives infinity, underflow zero: keep the sign and carry on.
    value = std::numeric_limits<double>::infinity();
    bool tiny = false;
    for (char c : body) {
      if (c == '-') tiny = true;  // a negative exponent
    }
    if (tiny) value = 0.0;
  } else if (res.ec != std::errc() || res.ptr != body.data() + body.size()) {
    return false;
  }
  out = negative ? -value : value;
  return true;
}

bool TryStrToFloat(std::string_view text, double& out) {
  double v = 0;
  if (!TryParseFloat(Trim(text), v) || !std::isfinite(v)) return false;
  out = v;
  return true;
}

double StrToFloat(std::string_view text) {
  double v = 0;
  if (!TryStrToFloat(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return v;
}

std::string FloatToStr(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string s(buf, res.ptr);
  // to_chars writes "1e-07"; the stored form is "1E-7".
  auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mant = s.substr(0, e);
  std::string exp = s.substr(e + 1);
  std::string sign;
  if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
    if (exp[0] == '-') sign = "-";
    exp.erase(0, 1);
  }
  while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
  return mant + "E" + sign + exp;
}

bool TryStrToInt(std::string_view text, int32_t& out) {
  size_t i = 0, n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  size_t digits = 0;
  if (i < n && text[i] == '$') {
    ++i;
    for (; i < n && HexValue(text[i]) >= 0; ++i, ++digits) {
      value = value * 16 + HexValue(text[i]);
      if (value > 0xFFFFFFFFLL) return false;
    }
    // Hex text is the bit pattern of the 32-bit value.
    if (digits == 0 || i != n) return false;
    int32_t v = static_cast<int32_t>(static_cast<uint32_t>(value));
    out = negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v;
    return true;
  }
  if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    i += 2;
    for (; i < n && HexValue(text[i]) >= 0; ++i, ++digits) {
      value = value * 16 + HexValue(text[i]);
      if (value > 0xFFFFFFFFLL) return false;
    }
    if (digits == 0 || i != n) return false;
    int32_t v = static_cast<int32_t>(static_cast<uint32_t>(value));
    out = negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v;
    return true;
  }
  for (; i < n && IsDigit(text[i]); ++i, ++digits) {
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) return false;
  }
  if (digits == 0 || i != n) return false;
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return false;
  out = static_cast<int32_t>(value);
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t v = 0;
  if (!TryStrToInt(text, v)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return v;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

}  // namespace qv
