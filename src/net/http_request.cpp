#include "net/http_request.h"

#include <array>
#include <chrono>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include "net/cookie_merge.h"
#include "net/request_deadline.h"
#include "net/request_text.h"
#include "win/wide.h"

namespace net {
namespace {

constexpr std::array<const wchar_t*, 9> kRequestMethods = {
    L"GET", L"POST", L"HEAD", L"PUT", L"OPTIONS", L"DELETE", L"TRACE", L"CONNECT", L"PATCH"};
constexpr std::int32_t kPostMethod = 1;

constexpr std::int32_t kDefaultTimeoutMs = 15000;
// WinHttpRequestOption_EnableRedirects and _SslErrorIgnoreFlags.
constexpr std::int32_t kOptionEnableRedirects = 6;
constexpr std::int32_t kOptionSslErrorIgnoreFlags = 4;
// Unknown CA, wrong usage, invalid common name, invalid date.
constexpr std::int32_t kIgnoredCertificateErrors = 0x3300;
// HTTPREQUEST_PROXYSETTING_PROXY: a named proxy server.
constexpr std::int32_t kNamedProxy = 2;
constexpr std::int32_t kCredentialsForProxy = 1;

struct DefaultHeader {
  std::string_view soughtName;
  std::string_view line;  // appended as a further line: begins with CR LF
  bool followedByUrl = false;
  bool onlyForPost = false;
};

// Browser-like headers that servers expect, appended in this order.
constexpr std::array<DefaultHeader, 5> kDefaultHeaders = {{
    {"Accept:", "\r\nAccept: */*"},
    {"Referer:", "\r\nReferer: ", true},
    {"Accept-Language:", "\r\nAccept-Language: zh-cn"},
    {"User-Agent:", "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"},
    {"Content-Type:", "\r\nContent-Type: application/x-www-form-urlencoded", false, true},
}};

text::Text ComposeHeaderText(std::string_view url, std::int32_t method,
                             const HttpRequestOptions& options) {
  text::Text headers(options.extraHeaders);
  if (options.completeHeaders) {
    for (const DefaultHeader& header : kDefaultHeaders) {
      if (header.onlyForPost && method != kPostMethod) continue;
      // Each search sees the lines the rows before it appended.
      if (text::Contains(headers, header.soughtName, true)) continue;
      headers += header.line;
      if (header.followedByUrl) headers += url;
    }
  }
  if (options.normalizeHeaderNames) headers = NormalizeHeaderNames(headers);
  return headers;
}

// The name and value pairs to set from a header text. A single line is set
// as it stands; among several lines a "Connection: keep-alive" line is left
// to the request object, which manages the connection itself.
std::vector<std::pair<text::Text, text::Text>> HeaderFields(std::string_view headers) {
  std::vector<std::pair<text::Text, text::Text>> fields;
  auto add = [&fields](std::string_view line) {
    text::Text name = HeaderName(line);
    // A line without a name would only become a malformed request line.
    if (!name.empty()) fields.emplace_back(std::move(name), HeaderValue(line));
  };
  if (!text::Contains(headers, "\r\n")) {
    add(headers);
    return fields;
  }
  for (const text::Text& line : text::Split(headers, "\r\n")) {
    if (line.empty()) continue;
    if (HeaderName(line) == "Connection" && HeaderValue(line) == "keep-alive") continue;
    add(line);
  }
  return fields;
}

std::int32_t TimeoutMilliseconds(std::int32_t timeoutSeconds) {
  if (timeoutSeconds < 1) return kDefaultTimeoutMs;
  constexpr std::int32_t kLargest = std::numeric_limits<std::int32_t>::max() / 1000;
  return timeoutSeconds > kLargest ? kLargest * 1000 : timeoutSeconds * 1000;
}

// Windows' request object keeps to its timeouts (and may only be aborted
// from its own events); Wine's waits for response headers without limit.
bool RequestObjectNeedsDeadline() {
  static const bool wine = [] {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

// The timeouts bound resolving, connecting, sending and receiving one by one;
// the whole exchange may take the four one after another.
std::chrono::milliseconds ExchangeLimit(std::int32_t timeoutSeconds) {
  return std::chrono::milliseconds(std::int64_t{4} * TimeoutMilliseconds(timeoutSeconds));
}

// Sends `body`; false when the exchange failed or ran past the limit.
bool SendWithinLimit(const win::Dispatch& request, const win::Variant& body,
                     std::int32_t timeoutSeconds) {
  if (timeoutSeconds == -1 || !RequestObjectNeedsDeadline()) {
    return request.Call(L"Send", {body}).ok();
  }
  RequestDeadline deadline(request, ExchangeLimit(timeoutSeconds));
  const bool sent = request.Call(L"Send", {body}).ok();
  deadline.Stop();
  return sent && !deadline.expired();
}

// Status arrives as a number; a fraction is dropped, and anything that is no
// 32-bit number reads as 0.
std::int32_t StatusOf(const win::Dispatch& request) {
  const std::optional<double> status = request.Get(L"Status").value.ToDouble();
  if (!status || !(std::fabs(*status) < 2147483648.0)) return 0;
  return static_cast<std::int32_t>(*status);
}

text::ByteString Exchange(std::string_view url, const HttpRequestOptions& options,
                          const HttpResponseOutputs& outputs) {
  std::int32_t method = options.method;
  if (method < 0 || method > 8) method = 0;

  // A caller's object is used through our own reference, so it stays usable.
  const win::Dispatch request =
      options.requestObject ? *options.requestObject
                            : win::Dispatch::CreateFromProgId(L"WinHttp.WinHttpRequest.5.1");
  if (!options.requestObject && !request) return {};

  // The request object's calls are not checked: a refused call (a header, an
  // option) leaves the exchange to go on, and a failed exchange reads empty.
  const auto applyConnectionSettings = [&] {
    if (options.timeoutSeconds != -1) {
      const std::int32_t milliseconds = TimeoutMilliseconds(options.timeoutSeconds);
      request.Call(L"SetTimeouts", {milliseconds, milliseconds, milliseconds, milliseconds});
    }
    if (!options.proxy.empty()) {
      request.Call(L"SetProxy", {kNamedProxy, win::Widen(options.proxy)});
    }
  };
  applyConnectionSettings();
  request.Call(L"Open", {kRequestMethods[static_cast<size_t>(method)], win::Widen(url), false});
  // Some request objects (Wine's) put timeouts and proxy back to their
  // defaults on Open; applying them again keeps them on every platform.
  applyConnectionSettings();
  if (options.noRedirect) {
    request.Put(L"Option", std::int32_t{0}, {kOptionEnableRedirects});
  }
  request.Put(L"Option", kIgnoredCertificateErrors, {kOptionSslErrorIgnoreFlags});

  const text::Text headers = ComposeHeaderText(url, method, options);
  if (!options.proxy.empty() && !options.proxyUser.empty()) {
    request.Call(L"SetCredentials", {win::Widen(options.proxyUser),
                                     win::Widen(options.proxyPassword), options.credentialTarget});
    if (options.credentialTarget == kCredentialsForProxy) {
      // Sent up front so the proxy needs no challenge round.
      const text::Text basic =
          "Basic " + Base64Encode(options.proxyUser + ":" + options.proxyPassword);
      request.Call(L"SetRequestHeader", {L"Proxy-Authorization", win::Widen(basic)});
    }
  }

  if (options.cookies) {
    text::Text& cookies = *options.cookies;
    // Callers may hand over a whole "Cookie: ..." line; only the value is sent.
    if (!cookies.empty() && text::Contains(cookies, "Cookie:", true)) {
      cookies = text::ReplaceAll(cookies, "Cookie:", "", true);
    }
    request.Call(L"SetRequestHeader", {L"Cookie", win::Widen(cookies)});
  }

  for (const auto& [name, value] : HeaderFields(headers)) {
    request.Call(L"SetRequestHeader", {win::Widen(name), win::Widen(value)});
  }

  const win::Variant sentBody = options.byteBody.empty()
                                   ? win::Variant(win::Widen(options.textBody))
                                   : win::Variant::FromBytes(options.byteBody);
  // After a failed exchange the reads would give nothing, except that Wine's
  // object keeps the headers of a response whose body timed out, and reading
  // its body then crashes: a failed exchange is not read at all.
  text::ByteString body;
  text::Text responseHeaders;
  std::int32_t status = 0;
  if (SendWithinLimit(request, sentBody, options.timeoutSeconds)) {
    body = request.Get(L"ResponseBody").value.ToBytes();
    responseHeaders = win::Narrow(
        request.Call(L"GetAllResponseHeaders").value.ToWide().value_or(std::wstring()));
    status = StatusOf(request);
  }

  text::Text responseCookies = ExtractResponseCookies(text::Split(responseHeaders, "\r\n"));
  if (options.mergeCookies && options.cookies) {
    responseCookies = MergeCookies(*options.cookies, responseCookies);
  }
  if (outputs.responseHeaders) *outputs.responseHeaders = responseHeaders;
  if (outputs.statusCode) *outputs.statusCode = status;
  if (outputs.responseCookies) *outputs.responseCookies = std::move(responseCookies);
  return body;
}

}  // namespace

text::ByteString HttpRequest(std::string_view url, const HttpRequestOptions& options,
                             const HttpResponseOutputs& outputs) {
  // Balanced on every path; the request object goes before the apartment.
  const win::ComScope com;
  try {
    return Exchange(url, options, outputs);
  } catch (const std::exception&) {  // bad_alloc and the like
    return {};
  }
}

}  // namespace net
