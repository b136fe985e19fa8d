#include "json/script_engine.h"

#include <atomic>

#include "json/hosted_jscript_engine.h"
#include "json/script_control_engine.h"

namespace json {
namespace {

std::atomic<EngineKind> g_defaultKind{EngineKind::Automatic};

}  // namespace

void SetDefaultEngineKind(EngineKind kind) noexcept { g_defaultKind = kind; }

EngineKind DefaultEngineKind() noexcept { return g_defaultKind; }

std::shared_ptr<ScriptEngine> CreateScriptEngine(EngineKind kind) {
  switch (kind) {
    case EngineKind::Automatic:
      if (auto engine = CreateScriptControlEngine()) return engine;
      return CreateHostedJScriptEngine();
    case EngineKind::ScriptControl:
      return CreateScriptControlEngine();
    case EngineKind::HostedJScript:
      return CreateHostedJScriptEngine();
    case EngineKind::Unavailable:
      break;
  }
  return nullptr;
}

}  // namespace json
