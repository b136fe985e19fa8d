// A private JavaScript engine with one global scope that persists between
// its calls. Two kinds exist: the Script Control, and the system's JScript
// hosted directly where the Script Control cannot be created (64-bit
// processes on 64-bit Windows). Both run with the safe subset: manifests come
// over plain HTTP and are run as script, so they must not create objects.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "json/script_error.h"
#include "win/com.h"

namespace json {

class ScriptEngine {
 public:
  virtual ~ScriptEngine() = default;

  // Runs statements in the global scope; false when they fail to compile or throw.
  virtual bool AddCode(std::wstring_view code) = 0;
  // The value of the last expression statement of `code`; nothing on failure.
  virtual std::optional<win::Variant> Eval(std::wstring_view code) = 0;
  // The last error the engine met.
  virtual ScriptError LastError() = 0;
  // The engine object itself, for callers that bind to it late.
  virtual win::ComPtr<IDispatch> Object() = 0;
};

enum class EngineKind {
  // The Script Control when it can be created, else the hosted JScript.
  Automatic,
  ScriptControl,
  HostedJScript,
  // Never creates an engine: documents without engine, for tests.
  Unavailable,
};

// The kind that new documents use; Automatic unless a test chooses otherwise.
void SetDefaultEngineKind(EngineKind kind) noexcept;
EngineKind DefaultEngineKind() noexcept;

// Initialises COM on the calling thread for the engine's lifetime and creates
// the engine there; null when it cannot be created.
std::shared_ptr<ScriptEngine> CreateScriptEngine(EngineKind kind);

}  // namespace json
