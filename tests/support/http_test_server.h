// A small HTTP/1.1 server on 127.0.0.1 for the tests: it records every
// request it receives and answers each as the test's handler says, including
// the misbehaviour real servers show (delays, stalls, cut connections).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace test_support {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct HttpTestRequest {
  std::string method;
  std::string target;  // as on the request line: a path, or an absolute URL through a proxy
  HeaderList headers;  // in the order received, names as sent
  std::string body;
  // The first header of that name (ASCII case ignored), or nothing.
  std::optional<std::string> Header(std::string_view name) const;
  // Every header name in order, as sent.
  std::vector<std::string> HeaderNames() const;
};

struct HttpTestResponse {
  int status = 200;
  std::string reason = "OK";
  HeaderList headers;
  std::string body;
  bool sendContentLength = true;
  // Waits this long before sending anything.
  std::chrono::milliseconds delay{0};
  // Sends only this many body bytes; then `stall` decides what happens.
  std::optional<size_t> bodyLimit;
  // With bodyLimit: keep the connection open without sending more until the
  // server stops (true), or close it at once (false: a cut connection).
  bool stall = false;
  // Sent verbatim instead of a composed response.
  std::optional<std::string> raw;
};

class HttpTestServer {
 public:
  using Handler = std::function<HttpTestResponse(const HttpTestRequest&)>;

  // Listens on 127.0.0.1:`port` (0 picks a free port).
  explicit HttpTestServer(Handler handler, std::uint16_t port = 0);
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  bool listening() const;
  std::uint16_t port() const;
  // "http://127.0.0.1:<port>"
  std::string BaseUrl() const;
  std::vector<HttpTestRequest> Requests() const;
  size_t RequestCount() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// Handlers for the common cases.
HttpTestResponse TextResponse(std::string body, int status = 200);

// A port that nothing listens on (bound once, then released).
std::uint16_t UnusedPort();

}  // namespace test_support
