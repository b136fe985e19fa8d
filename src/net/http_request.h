// One synchronous HTTP exchange through the WinHttp request object, with
// browser-like default headers, cookies, a proxy with credentials, and the
// response headers, status and cookies handed back. Nothing is shown to the
// user; every failure gives empty results.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/text.h"
#include "win/dispatch.h"

namespace net {

struct HttpRequestOptions {
  // Index into the method table (GET, POST, HEAD, PUT, OPTIONS, DELETE,
  // TRACE, CONNECT, PATCH); anything out of range sends GET.
  std::int32_t method = 0;
  text::Text textBody{};
  // Cookies to send, read and written: nullptr means absent, which differs
  // from an empty text (an empty text still sends an empty Cookie header).
  text::Text* cookies = nullptr;
  // The caller's header lines, separated by CR LF.
  text::Text extraHeaders{};
  bool noRedirect = false;
  // Sent instead of textBody when not empty.
  text::ByteString byteBody{};
  text::Text proxy{};
  // -1 leaves the object's timeouts alone; 1 or more is seconds; else 15 s.
  // Each of the four timeouts gets that value; where the object ignores them
  // (Wine), the whole exchange is aborted after four times that value.
  std::int32_t timeoutSeconds = 0;
  text::Text proxyUser{};
  text::Text proxyPassword{};
  // Handed to SetCredentials: 0 the server, 1 the proxy.
  std::int32_t credentialTarget = 1;
  // A caller's request object to use instead of a new one; nullptr means
  // absent, a pointer to an empty Dispatch makes the exchange fail.
  const win::Dispatch* requestObject = nullptr;
  bool mergeCookies = true;
  bool completeHeaders = true;
  bool normalizeHeaderNames = true;
};

// Where the response details go; each may be left out.
struct HttpResponseOutputs {
  text::Text* responseCookies = nullptr;
  text::Text* responseHeaders = nullptr;
  std::int32_t* statusCode = nullptr;
};

// The response body, whatever the status; empty after any failure.
text::ByteString HttpRequest(std::string_view url, const HttpRequestOptions& options = {},
                             const HttpResponseOutputs& outputs = {});

}  // namespace net
