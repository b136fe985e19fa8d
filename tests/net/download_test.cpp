// ResumableDownload against a real HTTP server on 127.0.0.1: bodies, resume,
// the request it sends, and every failure with its message box.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/download.h"
#include "support/http_test_server.h"
#include "support/temp_folder.h"
#include "system/message_box.h"

namespace {

using test_support::HttpTestRequest;
using test_support::HttpTestResponse;
using test_support::HttpTestServer;

struct ProgressCall {
  std::int32_t totalSize, position, elapsedMs, receivedBytes;
};

// Bytes that differ from chunk to chunk, so a misplaced chunk shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

// Compares without printing the bytes: bodies are large and binary.
testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return testing::AssertionFailure() << actual.size() << " bytes instead of " << expected.size()
                                     << ", first difference at " << at;
}

class DownloadTest : public testing::Test {
 protected:
  DownloadTest() {
    sys::SetMessageBoxHandler([this](const sys::MessageBoxRequest& box) {
      m_boxes.push_back(box);
      if (m_onBox) m_onBox();
      return sys::MessageAnswer::Ok;
    });
  }
  ~DownloadTest() override { sys::SetMessageBoxHandler(nullptr); }

  std::int32_t Download(const std::string& url, std::int32_t resumeFrom = 0, bool resume = false,
                        const net::DownloadOptions& options = {}) {
    return net::ResumableDownload(
        url, m_localPath,
        [this](std::int32_t totalSize, std::int32_t position, std::int32_t elapsedMs,
               std::int32_t receivedBytes) {
          m_calls.push_back({totalSize, position, elapsedMs, receivedBytes});
        },
        resumeFrom, resume, options);
  }

  // Expects exactly one box: `message`, the default title, OK only.
  void ExpectOneBox(const std::string& message) {
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].message, message);
    EXPECT_EQ(m_boxes[0].title, "信息：");
    EXPECT_EQ(m_boxes[0].style, static_cast<unsigned>(MB_OK | MB_TASKMODAL));
  }

  // Every call: positions grow, receivedBytes follow them, elapsedMs is never 0.
  void ExpectConsistentCalls(std::int32_t resumeFrom) {
    std::int32_t previous = resumeFrom;
    for (const ProgressCall& call : m_calls) {
      EXPECT_GT(call.position, previous);
      EXPECT_EQ(call.receivedBytes, call.position - resumeFrom);
      EXPECT_GT(call.elapsedMs, 0);
      previous = call.position;
    }
  }

  test_support::TempFolder m_folder;
  std::string m_localPath = m_folder.Join("file.bin");
  std::vector<ProgressCall> m_calls;
  std::vector<sys::MessageBoxRequest> m_boxes;
  std::function<void()> m_onBox;
};

struct BodyCase {
  const char* name;
  size_t size;
  bool sendContentLength;
  int status;
};

class DownloadBodyTest : public DownloadTest, public testing::WithParamInterface<BodyCase> {};

TEST_P(DownloadBodyTest, WritesTheWholeBodyAndReportsEveryChunk) {
  const BodyCase& param = GetParam();
  const std::string body = Pattern(param.size);
  HttpTestServer server([&](const HttpTestRequest&) {
    HttpTestResponse response = test_support::TextResponse(body, param.status);
    response.sendContentLength = param.sendContentLength;
    return response;
  });
  m_folder.WriteFile("file.bin", "old content that must go");

  EXPECT_EQ(Download(server.BaseUrl() + "/file.bin"), 0);

  EXPECT_TRUE(m_boxes.empty());
  EXPECT_TRUE(SameBytes(m_folder.ReadFile("file.bin"), body));
  ASSERT_FALSE(m_calls.empty());
  ExpectConsistentCalls(0);
  for (const ProgressCall& call : m_calls) {
    EXPECT_EQ(call.totalSize, param.sendContentLength ? static_cast<std::int32_t>(param.size) : 0);
  }
  EXPECT_EQ(m_calls.back().position, static_cast<std::int32_t>(param.size));
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, DownloadBodyTest,
    testing::Values(BodyCase{"SeveralChunks", 100000, true, 200},
                    BodyCase{"WithoutContentLength", 100000, false, 200},
                    BodyCase{"ShorterThanOneChunk", 100, true, 200},
                    BodyCase{"ExactlyOneBuffer", 10240, true, 200},
                    BodyCase{"ErrorPageIsWrittenToo", 3000, true, 404}),
    [](const testing::TestParamInfo<BodyCase>& info) { return std::string(info.param.name); });

