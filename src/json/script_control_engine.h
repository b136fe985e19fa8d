#pragma once

#include <memory>

#include "json/script_engine.h"

namespace json {

// The Script Control ("MSScriptControl.ScriptControl") with JavaScript; null
// when it cannot be created or refuses the safe subset.
std::shared_ptr<ScriptEngine> CreateScriptControlEngine();

}  // namespace json
