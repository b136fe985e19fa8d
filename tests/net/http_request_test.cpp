// HttpRequest against a real HTTP server on 127.0.0.1 and Wine's WinHttp
// request object. What the server records is what went over the wire.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "net/http_request.h"
#include "support/http_test_server.h"
#include "win/com.h"
#include "win/dispatch.h"

namespace {

using test_support::HeaderList;
using test_support::HttpTestRequest;
using test_support::HttpTestResponse;
using test_support::HttpTestServer;
using test_support::TextResponse;

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr char kFormContentType[] = "application/x-www-form-urlencoded";

// Wine's request object differs from Windows' in ways some tests must allow
// for; each such place says which.
bool RunningOnWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The outputs start out stale so that every test sees whether they were written.
struct Outcome {
  text::ByteString body;
  text::Text responseHeaders = "stale headers";
  std::int32_t statusCode = -7;
  text::Text responseCookies = "stale=1";
};

Outcome Fetch(std::string_view url, const net::HttpRequestOptions& options = {}) {
  Outcome outcome;
  outcome.body = net::HttpRequest(url, options,
                                  {.responseCookies = &outcome.responseCookies,
                                   .responseHeaders = &outcome.responseHeaders,
                                   .statusCode = &outcome.statusCode});
  return outcome;
}

int CountHeaders(const HttpTestRequest& request, std::string_view name) {
  int count = 0;
  for (const auto& header : request.headers) {
    if (text::EqualsIgnoringAsciiCase(header.first, name)) ++count;
  }
  return count;
}

// The headers the caller controls: what the platform adds for itself
// (Host, Connection, Content-Length) left out.
std::vector<std::string> CallerHeaderNames(const HttpTestRequest& request) {
  std::vector<std::string> names;
  for (const std::string& name : request.HeaderNames()) {
    if (name != "Host" && name != "Connection" && name != "Content-Length") names.push_back(name);
  }
  return names;
}

// One server that answers every request with the same response.
class HttpRequestTest : public testing::Test {
 protected:
  HttpTestResponse m_response = TextResponse("hello");
  HttpTestServer m_server{[this](const HttpTestRequest&) { return m_response; }};

