#include "json/script_control_engine.h"

#include <string>

#include "json/script_value.h"
#include "win/dispatch.h"
#include "win/wide.h"

namespace json {
namespace {

std::int32_t ReadInt(const win::Dispatch& object, const wchar_t* name) {
  return TruncateToInt32(ToNumber(object.Get(name).value));
}

text::Text ReadText(const win::Dispatch& object, const wchar_t* name) {
  return win::Narrow(object.Get(name).value.ToWide().value_or(std::wstring()));
}

class ScriptControlEngine final : public ScriptEngine {
 public:
  bool Start() {
    if (!m_com.succeeded()) return false;
    m_control = win::Dispatch::CreateFromProgId(L"MSScriptControl.ScriptControl");
    if (!m_control) return false;
    // The safe subset must be chosen before the language: Wine's control
    // applies it only when it creates the language engine. Without it a
    // manifest could create any object, so an engine that refuses it is no
    // engine.
    if (FAILED(m_control.Put(L"UseSafeSubset", true))) return false;
    m_control.Put(L"AllowUI", false);
    m_control.Put(L"Language", L"JavaScript");
    return true;
  }

  bool AddCode(std::wstring_view code) override {
    return m_control.Call(L"AddCode", {win::Variant(code)}).ok();
  }

  std::optional<win::Variant> Eval(std::wstring_view code) override {
    win::InvokeResult result = m_control.Call(L"Eval", {win::Variant(code)});
    if (!result.ok()) return std::nullopt;
    return std::move(result.value);
  }

  ScriptError LastError() override {
    ScriptError record;
    const win::Dispatch error(m_control.Get(L"Error").value.ToDispatch());
    if (!error) return record;
    record.Number = ReadInt(error, L"Number");
    record.Source = ReadText(error, L"Source");
    record.Description = ReadText(error, L"Description");
    record.HelpFile = ReadText(error, L"HelpFile");
    record.HelpContext = ReadInt(error, L"HelpContext");
    record.Text = ReadText(error, L"Text");
    record.Line = ReadInt(error, L"Line");
    record.Column = ReadInt(error, L"Column");
    return record;
  }

  win::ComPtr<IDispatch> Object() override { return m_control.object(); }

 private:
  // Declared first so that COM is released after the control.
  win::ComScope m_com;
  win::Dispatch m_control;
};

}  // namespace

std::shared_ptr<ScriptEngine> CreateScriptControlEngine() {
  auto engine = std::make_shared<ScriptControlEngine>();
  if (!engine->Start()) return nullptr;
  return engine;
}

}  // namespace json