TEST_F(DownloadTest, EmptyBodyEmptiesTheFileWithoutProgress) {
  HttpTestServer server([](const HttpTestRequest&) { return test_support::TextResponse(""); });
  m_folder.WriteFile("file.bin", "leftover");

  EXPECT_EQ(Download(server.BaseUrl() + "/empty"), 0);

  EXPECT_TRUE(m_boxes.empty());
  EXPECT_TRUE(m_calls.empty());
  EXPECT_TRUE(m_folder.Exists("file.bin"));
  EXPECT_EQ(m_folder.ReadFile("file.bin"), "");
}

TEST_F(DownloadTest, EmptyBodyWhenResumingLeavesTheFileAlone) {
  HttpTestServer server([](const HttpTestRequest&) { return test_support::TextResponse(""); });
  m_folder.WriteFile("file.bin", "first part");

  EXPECT_EQ(Download(server.BaseUrl() + "/empty", 10, true), 0);

  EXPECT_TRUE(m_calls.empty());
  EXPECT_EQ(m_folder.ReadFile("file.bin"), "first part");
}

// A server that honours "Range: bytes=N-" with a partial answer.
HttpTestResponse RangeAnswer(const std::string& body, const HttpTestRequest& request) {
  const std::optional<std::string> range = request.Header("Range");
  if (!range || range->rfind("bytes=", 0) != 0) return test_support::TextResponse(body);
  const size_t from = std::stoul(range->substr(6));
  HttpTestResponse response = test_support::TextResponse(body.substr(from), 206);
  response.reason = "Partial Content";
  response.headers.emplace_back("Content-Range", "bytes " + std::to_string(from) + "-" +
                                                     std::to_string(body.size() - 1) + "/" +
                                                     std::to_string(body.size()));
  return response;
}

TEST_F(DownloadTest, ResumeAsksForTheRestAndAppendsIt) {
  const std::string body = Pattern(50000);
  constexpr std::int32_t kPresent = 12345;
  HttpTestServer server([&](const HttpTestRequest& request) { return RangeAnswer(body, request); });
  m_folder.WriteFile("file.bin", body.substr(0, kPresent));

  EXPECT_EQ(Download(server.BaseUrl() + "/file.bin", kPresent, true), 0);

  ASSERT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(server.Requests()[0].Header("Range").value_or("none"), "bytes=12345-");
  EXPECT_TRUE(SameBytes(m_folder.ReadFile("file.bin"), body));
  ASSERT_FALSE(m_calls.empty());
  ExpectConsistentCalls(kPresent);
  EXPECT_EQ(m_calls.front().totalSize, static_cast<std::int32_t>(body.size()) - kPresent);
  EXPECT_EQ(m_calls.back().position, static_cast<std::int32_t>(body.size()));
  EXPECT_EQ(m_calls.back().receivedBytes, static_cast<std::int32_t>(body.size()) - kPresent);
}

TEST_F(DownloadTest, ResumeWithoutALocalFileCreatesIt) {
  const std::string body = Pattern(3000);
  HttpTestServer server([&](const HttpTestRequest& request) { return RangeAnswer(body, request); });

  EXPECT_EQ(Download(server.BaseUrl() + "/file.bin", 1000, true), 0);

  EXPECT_TRUE(SameBytes(m_folder.ReadFile("file.bin"), body.substr(1000)));
  ASSERT_FALSE(m_calls.empty());
  EXPECT_EQ(m_calls.back().position, 3000);
}

