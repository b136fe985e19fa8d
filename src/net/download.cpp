#include "net/download.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "net/blocking_call_thread.h"
#include "system/message_box.h"
#include "text/text.h"
#include "win/unique.h"
#include "win/wide.h"

namespace net {
namespace {

constexpr std::string_view kHeaderBlock =
    "Accept: */*\r\n"
    "Accept-Language: zh-cn\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";

constexpr DWORD kReadBufferSize = 10240;

// Every transfer fetches afresh; redirects are followed here, not by
// WinInet, which under Wine follows a redirect loop for ever.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT;

std::int32_t Fail(std::string_view message) {
  sys::ShowMessage(message, sys::kDefaultMessageTitle, MB_OK);
  return -1;
}

std::int32_t Uptime() { return static_cast<std::int32_t>(GetTickCount()); }

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<DWORD> QueryNumber(HINTERNET request, DWORD info) {
  DWORD value = 0;
  DWORD length = sizeof value;
  DWORD index = 0;
  if (!HttpQueryInfoW(request, info | HTTP_QUERY_FLAG_NUMBER, &value, &length, &index)) {
    return std::nullopt;
  }
  return value;
}

// The Location header resolved against the address that answered with it.
std::wstring RedirectTarget(HINTERNET request, const std::wstring& base) {
  DWORD bytes = 0;
  DWORD index = 0;
  HttpQueryInfoW(request, HTTP_QUERY_LOCATION, nullptr, &bytes, &index);
  if (bytes == 0) return {};
  std::wstring location(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(location.size() * sizeof(wchar_t));
  index = 0;
  if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location.data(), &bytes, &index)) return {};
  location.resize(bytes / sizeof(wchar_t));
  if (location.empty()) return {};

  DWORD length = 0;
  InternetCombineUrlW(base.c_str(), location.c_str(), nullptr, &length, ICU_NO_ENCODE);
  if (length == 0) return {};
  std::wstring combined(length + 1, L'\0');
  length = static_cast<DWORD>(combined.size());
  if (!InternetCombineUrlW(base.c_str(), location.c_str(), combined.data(), &length,
                           ICU_NO_ENCODE)) {
    return {};
  }
  combined.resize(length);
  return combined;
}

// Everything the blocking calls touch. A call that the caller gave up on
// keeps it alive until the call returns.
struct Connection {
  std::mutex mutex;
  win::UniqueInternet session;
  win::UniqueInternet request;
  std::vector<char> buffer = std::vector<char>(kReadBufferSize, '\0');
  // Results of the last call.
  bool ok = false;
  DWORD bytesRead = 0;

  HINTERNET Session() {
    std::lock_guard lock(mutex);
    return session.get();
  }
  HINTERNET Request() {
    std::lock_guard lock(mutex);
    return request.get();
  }
  void SetRequest(win::UniqueInternet value) {
    std::lock_guard lock(mutex);
    request = std::move(value);
  }
  // On Windows this also ends a call blocked on the handles.
  void Close() {
    std::lock_guard lock(mutex);
    request.reset();
    session.reset();
  }
};

// Opens `url`, following at most `maxRedirects` redirects. Runs on the
// blocking-call thread; `ok` tells whether a request is open.
void OpenRequest(Connection& connection, std::wstring address, const std::wstring& headers,
                 int maxRedirects) {
  connection.ok = false;
  for (int hops = 0;; ++hops) {
    win::UniqueInternet request(InternetOpenUrlW(connection.Session(), address.c_str(),
                                                 headers.c_str(),
                                                 static_cast<DWORD>(headers.size()),
                                                 kRequestFlags, 0));
    if (!request) return;
    const std::optional<DWORD> status = QueryNumber(request.get(), HTTP_QUERY_STATUS_CODE);
    std::wstring next;
    if (status && IsRedirect(*status)) next = RedirectTarget(request.get(), address);
    // A redirect without a usable Location is an ordinary answer.
    if (next.empty()) {
      connection.SetRequest(std::move(request));
      connection.ok = true;
      return;
    }
    if (hops >= maxRedirects) return;
    address = std::move(next);
  }
}

void ReadChunk(Connection& connection) {
  connection.bytesRead = 0;
  connection.ok = InternetReadFile(connection.Request(), connection.buffer.data(),
                                   kReadBufferSize, &connection.bytesRead) != FALSE;
}

win::UniqueFile OpenLocalFile(std::string_view localPath, bool resume) {
  win::UniqueFile file(CreateFileW(win::Widen(localPath).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, resume ? OPEN_ALWAYS : CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file && resume && !SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_END)) {
    file.reset();
  }
  return file;
}

void WriteChunk(HANDLE file, const char* bytes, DWORD count) {
  DWORD written = 0;
  WriteFile(file, bytes, count, &written, nullptr);
}

std::int32_t Low32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

std::int32_t ResumableDownload(std::string_view url, std::string_view localPath,
                               const DownloadProgressCallback& progress, std::int32_t resumeFrom,
                               bool resume, const DownloadOptions& options) {
  DWORD connectionFlags = 0;
  InternetGetConnectedState(&connectionFlags, 0);

  const text::Text agent = "Agent" + text::FormatInt(Uptime());
  const DWORD accessType = (connectionFlags & INTERNET_CONNECTION_PROXY)
                               ? INTERNET_OPEN_TYPE_PRECONFIG
                               : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
  const auto connection = std::make_shared<Connection>();
  connection->session.reset(
      InternetOpenW(win::Widen(agent).c_str(), accessType, nullptr, nullptr, 0));
  if (!connection->session) return Fail("Internet连接错误!");

  text::Text headers(kHeaderBlock);
  if (resume) headers += "\r\nRange:bytes=" + text::FormatInt(resumeFrom) + "-";

  // Closes the handles even when a blocked call outlives this function.
  struct CloseOnExit {
    std::shared_ptr<Connection> connection;
    ~CloseOnExit() { connection->Close(); }
  } closeOnExit{connection};
  BlockingCallThread calls;

  const bool opened = calls.Run(
      [connection, address = win::Widen(url), wideHeaders = win::Widen(headers),
       maxRedirects = options.maxRedirects] {
        OpenRequest(*connection, address, wideHeaders, maxRedirects);
      },
      options.stallTimeout);
  if (!opened || !connection->ok) return Fail("不能打开该URL!");

  win::UniqueFile file = OpenLocalFile(localPath, resume);
  if (!file) return Fail("不能打开本地的文件!");

  const DWORD totalSize = QueryNumber(connection->Request(), HTTP_QUERY_CONTENT_LENGTH).value_or(0);
  const std::int64_t start = resume ? resumeFrom : 0;
  std::int64_t position = start;

  const std::int32_t startTick = Uptime();
  for (;;) {
    if (!calls.Run([connection] { ReadChunk(*connection); }, options.stallTimeout) ||
        !connection->ok) {
      return Fail("读文件出错!");
    }
    const DWORD read = connection->bytesRead;
    if (read == 0) {
      // WinInet ends a body cut short by the server like a complete one.
      if (totalSize != 0 && position - start < totalSize) return Fail("读文件出错!");
      return 0;
    }
    WriteChunk(file.get(), connection->buffer.data(), read);
    position += read;
    std::int32_t elapsedMs = static_cast<std::int32_t>(static_cast<std::uint32_t>(Uptime()) -
                                                       static_cast<std::uint32_t>(startTick));
    if (elapsedMs == 0) elapsedMs = 10;
    if (progress) {
      progress(static_cast<std::int32_t>(totalSize), Low32(position), elapsedMs,
               Low32(position - resumeFrom));
    }
  }
}

}  // namespace net
