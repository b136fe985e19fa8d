#pragma once

#include <memory>

#include "json/script_engine.h"

namespace json {

// The system's JScript engine hosted through IActiveScript with a site of our
// own, for systems where the Script Control cannot be created. Null when the
// engine cannot be created or refuses the safety options.
std::shared_ptr<ScriptEngine> CreateHostedJScriptEngine();

}  // namespace json