TEST_F(DownloadTest, SendsTheFixedHeaderBlockAndAFreshFetch) {
  HttpTestServer server([](const HttpTestRequest&) { return test_support::TextResponse("x"); });

  EXPECT_EQ(Download(server.BaseUrl() + "/path/file.bin?v=1"), 0);

  ASSERT_EQ(server.RequestCount(), 1u);
  const HttpTestRequest request = server.Requests()[0];
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/path/file.bin?v=1");
  EXPECT_EQ(request.Header("Accept").value_or(""), "*/*");
  EXPECT_EQ(request.Header("Accept-Language").value_or(""), "zh-cn");
  EXPECT_EQ(request.Header("Accept-Encoding").value_or(""), "gzip, deflate");
  EXPECT_EQ(request.Header("User-Agent").value_or(""),
            "Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)");
  // The block's agent replaces the session's, never joins it.
  const std::vector<std::string> names = request.HeaderNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "User-Agent"), 1);
  EXPECT_FALSE(request.Header("Range"));
  EXPECT_EQ(request.Header("Pragma").value_or(""), "no-cache");
}

TEST_F(DownloadTest, UnreachableServerShowsItsBoxAndLeavesTheFile) {
  m_folder.WriteFile("file.bin", "old");

  EXPECT_EQ(Download("http://127.0.0.1:" + std::to_string(test_support::UnusedPort()) + "/f"), -1);

  ExpectOneBox("不能打开该URL!");
  EXPECT_EQ(m_folder.ReadFile("file.bin"), "old");
  EXPECT_TRUE(m_calls.empty());
}

TEST_F(DownloadTest, EmptyAddressCannotBeOpened) {
  EXPECT_EQ(Download(""), -1);
  ExpectOneBox("不能打开该URL!");
  EXPECT_FALSE(m_folder.Exists("file.bin"));
}

TEST_F(DownloadTest, UnwritableLocalPathShowsItsBox) {
  HttpTestServer server([](const HttpTestRequest&) { return test_support::TextResponse("body"); });
  m_localPath = m_folder.Join("no such folder\\file.bin");

  EXPECT_EQ(Download(server.BaseUrl() + "/f"), -1);

  ExpectOneBox("不能打开本地的文件!");
  EXPECT_TRUE(m_calls.empty());
}

// A server that stops sending: after a cut connection, or a stall that
// outlasts the time-out, the read fails and the file keeps what arrived.
struct BrokenBodyCase {
  const char* name;
  bool stall;
};

class DownloadBrokenBodyTest : public DownloadTest,
                               public testing::WithParamInterface<BrokenBodyCase> {};

