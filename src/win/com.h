// Owners for COM: interface pointers, the apartment, BSTR and VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace win {

// A counted interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes a new reference to `pointer`.
  explicit ComPtr(T* pointer) noexcept : m_pointer(pointer) {
    if (m_pointer) m_pointer->AddRef();
  }
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.m_pointer) {}
  ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_pointer, other.m_pointer);
    return *this;
  }

  // Adopts a pointer whose reference the caller already owns.
  static ComPtr Attach(T* pointer) noexcept {
    ComPtr result;
    result.m_pointer = pointer;
    return result;
  }

  T* get() const noexcept { return m_pointer; }
  T* operator->() const noexcept { return m_pointer; }
  explicit operator bool() const noexcept { return m_pointer != nullptr; }
  void reset() noexcept {
    if (T* old = std::exchange(m_pointer, nullptr)) old->Release();
  }
  T** put() noexcept {
    reset();
    return &m_pointer;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  template <typename U>
  ComPtr<U> As(REFIID iid) const noexcept {
    ComPtr<U> result;
    if (m_pointer) m_pointer->QueryInterface(iid, result.put_void());
    return result;
  }

 private:
  T* m_pointer = nullptr;
};

// CoInitialize for the lifetime of the scope; CoUninitialize balances every
// successful call (S_FALSE included), never a failed one.
class ComScope {
 public:
  ComScope() noexcept : m_result(CoInitialize(nullptr)) {}
  ~ComScope() {
    if (SUCCEEDED(m_result)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool succeeded() const noexcept { return SUCCEEDED(m_result); }

 private:
  HRESULT m_result;
};

class Bstr {
 public:
  Bstr() noexcept = default;
  explicit Bstr(std::wstring_view value)
      : m_value(SysAllocStringLen(value.data(), static_cast<UINT>(value.size()))) {}
  ~Bstr() { SysFreeString(m_value); }
  Bstr(Bstr&& other) noexcept : m_value(std::exchange(other.m_value, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      SysFreeString(m_value);
      m_value = std::exchange(other.m_value, nullptr);
    }
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const noexcept { return m_value; }
  [[nodiscard]] BSTR release() noexcept { return std::exchange(m_value, nullptr); }
  BSTR* put() noexcept {
    SysFreeString(std::exchange(m_value, nullptr));
    return &m_value;
  }
  std::wstring str() const {
    return m_value ? std::wstring(m_value, SysStringLen(m_value)) : std::wstring();
  }

 private:
  BSTR m_value = nullptr;
};

// An owned VARIANT. Constructors build the argument kinds the late-bound
// objects take; the readers convert results the way Automation does.
class Variant {
 public:
  Variant() noexcept { VariantInit(&m_value); }
  ~Variant() { VariantClear(&m_value); }
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;

  Variant(const wchar_t* value);
  Variant(std::wstring_view value);
  Variant(const std::wstring& value) : Variant(std::wstring_view(value)) {}
  Variant(bool value) noexcept;
  Variant(std::int32_t value) noexcept;
  Variant(double value) noexcept;
  Variant(IDispatch* value) noexcept;
  Variant(IUnknown* value) noexcept;

  // A one-dimensional array of bytes (VT_ARRAY | VT_UI1).
  static Variant FromBytes(std::string_view bytes);

  const VARIANT& get() const noexcept { return m_value; }
  VARIANT* put() noexcept {
    VariantClear(&m_value);
    return &m_value;
  }
  VARTYPE type() const noexcept { return m_value.vt; }
  bool IsEmptyOrNull() const noexcept { return m_value.vt == VT_EMPTY || m_value.vt == VT_NULL; }

  // The value converted by VariantChangeType; nothing when it does not convert.
  std::optional<std::wstring> ToWide() const;
  std::optional<double> ToDouble() const;
  std::optional<bool> ToBool() const;
  // The bytes of a byte array (VT_ARRAY of VT_UI1 or VT_I1), else empty.
  std::string ToBytes() const;
  // The object held (VT_DISPATCH, or VT_UNKNOWN answering IDispatch).
  ComPtr<IDispatch> ToDispatch() const;

 private:
  VARIANT m_value;
};

// Frees the strings an IDispatch::Invoke or a script error filled in and
// clears the record for its next use.
inline void FreeExceptionInfo(EXCEPINFO& exception) noexcept {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  exception = EXCEPINFO{};
}

}  // namespace win
