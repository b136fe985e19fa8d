// How the values an engine returns become the truth values, numbers and
// texts the document's operations answer with. Nothing (a failed call)
// converts to false, 0 and the empty text.
#pragma once

#include <cstdint>
#include <optional>

#include "text/text.h"
#include "win/com.h"

namespace json {

// Booleans give themselves, numbers are true unless 0 or NaN, a string only
// when it reads as true or as a non-zero number, an object is true
// (it is a statement that succeeded), undefined and null are false.
bool ToTruthValue(const std::optional<win::Variant>& value);
// Numbers give themselves, true is -1, a string that reads as a number gives
// that number; everything else 0.
double ToNumber(const std::optional<win::Variant>& value);
// A string gives its characters (code page 936); booleans and numbers their
// JavaScript-like forms; everything else the empty text.
text::Text ToText(const std::optional<win::Variant>& value);

// Truncation toward zero; 0 for NaN and for numbers beyond int32.
std::int32_t TruncateToInt32(double value) noexcept;

}  // namespace json
