#include <cstring>

#include "win/com.h"

namespace win {

Variant::Variant(const Variant& other) {
  VariantInit(&m_value);
  VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value));
}

Variant::Variant(Variant&& other) noexcept {
  m_value = other.m_value;
  VariantInit(&other.m_value);
}

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(m_value, other.m_value);
  return *this;
}

Variant::Variant(const wchar_t* value) : Variant(std::wstring_view(value ? value : L"")) {}

Variant::Variant(std::wstring_view value) {
  VariantInit(&m_value);
  m_value.vt = VT_BSTR;
  m_value.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  if (!m_value.bstrVal) m_value.vt = VT_EMPTY;
}

Variant::Variant(bool value) noexcept {
  VariantInit(&m_value);
  m_value.vt = VT_BOOL;
  m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(std::int32_t value) noexcept {
  VariantInit(&m_value);
  m_value.vt = VT_I4;
  m_value.lVal = value;
}

Variant::Variant(double value) noexcept {
  VariantInit(&m_value);
  m_value.vt = VT_R8;
  m_value.dblVal = value;
}

Variant::Variant(IDispatch* value) noexcept {
  VariantInit(&m_value);
  m_value.vt = VT_DISPATCH;
  m_value.pdispVal = value;
  if (value) value->AddRef();
}

Variant::Variant(IUnknown* value) noexcept {
  VariantInit(&m_value);
  m_value.vt = VT_UNKNOWN;
  m_value.punkVal = value;
  if (value) value->AddRef();
}

Variant Variant::FromBytes(std::string_view bytes) {
  Variant result;
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!array) return result;
  void* data = nullptr;
  if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
  }
  result.m_value.vt = VT_ARRAY | VT_UI1;
  result.m_value.parray = array;
  return result;
}

std::optional<std::wstring> Variant::ToWide() const {
  if (m_value.vt == VT_BSTR) {
    return std::wstring(m_value.bstrVal ? m_value.bstrVal : L"", SysStringLen(m_value.bstrVal));
  }
  Variant converted;
  if (FAILED(VariantChangeType(converted.put(), const_cast<VARIANT*>(&m_value), 0, VT_BSTR))) return std::nullopt;
  return converted.ToWide();
}

std::optional<double> Variant::ToDouble() const {
  Variant converted;
  if (FAILED(VariantChangeType(converted.put(), const_cast<VARIANT*>(&m_value), 0, VT_R8))) return std::nullopt;
  return converted.m_value.dblVal;
}

std::optional<bool> Variant::ToBool() const {
  Variant converted;
  if (FAILED(VariantChangeType(converted.put(), const_cast<VARIANT*>(&m_value), 0, VT_BOOL))) return std::nullopt;
  return converted.m_value.boolVal != VARIANT_FALSE;
}

std::string Variant::ToBytes() const {
  const VARTYPE element = m_value.vt & ~(VT_ARRAY | VT_BYREF);
  if (!(m_value.vt & VT_ARRAY) || (element != VT_UI1 && element != VT_I1)) return {};
  SAFEARRAY* array = (m_value.vt & VT_BYREF) ? (m_value.pparray ? *m_value.pparray : nullptr)
                                             : m_value.parray;
  if (!array || SafeArrayGetDim(array) != 1) return {};
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  if (upper < lower) return {};
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return {};
  std::string bytes(static_cast<const char*>(data), static_cast<size_t>(upper - lower + 1));
  SafeArrayUnaccessData(array);
  return bytes;
}

ComPtr<IDispatch> Variant::ToDispatch() const {
  if (m_value.vt == VT_DISPATCH) return ComPtr<IDispatch>(m_value.pdispVal);
  if (m_value.vt == VT_UNKNOWN && m_value.punkVal) {
    ComPtr<IDispatch> result;
    m_value.punkVal->QueryInterface(IID_IDispatch, result.put_void());
    return result;
  }
  return {};
}

}  // namespace win
