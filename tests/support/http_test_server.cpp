#include "support/http_test_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <charconv>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace test_support {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string Trimmed(std::string_view value) {
  const size_t first = value.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = value.find_last_not_of(" \t");
  return std::string(value.substr(first, last - first + 1));
}

bool SendAll(SOCKET socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const int sent = send(socket, bytes.data(), static_cast<int>(bytes.size()), 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

std::string Compose(const HttpTestResponse& response, std::string_view body) {
  std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
  for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
  if (response.sendContentLength) {
    head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  }
  head += "Connection: close\r\n\r\n";
  return head + std::string(body);
}

}  // namespace

std::optional<std::string> HttpTestRequest::Header(std::string_view name) const {
  for (const auto& [headerName, value] : headers) {
    if (EqualsIgnoringCase(headerName, name)) return value;
  }
  return std::nullopt;
}

std::vector<std::string> HttpTestRequest::HeaderNames() const {
  std::vector<std::string> names;
  for (const auto& header : headers) names.push_back(header.first);
  return names;
}

struct HttpTestServer::State {
  Handler handler;
  SOCKET listener = INVALID_SOCKET;
  std::uint16_t port = 0;
  std::thread acceptThread;
  mutable std::mutex mutex;
  std::condition_variable stopped;
  bool stopping = false;
  std::vector<HttpTestRequest> requests;
  std::vector<SOCKET> clients;
  std::vector<std::thread> workers;

  void AcceptLoop() {
    for (;;) {
      const SOCKET client = accept(listener, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::lock_guard lock(mutex);
      if (stopping) {
        closesocket(client);
        return;
      }
      clients.push_back(client);
      workers.emplace_back([this, client] { Serve(client); });
    }
  }

  // Reads one request; false when the peer closed or sent garbage.
  static bool ReadRequest(SOCKET client, HttpTestRequest& request) {
    std::string data;
    char buffer[8192];
    size_t headerEnd;
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
      const int received = recv(client, buffer, sizeof buffer, 0);
      if (received <= 0) return false;
      data.append(buffer, static_cast<size_t>(received));
    }
    const std::string head = data.substr(0, headerEnd);
    std::string rest = data.substr(headerEnd + 4);
    size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const size_t firstSpace = requestLine.find(' ');
    const size_t secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) return false;
    request.method = requestLine.substr(0, firstSpace);
    request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    size_t contentLength = 0;
    while (lineEnd != std::string::npos) {
      const size_t start = lineEnd + 2;
      lineEnd = head.find("\r\n", start);
      const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos
                                                                              : lineEnd - start);
      const size_t colon = line.find(':');
      if (colon == std::string::npos) continue;
      request.headers.emplace_back(line.substr(0, colon), Trimmed(line.substr(colon + 1)));
      if (EqualsIgnoringCase(request.headers.back().first, "Content-Length")) {
        const std::string& value = request.headers.back().second;
        // A malformed length is a bad request, not a crash of the server thread.
        if (std::from_chars(value.data(), value.data() + value.size(), contentLength).ec !=
            std::errc()) {
          return false;
        }
      }
    }
    while (rest.size() < contentLength) {
      const int received = recv(client, buffer, sizeof buffer, 0);
      if (received <= 0) return false;
      rest.append(buffer, static_cast<size_t>(received));
    }
    request.body = rest.substr(0, contentLength);
    return true;
  }

  // Waits up to `duration`; true when the server is stopping.
  bool WaitForStop(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex);
    return stopped.wait_for(lock, duration, [this] { return stopping; });
  }

  void Serve(SOCKET client) {
    HttpTestRequest request;
    if (ReadRequest(client, request)) {
      {
        std::lock_guard lock(mutex);
        requests.push_back(request);
      }
      const HttpTestResponse response = handler(request);
      if (response.delay.count() > 0 && WaitForStop(response.delay)) {
        // Stopping: just close.
      } else if (response.raw) {
        SendAll(client, *response.raw);
      } else if (response.bodyLimit) {
        const std::string_view body(response.body);
        SendAll(client, Compose(response, body.substr(0, *response.bodyLimit)));
        if (response.stall) WaitForStop(std::chrono::hours(1));
      } else {
        SendAll(client, Compose(response, response.body));
      }
    }
    shutdown(client, SD_SEND);
    // Let the peer read everything before the socket goes.
    char drain[1024];
    timeval wait{1, 0};
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(client, &readable);
    if (select(0, &readable, nullptr, nullptr, &wait) > 0) recv(client, drain, sizeof drain, 0);
    std::lock_guard lock(mutex);
    for (SOCKET& known : clients) {
      if (known == client) known = INVALID_SOCKET;
    }
    closesocket(client);
  }
};

HttpTestServer::HttpTestServer(Handler handler, std::uint16_t port) : m_state(new State) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  m_state->handler = std::move(handler);
  m_state->listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (bind(m_state->listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(m_state->listener, SOMAXCONN) != 0) {
    closesocket(m_state->listener);
    m_state->listener = INVALID_SOCKET;
    return;
  }
  int length = sizeof address;
  getsockname(m_state->listener, reinterpret_cast<sockaddr*>(&address), &length);
  m_state->port = ntohs(address.sin_port);
  m_state->acceptThread = std::thread([state = m_state.get()] { state->AcceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
  std::vector<std::thread> workers;
  {
    std::lock_guard lock(m_state->mutex);
    m_state->stopping = true;
    for (SOCKET client : m_state->clients) {
      if (client != INVALID_SOCKET) shutdown(client, SD_BOTH);
    }
  }
  m_state->stopped.notify_all();
  if (m_state->listener != INVALID_SOCKET) closesocket(m_state->listener);
  if (m_state->acceptThread.joinable()) m_state->acceptThread.join();
  {
    std::lock_guard lock(m_state->mutex);
    workers.swap(m_state->workers);
  }
  for (std::thread& worker : workers) worker.join();
  WSACleanup();
}

bool HttpTestServer::listening() const { return m_state->listener != INVALID_SOCKET; }
std::uint16_t HttpTestServer::port() const { return m_state->port; }
std::string HttpTestServer::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(m_state->port);
}

std::vector<HttpTestRequest> HttpTestServer::Requests() const {
  std::lock_guard lock(m_state->mutex);
  return m_state->requests;
}

size_t HttpTestServer::RequestCount() const {
  std::lock_guard lock(m_state->mutex);
  return m_state->requests.size();
}

HttpTestResponse TextResponse(std::string body, int status) {
  HttpTestResponse response;
  response.status = status;
  response.reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Status";
  response.body = std::move(body);
  return response;
}

std::uint16_t UnusedPort() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  int length = sizeof address;
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  closesocket(probe);
  WSACleanup();
  return ntohs(address.sin_port);
}

}  // namespace test_support
