#pragma once

#include <string>

namespace json {

// The script every document engine runs first: the support functions
// get__nodeValue, get__count, get__name_All and get__extend, then the JSON
// functions. Plain ASCII, so it widens byte for byte.
const std::wstring& EngineScript();

}  // namespace json