  std::string Url(std::string_view path = "/manifest") const { return m_server.BaseUrl() + std::string(path); }
  HttpTestRequest OnlyRequest() const {
    const std::vector<HttpTestRequest> requests = m_server.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? HttpTestRequest{} : requests.back();
  }
};

TEST_F(HttpRequestTest, UrlAloneIsAGetWithTheBrowserHeaders) {
  m_response.headers = {{"X-Test", "yes"}};
  const Outcome outcome = Fetch(Url("/marlowtrade/marlow2.t"));

  const HttpTestRequest request = OnlyRequest();
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/marlowtrade/marlow2.t");
  EXPECT_EQ(request.body, "");
  EXPECT_EQ(CallerHeaderNames(request),
            (std::vector<std::string>{"Accept", "Referer", "Accept-Language", "User-Agent"}));
  EXPECT_EQ(request.Header("Accept"), "*/*");
  EXPECT_EQ(request.Header("Referer"), Url("/marlowtrade/marlow2.t"));
  EXPECT_EQ(request.Header("Accept-Language"), "zh-cn");
  EXPECT_EQ(request.Header("User-Agent"), kUserAgent);

  EXPECT_EQ(outcome.body, "hello");
  EXPECT_EQ(outcome.statusCode, 200);
  EXPECT_EQ(outcome.responseHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << outcome.responseHeaders;
  EXPECT_NE(outcome.responseHeaders.find("X-Test: yes\r\n"), std::string::npos);
  EXPECT_EQ(outcome.responseCookies, "");
}

TEST_F(HttpRequestTest, MethodNumbersPickTheMethodAndOnlyPostGetsAFormContentType) {
  struct Case {
    std::int32_t method;
    const char* sent;
    bool formContentType;
  };
  const Case cases[] = {{0, "GET", false},     {1, "POST", true},     {2, "HEAD", false},
                        {3, "PUT", false},     {4, "OPTIONS", false}, {5, "DELETE", false},
                        {6, "TRACE", false},   {7, "CONNECT", false}, {8, "PATCH", false},
                        {9, "GET", false},     {-1, "GET", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method);
    const size_t before = m_server.RequestCount();
    Fetch(Url(), {.method = c.method, .textBody = "a=1"});
    const std::vector<HttpTestRequest> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back().method, c.sent);
    EXPECT_EQ(requests.back().Header("Content-Type"),
              c.formContentType ? std::optional<std::string>(kFormContentType) : std::nullopt);
  }
}

TEST_F(HttpRequestTest, CallerHeadersTakeThePlaceOfDefaultsAndNamesAreCapitalised) {
  struct Case {
    const char* name;
    net::HttpRequestOptions options;
    HeaderList expected;                  // names exactly as sent
    std::vector<std::string> absent;      // any letter case
    bool ourUserAgent = true;  // else the platform's own
  };
  const Case cases[] = {
      {"default line suppressed",
       {.extraHeaders = "accept: text/html"},
       {{"Accept", "text/html"}, {"User-Agent", kUserAgent}},
       {}},
      {"names capitalised at every dash",
       {.extraHeaders = "x-requested-with: XMLHttpRequest\r\ncache-control:no-cache\r\nbroken line"},
       {{"X-Requested-With", "XMLHttpRequest"}, {"Cache-Control", "no-cache"}},
       {}},
      {"names kept when normalisation is off",
       {.extraHeaders = "x-requested-with: XMLHttpRequest\r\ncache-control:no-cache",
        .normalizeHeaderNames = false},
       {{"x-requested-with", "XMLHttpRequest"}, {"cache-control", "no-cache"}},
       {}},
      {"caller's content type for a post",
       {.method = 1, .extraHeaders = "content-type: text/plain"},
       {{"Content-Type", "text/plain"}},
       {}},
      {"no defaults when completion is off",
       {.extraHeaders = "X-One: 1", .completeHeaders = false},
       {{"X-One", "1"}},
       {"Referer", "Accept-Language"},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = m_server.RequestCount();
    Fetch(Url(), c.options);
    const std::vector<HttpTestRequest> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    const HttpTestRequest& request = requests.back();
    for (const auto& [name, value] : c.expected) {
      EXPECT_EQ(CountHeaders(request, name), 1) << name;
      bool found = false;
      for (const auto& header : request.headers) found |= header == std::make_pair(name, value);
      EXPECT_TRUE(found) << name << ": " << value;
    }
    for (const std::string& name : c.absent) EXPECT_EQ(CountHeaders(request, name), 0) << name;
    EXPECT_EQ(request.Header("User-Agent") == kUserAgent, c.ourUserAgent);
  }
}

TEST_F(HttpRequestTest, KeepAliveLineIsSetAloneButSkippedAmongOthers) {
  // The platform sends its own "Keep-Alive" unless the caller's value replaces it.
  Fetch(Url(), {.extraHeaders = "Connection: keep-alive", .completeHeaders = false,
                .normalizeHeaderNames = false});
  Fetch(Url(), {.extraHeaders = "X-One: 1\r\nConnection: keep-alive", .completeHeaders = false,
                .normalizeHeaderNames = false});
  const std::vector<HttpTestRequest> requests = m_server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("Connection"), "keep-alive");
  EXPECT_NE(requests[1].Header("Connection"), "keep-alive");
  EXPECT_EQ(requests[1].Header("X-One"), "1");
}

TEST_F(HttpRequestTest, CookiesAbsentEmptyOrGivenAsAHeaderLine) {
  struct Case {
    const char* name;
    std::optional<text::Text> cookies;
    std::optional<std::string> sent;       // the Cookie header the server saw
    std::optional<text::Text> writtenBack;  // the caller's cookies afterwards
  };
  const Case cases[] = {
      {"absent", std::nullopt, std::nullopt, std::nullopt},
      {"empty still sends the header", text::Text(), "", text::Text()},
      {"header line prefix removed", text::Text("Cookie: a=1"), "a=1", text::Text(" a=1")},
      {"prefix removed in any case, everywhere", text::Text("COOKIE: a=1; cookie:b=2"), "a=1; b=2",
       text::Text(" a=1; b=2")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<text::Text> cookies = c.cookies;
    const size_t before = m_server.RequestCount();
    Fetch(Url(), {.cookies = cookies ? &*cookies : nullptr, .mergeCookies = false});
    const std::vector<HttpTestRequest> requests = m_server.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back().Header("Cookie"), c.sent);
    EXPECT_EQ(CountHeaders(requests.back(), "Cookie"), c.sent ? 1 : 0);
    EXPECT_EQ(cookies, c.writtenBack);
  }
}

TEST_F(HttpRequestTest, ResponseCookiesAreTheSetCookiePairs) {
  m_response.headers = {{"Set-Cookie", "sid=1; path=/"},
                        {"set-cookie", "k = v ; HttpOnly"},
                        {"Set-Cookie", "lonely=9"}};
  const Outcome outcome = Fetch(Url());
  EXPECT_EQ(outcome.responseCookies, "sid=1; k = v");
  EXPECT_EQ(OnlyRequest().Header("Cookie"), std::nullopt);
}

TEST_F(HttpRequestTest, SentCookiesAreMergedWithTheResponseCookies) {
  m_response.headers = {{"Set-Cookie", "b=5; path=/"}, {"Set-Cookie", "c=deleted; path=/"}};
  text::Text cookies = "a=1; b=2; c=3";
  const Outcome outcome = Fetch(Url(), {.cookies = &cookies});
  EXPECT_EQ(OnlyRequest().Header("Cookie"), "a=1; b=2; c=3");
  EXPECT_EQ(outcome.responseCookies, "b=5; a=1");
  EXPECT_EQ(cookies, "b=5; a=1");
}

TEST_F(HttpRequestTest, ByteBodyWithZeroBytesWinsOverTextBody) {
  const text::ByteString bytes("\x01\x00\xff\x00z", 5);
  Fetch(Url(), {.method = 1, .textBody = "ignored", .byteBody = bytes});
  EXPECT_EQ(OnlyRequest().body, bytes);
}

TEST_F(HttpRequestTest, TextBodyIsSentForAPost) {
  Fetch(Url(), {.method = 1, .textBody = "name=value&x=1"});
  EXPECT_EQ(OnlyRequest().body, "name=value&x=1");
}

TEST_F(HttpRequestTest, ResponseBodyKeepsZeroBytes) {
  m_response.body = std::string("PK\x00\x01\x00tail", 9);
  EXPECT_EQ(Fetch(Url()).body, m_response.body);
}

TEST_F(HttpRequestTest, ErrorPageBodyComesBackWithItsStatus) {
  m_response = TextResponse("no such file", 404);
  const Outcome outcome = Fetch(Url());
  EXPECT_EQ(outcome.body, "no such file");
  EXPECT_EQ(outcome.statusCode, 404);
  EXPECT_EQ(outcome.responseHeaders.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u);
}

TEST(HttpRequestRedirectTest, NoRedirectReturnsTheRedirectionItself) {
  HttpTestServer server([](const HttpTestRequest& request) {
    if (request.target != "/start") return TextResponse("arrived");
    HttpTestResponse moved = TextResponse("moved");
    moved.status = 302;
    moved.reason = "Found";
    moved.headers = {{"Location", "/target"}};
    return moved;
  });
  struct Case {
    bool noRedirect;
    const char* body;
    std::int32_t status;
    size_t requests;
  };
  const Case cases[] = {{true, "moved", 302, 1}, {false, "arrived", 200, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.noRedirect);
    const size_t before = server.RequestCount();
    const Outcome outcome = Fetch(server.BaseUrl() + "/start", {.noRedirect = c.noRedirect});
    EXPECT_EQ(outcome.body, c.body);
    EXPECT_EQ(outcome.statusCode, c.status);
    EXPECT_EQ(server.RequestCount() - before, c.requests);
  }
}

// A failed exchange clears every output; cookies that were sent survive as
// their merge with nothing.
void ExpectFailedExchange(const Outcome& outcome) {
  EXPECT_EQ(outcome.body, "");
  EXPECT_EQ(outcome.responseHeaders, "");
  EXPECT_EQ(outcome.statusCode, 0);
  EXPECT_EQ(outcome.responseCookies, "");
}

TEST(HttpRequestFailureTest, UnreachableServerGivesEmptyResults) {
  const std::string url = "http://127.0.0.1:" + std::to_string(test_support::UnusedPort()) + "/x";
  ExpectFailedExchange(Fetch(url, {.timeoutSeconds = 2}));

  text::Text cookies = " a=1; a=2;";
  const Outcome merged = Fetch(url, {.cookies = &cookies, .timeoutSeconds = 2});
  EXPECT_EQ(merged.body, "");
  EXPECT_EQ(merged.statusCode, 0);
  EXPECT_EQ(merged.responseCookies, "a=1");
  EXPECT_EQ(cookies, "a=1");
}

TEST(HttpRequestFailureTest, EmptyRequestObjectGivesEmptyResults) {
  const win::Dispatch none;
  HttpTestServer server([](const HttpTestRequest&) { return TextResponse("unused"); });
  ExpectFailedExchange(Fetch(server.BaseUrl() + "/x", {.requestObject = &none}));
  EXPECT_EQ(server.RequestCount(), 0u);
}

TEST(HttpRequestFailureTest, StalledServerTimesOutWithinTheConfiguredSeconds) {
  HttpTestResponse silent = TextResponse("too late");
  silent.delay = std::chrono::seconds(60);  // cut short when the server stops
  HttpTestResponse stalledBody = TextResponse(std::string(1000, 'x'));
  stalledBody.bodyLimit = 10;
  stalledBody.stall = true;
  struct Case {
    const char* name;
    HttpTestResponse response;
  };
  const Case cases[] = {{"no response at all", silent}, {"body stops half way", stalledBody}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HttpTestServer server([&c](const HttpTestRequest&) { return c.response; });
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome = Fetch(server.BaseUrl() + "/x", {.timeoutSeconds = 2});
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ExpectFailedExchange(outcome);
    // The 15 s default would allow a minute: the caller's seconds were used.
    EXPECT_LT(elapsed, std::chrono::seconds(12));
  }
}

TEST(HttpRequestProxyTest, ProxyCredentialsGoOutAsBasicAuthorizationForTheProxyOnly) {
  // Wine 8 ignores the request object's proxy (its request handle does not
  // implement the proxy option) and connects to the address itself; the
  // headers are then seen by the origin server instead.
  HttpTestServer proxy([](const HttpTestRequest&) { return TextResponse("via proxy"); });
  HttpTestServer origin([](const HttpTestRequest&) { return TextResponse("direct"); });
  const std::string url = origin.BaseUrl() + "/marlowtrade/marlow2.t";
  const text::Text proxyAddress = "127.0.0.1:" + std::to_string(proxy.port());

  struct Case {
    const char* name;
    text::Text user;
    text::Text password;
    std::int32_t target;
    std::optional<std::string> authorization;
  };
  const Case cases[] = {
      {"proxy credentials", "user", "pass", 1, "Basic dXNlcjpwYXNz"},
      // The bytes of the code page 936 text are encoded: 用户 is D3 C3 BB A7.
      {"chinese user name", "\xd3\xc3\xbb\xa7", "p", 1, "Basic 08O7pzpw"},
      {"server credentials", "user", "pass", 0, std::nullopt},
      {"no user", "", "pass", 1, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t proxied = proxy.RequestCount();
    const size_t direct = origin.RequestCount();
    const Outcome outcome = Fetch(url, {.proxy = proxyAddress,
                                        .proxyUser = c.user,
                                        .proxyPassword = c.password,
                                        .credentialTarget = c.target});
    std::vector<HttpTestRequest> received;
    if (proxy.RequestCount() > proxied) {
      received = proxy.Requests();
      EXPECT_EQ(received.back().target, url);  // a proxy gets the absolute address
      EXPECT_EQ(outcome.body, "via proxy");
    } else {
      ASSERT_TRUE(RunningOnWine()) << "the request did not go through the proxy";
      received = origin.Requests();
      ASSERT_GT(received.size(), direct);
      EXPECT_EQ(outcome.body, "direct");
    }
    EXPECT_EQ(received.back().Header("Proxy-Authorization"), c.authorization);
  }
}

TEST(HttpRequestObjectTest, CallersObjectIsUsedAndStaysUsable) {
  HttpTestServer server([](const HttpTestRequest& request) { return TextResponse("got " + request.target); });
  const win::ComScope com;
  const win::Dispatch object = win::Dispatch::CreateFromProgId(L"WinHttp.WinHttpRequest.5.1");
  ASSERT_TRUE(object);

  EXPECT_EQ(Fetch(server.BaseUrl() + "/first", {.requestObject = &object}).body, "got /first");
  EXPECT_EQ(Fetch(server.BaseUrl() + "/second", {.requestObject = &object}).body, "got /second");

  // The caller's reference still works for an exchange of its own.
  const std::wstring third = std::wstring(L"http://127.0.0.1:") + std::to_wstring(server.port()) + L"/third";
  ASSERT_TRUE(object.Call(L"Open", {L"GET", third, false}).ok());
  ASSERT_TRUE(object.Call(L"Send").ok());
  EXPECT_EQ(object.Get(L"ResponseBody").value.ToBytes(), "got /third");
  EXPECT_EQ(server.RequestCount(), 3u);
}

// Texts cross into the request object as UTF-16 converted from code page
// 936 whatever the system's code page. Wine then writes header texts and a
// non-ASCII text body as UTF-8, so the wire shows the right characters.
TEST_F(HttpRequestTest, ChineseTextsReachTheServerInEveryLocale) {
  const std::string softwareUtf8 = "\xe8\xbd\xaf\xe4\xbb\xb6";  // 软件
  text::Text cookies = "name=软件";
  Fetch(Url(), {.method = 1, .textBody = "软件", .cookies = &cookies,
                .extraHeaders = "X-Name: 软件", .mergeCookies = false});
  const HttpTestRequest request = OnlyRequest();
  EXPECT_EQ(request.Header("X-Name"), softwareUtf8);
  EXPECT_EQ(request.Header("Cookie"), "name=" + softwareUtf8);
  EXPECT_EQ(request.body, softwareUtf8);
  EXPECT_EQ(cookies, "name=\xc8\xed\xbc\xfe");
}

TEST_F(HttpRequestTest, ChineseResponseCookiesReadBackOnAChineseSystem) {
  // The request object decodes the response header bytes itself, with the
  // system's code page; only there do code page 936 bytes come back whole.
  if (GetACP() != 936) GTEST_SKIP() << "response header bytes are decoded with the system code page";
  m_response.headers = {{"Set-Cookie", "name=\xc8\xed\xbc\xfe; path=/"}};
  EXPECT_EQ(Fetch(Url()).responseCookies, "name=软件");
}

}  // namespace
