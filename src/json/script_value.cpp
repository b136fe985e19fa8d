#include "json/script_value.h"

#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "win/wide.h"

namespace json {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view TrimBlanks(std::wstring_view wide) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
  while (!wide.empty() && blank(wide.front())) wide.remove_prefix(1);
  while (!wide.empty() && blank(wide.back())) wide.remove_suffix(1);
  return wide;
}

// A decimal number: sign, digits with an optional fraction, optional
// exponent. Read without the locale, so "1.5" is 1.5 under every system locale.
std::optional<double> ReadNumber(std::wstring_view wide) {
  wide = TrimBlanks(wide);
  size_t at = 0;
  const auto digits = [&] {
    const size_t start = at;
    while (at < wide.size() && IsDigit(wide[at])) ++at;
    return at - start;
  };
  if (at < wide.size() && (wide[at] == L'+' || wide[at] == L'-')) ++at;
  size_t mantissaDigits = digits();
  if (at < wide.size() && wide[at] == L'.') {
    ++at;
    mantissaDigits += digits();
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (at < wide.size() && (wide[at] == L'e' || wide[at] == L'E')) {
    ++at;
    if (at < wide.size() && (wide[at] == L'+' || wide[at] == L'-')) ++at;
    if (digits() == 0) return std::nullopt;
  }
  if (at != wide.size()) return std::nullopt;
  const std::string ascii(wide.begin(), wide.end());
  return std::strtod(ascii.c_str(), nullptr);
}

std::optional<bool> ReadBoolean(std::wstring_view wide) {
  wide = TrimBlanks(wide);
  const auto equals = [&](std::wstring_view word) {
    if (wide.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
      if (std::towlower(wide[i]) != word[i]) return false;
    }
    return true;
  };
  if (equals(L"true")) return true;
  if (equals(L"false")) return false;
  return std::nullopt;
}

bool IsObject(const VARIANT& value) {
  return (value.vt == VT_DISPATCH && value.pdispVal) || (value.vt == VT_UNKNOWN && value.punkVal);
}

std::wstring_view StringOf(const VARIANT& value) {
  return value.bstrVal ? std::wstring_view(value.bstrVal, SysStringLen(value.bstrVal))
                       : std::wstring_view();
}

}  // namespace

bool ToTruthValue(const std::optional<win::Variant>& result) {
  if (!result) return false;
  const VARIANT& value = result->get();
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return false;
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE;
    case VT_BSTR: {
      const std::wstring_view string = StringOf(value);
      if (const std::optional<bool> truth = ReadBoolean(string)) return *truth;
      const std::optional<double> number = ReadNumber(string);
      return number && *number != 0.0;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return IsObject(value);
    default: {
      const std::optional<double> number = result->ToDouble();
      return number && !std::isnan(*number) && *number != 0.0;
    }
  }
}

double ToNumber(const std::optional<win::Variant>& result) {
  if (!result) return 0.0;
  const VARIANT& value = result->get();
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return 0.0;
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE ? -1.0 : 0.0;
    case VT_BSTR:
      return ReadNumber(StringOf(value)).value_or(0.0);
    default:
      return result->ToDouble().value_or(0.0);
  }
}

text::Text ToText(const std::optional<win::Variant>& result) {
  if (!result) return {};
  const VARIANT& value = result->get();
  switch (value.vt) {
    case VT_BSTR:
      return win::Narrow(StringOf(value));
    case VT_BOOL:
      return value.boolVal != VARIANT_FALSE ? "true" : "false";
    case VT_EMPTY:
    case VT_NULL:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return {};
    default: {
      const std::optional<double> number = result->ToDouble();
      if (!number) return {};
      if (std::isnan(*number)) return "NaN";
      if (std::isinf(*number)) return *number > 0 ? "Infinity" : "-Infinity";
      return text::FormatDouble(*number);
    }
  }
}

std::int32_t TruncateToInt32(double value) noexcept {
  if (std::isnan(value) || value <= -2147483649.0 || value >= 2147483648.0) return 0;
  return static_cast<std::int32_t>(value);
}

}  // namespace json
