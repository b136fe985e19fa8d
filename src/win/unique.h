// Move-only owners for Windows handles: one template, one traits struct per
// kind of handle, so each close function is written once.
#pragma once

#include <windows.h>
#include <wincrypt.h>
#include <wininet.h>

#include <utility>

namespace win {

template <typename Traits>
class Unique {
 public:
  using Type = typename Traits::Type;

  Unique() noexcept = default;
  explicit Unique(Type value) noexcept : m_value(value) {}
  ~Unique() { reset(); }

  Unique(Unique&& other) noexcept : m_value(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  Type get() const noexcept { return m_value; }
  explicit operator bool() const noexcept { return m_value != Traits::Invalid(); }

  void reset(Type value = Traits::Invalid()) noexcept {
    const Type old = std::exchange(m_value, value);
    if (old != Traits::Invalid()) Traits::Close(old);
  }
  [[nodiscard]] Type release() noexcept { return std::exchange(m_value, Traits::Invalid()); }
  // For out-parameters: closes what is held and hands out the slot.
  Type* put() noexcept {
    reset();
    return &m_value;
  }

 private:
  Type m_value = Traits::Invalid();
};

struct HandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type value) noexcept { CloseHandle(value); }
};

// Files and Toolhelp snapshots use INVALID_HANDLE_VALUE for "none".
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) noexcept { CloseHandle(value); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) noexcept { FindClose(value); }
};

struct InternetHandleTraits {
  using Type = HINTERNET;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type value) noexcept { InternetCloseHandle(value); }
};

struct CryptProviderTraits {
  using Type = HCRYPTPROV;
  static Type Invalid() noexcept { return 0; }
  static void Close(Type value) noexcept { CryptReleaseContext(value, 0); }
};

struct CryptHashTraits {
  using Type = HCRYPTHASH;
  static Type Invalid() noexcept { return 0; }
  static void Close(Type value) noexcept { CryptDestroyHash(value); }
};

using UniqueHandle = Unique<HandleTraits>;
using UniqueFile = Unique<FileHandleTraits>;
using UniqueSnapshot = Unique<FileHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueInternet = Unique<InternetHandleTraits>;
using UniqueCryptProvider = Unique<CryptProviderTraits>;
using UniqueCryptHash = Unique<CryptHashTraits>;

}  // namespace win
