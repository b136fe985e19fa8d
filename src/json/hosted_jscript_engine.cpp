#include "json/hosted_jscript_engine.h"

#include <activscp.h>
#include <objsafe.h>

#include <new>
#include <utility>

#include "json/script_value.h"
#include "win/wide.h"

namespace json {
namespace {

// Identifiers defined here: mingw's import libraries lack some of them, and
// IActiveScriptParse has a different identifier in 32- and 64-bit processes.
constexpr CLSID kClsidJScript = {
    0xf414c260, 0x6ac0, 0x11cf, {0xb6, 0xd1, 0x00, 0xaa, 0x00, 0xbb, 0xbb, 0x58}};
constexpr IID kIidActiveScript = {
    0xbb1a2ae1, 0xa4f9, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
#ifdef _WIN64
constexpr IID kIidActiveScriptParse = {
    0xc7ef7658, 0xe1ee, 0x480e, {0x97, 0xea, 0xd5, 0x2c, 0xb4, 0xd7, 0x6d, 0x17}};
#else
constexpr IID kIidActiveScriptParse = {
    0xbb1a2ae2, 0xa4f9, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
#endif
constexpr IID kIidActiveScriptSite = {
    0xdb01a1e3, 0xa42b, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
constexpr IID kIidObjectSafety = {
    0xcb5bdc81, 0x93c1, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
constexpr IID kIidUnknown = {
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

text::Text TakeText(BSTR& string) {
  text::Text result =
      string ? win::Narrow(std::wstring_view(string, SysStringLen(string))) : text::Text();
  SysFreeString(std::exchange(string, nullptr));
  return result;
}

// The engine's host: it offers no named items and no window (so no UI), and
// keeps the last error for the Error record.
class ScriptSite final : public IActiveScriptSite {
 public:
  const ScriptError& lastError() const noexcept { return m_lastError; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidActiveScriptSite)) {
      *object = static_cast<IActiveScriptSite*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG references = InterlockedDecrement(&m_references);
    if (references == 0) delete this;
    return static_cast<ULONG>(references);
  }

  HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR, DWORD, IUnknown** item,
                                        ITypeInfo** typeInfo) override {
    if (item) *item = nullptr;
    if (typeInfo) *typeInfo = nullptr;
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
    if (!error) return E_POINTER;
    ScriptError record;
    EXCEPINFO exception{};
    if (SUCCEEDED(error->GetExceptionInfo(&exception))) {
      if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
      // The error's HRESULT, as the Script Control numbers its errors.
      record.Number =
          static_cast<std::int32_t>(exception.scode ? exception.scode : exception.wCode);
      record.Source = TakeText(exception.bstrSource);
      record.Description = TakeText(exception.bstrDescription);
      record.HelpFile = TakeText(exception.bstrHelpFile);
      record.HelpContext = static_cast<std::int32_t>(exception.dwHelpContext);
      win::FreeExceptionInfo(exception);
    }
    DWORD context = 0;
    ULONG line = 0;
    LONG column = 0;
    if (SUCCEEDED(error->GetSourcePosition(&context, &line, &column))) {
      record.Line = static_cast<std::int32_t>(line) + 1;
      record.Column = static_cast<std::int32_t>(column);
    }
    BSTR lineText = nullptr;
    if (SUCCEEDED(error->GetSourceLineText(&lineText))) record.Text = TakeText(lineText);
    m_lastError = std::move(record);
    return S_OK;
  }

 private:
  LONG m_references = 1;
  ScriptError m_lastError;
};

class HostedJScriptEngine final : public ScriptEngine {
 public:
  ~HostedJScriptEngine() override {
    if (m_script) m_script->Close();
  }

  bool Start() {
    if (!m_com.succeeded()) return false;
    if (FAILED(CoCreateInstance(kClsidJScript, nullptr, CLSCTX_INPROC_SERVER, kIidActiveScript,
                                m_script.put_void()))) {
      return false;
    }
    // Untrusted data: the engine refuses to create objects (ActiveXObject),
    // which is what keeps a hostile manifest from running anything.
    const auto safety = m_script.As<IObjectSafety>(kIidObjectSafety);
    if (!safety || FAILED(safety->SetInterfaceSafetyOptions(kIidActiveScriptParse,
                                                            INTERFACESAFE_FOR_UNTRUSTED_DATA,
                                                            INTERFACESAFE_FOR_UNTRUSTED_DATA))) {
      return false;
    }
    m_parse = m_script.As<IActiveScriptParse>(kIidActiveScriptParse);
    ScriptSite* site = new (std::nothrow) ScriptSite;
    if (!m_parse || !site) return false;
    m_site = win::ComPtr<ScriptSite>::Attach(site);
    return SUCCEEDED(m_script->SetScriptSite(m_site.get())) && SUCCEEDED(m_parse->InitNew()) &&
           SUCCEEDED(m_script->SetScriptState(SCRIPTSTATE_STARTED));
  }

  bool AddCode(std::wstring_view code) override { return SUCCEEDED(Parse(code, 0, nullptr)); }

  std::optional<win::Variant> Eval(std::wstring_view code) override {
    win::Variant result;
    if (FAILED(Parse(code, SCRIPTTEXT_ISEXPRESSION, result.put()))) return std::nullopt;
    return result;
  }

  ScriptError LastError() override { return m_site ? m_site->lastError() : ScriptError(); }

  win::ComPtr<IDispatch> Object() override {
    win::ComPtr<IDispatch> global;
    if (m_script) m_script->GetScriptDispatch(nullptr, global.put());
    return global;
  }

 private:
  HRESULT Parse(std::wstring_view code, DWORD flags, VARIANT* result) {
    if (!m_parse) return E_FAIL;
    const win::Bstr source(code);
    EXCEPINFO exception{};
    const HRESULT hr = m_parse->ParseScriptText(source.get() ? source.get() : L"", nullptr, nullptr,
                                                nullptr, 0, 0, flags, result, &exception);
    win::FreeExceptionInfo(exception);
    return hr;
  }

  // Declared first so that COM is released after the engine.
  win::ComScope m_com;
  win::ComPtr<IActiveScript> m_script;
  win::ComPtr<IActiveScriptParse> m_parse;
  win::ComPtr<ScriptSite> m_site;
};

}  // namespace

std::shared_ptr<ScriptEngine> CreateHostedJScriptEngine() {
  auto engine = std::make_shared<HostedJScriptEngine>();
  if (!engine->Start()) return nullptr;
  return engine;
}

}  // namespace json
