#include "win/dispatch.h"

#include <vector>

namespace win {
namespace {

Dispatch CreateFromClassId(const CLSID& classId) noexcept {
  ComPtr<IDispatch> object;
  if (FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, object.put_void()))) {
    return {};
  }
  return Dispatch(std::move(object));
}

}  // namespace

Dispatch Dispatch::CreateFromProgId(const wchar_t* progId) noexcept {
  CLSID classId{};
  if (FAILED(CLSIDFromProgID(progId, &classId))) return {};
  return CreateFromClassId(classId);
}

Dispatch Dispatch::CreateFromTypeLibrary(const wchar_t* typeLibraryFile,
                                         const wchar_t* coclassName) noexcept {
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLib(typeLibraryFile, library.put()))) return {};
  const UINT count = library->GetTypeInfoCount();
  for (UINT index = 0; index < count; ++index) {
    TYPEKIND kind{};
    if (FAILED(library->GetTypeInfoType(index, &kind)) || kind != TKIND_COCLASS) continue;
    Bstr name;
    if (FAILED(library->GetDocumentation(static_cast<INT>(index), name.put(), nullptr, nullptr,
                                         nullptr)) ||
        name.str() != coclassName) {
      continue;
    }
    ComPtr<ITypeInfo> info;
    if (FAILED(library->GetTypeInfo(index, info.put()))) return {};
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetTypeAttr(&attributes))) return {};
    const CLSID classId = attributes->guid;
    info->ReleaseTypeAttr(attributes);
    return CreateFromClassId(classId);
  }
  return {};
}

InvokeResult Dispatch::Get(const wchar_t* name, std::initializer_list<Variant> arguments) const {
  return Invoke(name, DISPATCH_PROPERTYGET, arguments.begin(), arguments.size(), nullptr);
}

HRESULT Dispatch::Put(const wchar_t* name, const Variant& value,
                      std::initializer_list<Variant> arguments) const {
  return Invoke(name, DISPATCH_PROPERTYPUT, arguments.begin(), arguments.size(), &value).hr;
}

InvokeResult Dispatch::Call(const wchar_t* name, std::initializer_list<Variant> arguments) const {
  return Invoke(name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments.begin(), arguments.size(),
                nullptr);
}

InvokeResult Dispatch::Invoke(const wchar_t* name, WORD flags, const Variant* arguments,
                              size_t count, const Variant* putValue) const {
  InvokeResult result;
  if (!m_object) return result;
  DISPID member = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  result.hr = m_object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
  if (FAILED(result.hr)) return result;

  // IDispatch takes its arguments last first; a put's value goes first of
  // all, named DISPID_PROPERTYPUT. The copies are shallow: Invoke only reads
  // them and the Variants own the contents.
  std::vector<VARIANTARG> reversed;
  reversed.reserve(count + 1);
  if (putValue) reversed.push_back(putValue->get());
  for (size_t index = count; index > 0; --index) reversed.push_back(arguments[index - 1].get());

  DISPID putName = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{};
  parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
  parameters.cArgs = static_cast<UINT>(reversed.size());
  if (putValue) {
    parameters.rgdispidNamedArgs = &putName;
    parameters.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  UINT badArgument = 0;
  result.hr = m_object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                               putValue ? nullptr : result.value.put(), &exception, &badArgument);
  FreeExceptionInfo(exception);
  return result;
}

}  // namespace win