TEST_P(DownloadBrokenBodyTest, ReadFailsAndKeepsTheChunksWritten) {
  const std::string body = Pattern(100000);
  HttpTestServer server([&](const HttpTestRequest&) {
    HttpTestResponse response = test_support::TextResponse(body);
    response.bodyLimit = 25000;
    response.stall = GetParam().stall;
    return response;
  });
  std::string contentAtBox = "box not shown";
  m_onBox = [&] { contentAtBox = m_folder.ReadFile("file.bin"); };

  EXPECT_EQ(Download(server.BaseUrl() + "/f", 0, false,
                     {.stallTimeout = std::chrono::milliseconds(1500)}),
            -1);

  ExpectOneBox("读文件出错!");
  const std::string written = m_folder.ReadFile("file.bin");
  EXPECT_TRUE(SameBytes(contentAtBox, written));
  EXPECT_TRUE(SameBytes(written, body.substr(0, written.size())));
  EXPECT_LE(written.size(), 25000u);
  if (!m_calls.empty()) {
    EXPECT_EQ(m_calls.back().position, static_cast<std::int32_t>(written.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(BrokenBodies, DownloadBrokenBodyTest,
                         testing::Values(BrokenBodyCase{"CutConnection", false},
                                         BrokenBodyCase{"Stalled", true}),
                         [](const testing::TestParamInfo<BrokenBodyCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(DownloadTest, ServerThatNeverAnswersCannotBeOpened) {
  HttpTestServer server([](const HttpTestRequest&) {
    HttpTestResponse response = test_support::TextResponse("late");
    response.delay = std::chrono::minutes(10);
    return response;
  });
  m_folder.WriteFile("file.bin", "old");

  EXPECT_EQ(Download(server.BaseUrl() + "/f", 0, false,
                     {.stallTimeout = std::chrono::milliseconds(1500)}),
            -1);

  ExpectOneBox("不能打开该URL!");
  EXPECT_EQ(m_folder.ReadFile("file.bin"), "old");
}

TEST_F(DownloadTest, ConnectionCutWithoutContentLengthLooksLikeTheEnd) {
  // Nothing tells a cut from the end of such a body.
  const std::string body = Pattern(30000);
  HttpTestServer server([&](const HttpTestRequest&) {
    HttpTestResponse response = test_support::TextResponse(body);
    response.sendContentLength = false;
    response.bodyLimit = 20000;
    return response;
  });

  EXPECT_EQ(Download(server.BaseUrl() + "/f"), 0);
  EXPECT_TRUE(SameBytes(m_folder.ReadFile("file.bin"), body.substr(0, 20000)));
}

// "/hop/<n>" redirects to "/hop/<n-1>", by absolute and relative addresses
// in turn; "/hop/0" serves the file.
HttpTestResponse RedirectChain(const HttpTestServer& server, const HttpTestRequest& request) {
  const int left = std::stoi(request.target.substr(5));
  if (left == 0) return test_support::TextResponse("arrived");
  HttpTestResponse response = test_support::TextResponse("moved", left % 2 ? 302 : 301);
  const std::string next = std::to_string(left - 1);
  response.headers.emplace_back("Location",
                                left % 2 ? server.BaseUrl() + "/hop/" + next : next);
  return response;
}

struct RedirectCase {
  const char* name;
  int hops;
  int maxRedirects;
  bool arrives;
};

class DownloadRedirectTest : public DownloadTest,
                             public testing::WithParamInterface<RedirectCase> {};

TEST_P(DownloadRedirectTest, FollowsRedirectsUpToTheLimit) {
  const RedirectCase& param = GetParam();
  HttpTestServer* self = nullptr;
  HttpTestServer server([&](const HttpTestRequest& request) { return RedirectChain(*self, request); });
  self = &server;
  m_folder.WriteFile("file.bin", "old");

  const std::int32_t result = Download(server.BaseUrl() + "/hop/" + std::to_string(param.hops), 0,
                                       false, {.maxRedirects = param.maxRedirects});

  if (param.arrives) {
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(m_folder.ReadFile("file.bin"), "arrived");
    EXPECT_EQ(server.RequestCount(), static_cast<size_t>(param.hops + 1));
  } else {
    EXPECT_EQ(result, -1);
    ExpectOneBox("不能打开该URL!");
    EXPECT_EQ(m_folder.ReadFile("file.bin"), "old");
    EXPECT_EQ(server.RequestCount(), static_cast<size_t>(param.maxRedirects + 1));
  }
}

INSTANTIATE_TEST_SUITE_P(Redirects, DownloadRedirectTest,
                         testing::Values(RedirectCase{"None", 0, 10, true},
                                         RedirectCase{"Three", 3, 10, true},
                                         RedirectCase{"AtTheLimit", 10, 10, true},
                                         RedirectCase{"BeyondTheLimit", 11, 10, false},
                                         RedirectCase{"BeyondAShortLimit", 3, 2, false}),
                         [](const testing::TestParamInfo<RedirectCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(DownloadTest, RedirectLoopFailsInsteadOfSpinning) {
  HttpTestServer server([](const HttpTestRequest&) {
    HttpTestResponse response = test_support::TextResponse("again", 302);
    response.headers.emplace_back("Location", "/loop");
    return response;
  });

  EXPECT_EQ(Download(server.BaseUrl() + "/loop"), -1);

  ExpectOneBox("不能打开该URL!");
  EXPECT_EQ(server.RequestCount(), 11u);
}

}  // namespace
