// Late binding through IDispatch, in one place: members are named by text,
// arguments are given in their natural order, results come back as Variant.
// A failing call is never thrown; callers look at the HRESULT or ignore it.
#pragma once

#include <initializer_list>

#include "win/com.h"

namespace win {

struct InvokeResult {
  HRESULT hr = E_FAIL;
  Variant value;
  bool ok() const noexcept { return SUCCEEDED(hr); }
};

class Dispatch {
 public:
  Dispatch() noexcept = default;
  explicit Dispatch(ComPtr<IDispatch> object) noexcept : m_object(std::move(object)) {}

  // Creates the object registered under `progId`; empty on failure.
  static Dispatch CreateFromProgId(const wchar_t* progId) noexcept;
  // Creates the coclass named `coclassName` of the type library in
  // `typeLibraryFile` (a bare file name is searched for by the system).
  static Dispatch CreateFromTypeLibrary(const wchar_t* typeLibraryFile,
                                        const wchar_t* coclassName) noexcept;

  explicit operator bool() const noexcept { return static_cast<bool>(m_object); }
  IDispatch* get() const noexcept { return m_object.get(); }
  const ComPtr<IDispatch>& object() const noexcept { return m_object; }
  void reset() noexcept { m_object.reset(); }

  // Reads a property; `arguments` index a parameterised property.
  InvokeResult Get(const wchar_t* name, std::initializer_list<Variant> arguments = {}) const;
  // Writes a property; `arguments` index a parameterised property (Option(6) = 0).
  HRESULT Put(const wchar_t* name, const Variant& value,
              std::initializer_list<Variant> arguments = {}) const;
  // Calls a method.
  InvokeResult Call(const wchar_t* name, std::initializer_list<Variant> arguments = {}) const;

 private:
  InvokeResult Invoke(const wchar_t* name, WORD flags, const Variant* arguments, size_t count,
                      const Variant* putValue) const;

  ComPtr<IDispatch> m_object;
};

}  // namespace win
