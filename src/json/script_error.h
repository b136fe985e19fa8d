// The description of a script engine's last error, as the Script Control's
// Error object gives it.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace json {

struct ScriptError {
  std::int32_t Number = 0;
  text::Text Source;
  text::Text Description;
  text::Text HelpFile;
  std::int32_t HelpContext = 0;
  // The source text of the failing line.
  text::Text Text;
  std::int32_t Line = 0;
  std::int32_t Column = 0;
};

}  // namespace json
