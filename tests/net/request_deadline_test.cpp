// RequestDeadline on a real WinHttp request object against a server on
// 127.0.0.1, with short limits.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/request_deadline.h"
#include "support/http_test_server.h"
#include "win/com.h"
#include "win/dispatch.h"

namespace {

using std::chrono::steady_clock;
using test_support::HttpTestRequest;
using test_support::HttpTestResponse;
using test_support::HttpTestServer;
using test_support::TextResponse;

// Only Wine's request object may be aborted from another thread.
class RequestDeadlineTest : public testing::Test {
 protected:
  void SetUp() override {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) GTEST_SKIP() << "Wine only";
  }

  win::ComScope m_com;
  win::Dispatch m_request = win::Dispatch::CreateFromProgId(L"WinHttp.WinHttpRequest.5.1");

  bool Open(const HttpTestServer& server) const {
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(server.port()) + L"/x";
    return m_request.Call(L"Open", {L"GET", url, false}).ok();
  }
};

TEST_F(RequestDeadlineTest, SilentServerIsAbortedAtTheLimitAndTheObjectStaysUsable) {
  HttpTestServer silent([](const HttpTestRequest&) {
    HttpTestResponse late = TextResponse("too late");
    late.delay = std::chrono::seconds(60);  // cut short when the server stops
    return late;
  });
  ASSERT_TRUE(m_request);
  ASSERT_TRUE(Open(silent));
  const auto start = steady_clock::now();
  net::RequestDeadline deadline(m_request, std::chrono::milliseconds(500));
  const bool sent = m_request.Call(L"Send").ok();
  deadline.Stop();
  EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(deadline.expired());
  EXPECT_FALSE(sent);
  EXPECT_EQ(m_request.Get(L"ResponseBody").value.ToBytes(), "");

  HttpTestServer answering([](const HttpTestRequest&) { return TextResponse("fine"); });
  ASSERT_TRUE(Open(answering));
  ASSERT_TRUE(m_request.Call(L"Send").ok());
  EXPECT_EQ(m_request.Get(L"ResponseBody").value.ToBytes(), "fine");
}

TEST_F(RequestDeadlineTest, ExchangeWithinTheLimitIsLeftAloneAndStopDoesNotWaitForTheLimit) {
  HttpTestServer answering([](const HttpTestRequest&) { return TextResponse("fine"); });
  ASSERT_TRUE(m_request);
  ASSERT_TRUE(Open(answering));
  const auto start = steady_clock::now();
  {
    net::RequestDeadline deadline(m_request, std::chrono::minutes(5));
    EXPECT_TRUE(m_request.Call(L"Send").ok());
    deadline.Stop();
    EXPECT_FALSE(deadline.expired());
  }
  EXPECT_LT(steady_clock::now() - start, std::chrono::minutes(1));
  EXPECT_EQ(m_request.Get(L"ResponseBody").value.ToBytes(), "fine");
}

}  // namespace
