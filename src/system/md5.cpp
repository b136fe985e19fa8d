#include "system/md5.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <vector>

#include "system/wide_text.h"
#include "win/unique.h"
#include "win/wide.h"

namespace sys {
namespace {

constexpr DWORD kFileChunkSize = 1 << 20;

// A fresh MD5 hash on its own provider. The provider is acquired without a
// key container first; the second try with flags 0 opens the default one.
class Md5Hash {
 public:
  Md5Hash() noexcept {
    if (!CryptAcquireContextW(m_provider.put(), L"", L"", PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
        !CryptAcquireContextW(m_provider.put(), L"", L"", PROV_RSA_FULL, 0)) {
      return;
    }
    if (!CryptCreateHash(m_provider.get(), CALG_MD5, 0, 0, m_hash.put())) m_hash.reset();
  }

  explicit operator bool() const noexcept { return static_cast<bool>(m_hash); }

  bool Add(std::string_view bytes) noexcept {
    while (!bytes.empty()) {
      const DWORD count = static_cast<DWORD>(std::min<size_t>(bytes.size(), kFileChunkSize));
      if (!CryptHashData(m_hash.get(), reinterpret_cast<const BYTE*>(bytes.data()), count, 0)) {
        return false;
      }
      bytes.remove_prefix(count);
    }
    return true;
  }

  // The digest as lower-case hex digits, empty on failure.
  text::Text Finish() {
    BYTE digest[16] = {};
    DWORD length = sizeof digest;
    if (!CryptGetHashParam(m_hash.get(), HP_HASHVAL, digest, &length, 0) ||
        length != sizeof digest) {
      return {};
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    text::Text hex;
    hex.reserve(2 * sizeof digest);
    for (BYTE byte : digest) {
      hex += kDigits[byte >> 4];
      hex += kDigits[byte & 0x0F];
    }
    return hex;
  }

 private:
  // Declared first so that the hash is destroyed before its provider.
  win::UniqueCryptProvider m_provider;
  win::UniqueCryptHash m_hash;
};

}  // namespace

text::Text Md5Text(std::string_view data) {
  Md5Hash hash;
  if (!hash || !hash.Add(data)) return {};
  return hash.Finish();
}

text::Text Md5TextOfFile(std::string_view path) {
  win::UniqueFile file(CreateFileW(win::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return Md5Text({});
  Md5Hash hash;
  if (!hash) return {};
  std::vector<char> buffer(kFileChunkSize);
  for (;;) {
    DWORD read = 0;
    // A read that fails part-way makes the file unreadable: empty content.
    if (!ReadFile(file.get(), buffer.data(), kFileChunkSize, &read, nullptr)) return Md5Text({});
    if (read == 0) break;
    if (!hash.Add(std::string_view(buffer.data(), read))) return {};
  }
  return hash.Finish();
}

bool FileMatchesMd5(std::string_view path, std::string_view md5) {
  return EntryIsPresent(path) && Md5TextOfFile(path) == md5;
}

}  // namespace sys
