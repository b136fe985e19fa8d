// Every document test runs once per engine kind: the Script Control, and the
// hosted JScript that stands in where the Script Control cannot be created.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "json/json_document.h"
#include "json/script_engine.h"

namespace json_test {

class EngineTest : public testing::TestWithParam<json::EngineKind> {
 protected:
  void SetUp() override { json::SetDefaultEngineKind(GetParam()); }
  void TearDown() override { json::SetDefaultEngineKind(json::EngineKind::Automatic); }

  // A document holding `jsonText`, which must parse.
  static json::JsonDocument Parsed(std::string_view jsonText) {
    json::JsonDocument document;
    EXPECT_TRUE(document.Parse(jsonText)) << jsonText;
    return document;
  }
};

inline std::string EngineName(const testing::TestParamInfo<json::EngineKind>& info) {
  return info.param == json::EngineKind::ScriptControl ? "ScriptControl" : "HostedJScript";
}

#define INSTANTIATE_FOR_BOTH_ENGINES(suite)                                              \
  INSTANTIATE_TEST_SUITE_P(                                                              \
      Engines, suite,                                                                    \
      testing::Values(json::EngineKind::ScriptControl, json::EngineKind::HostedJScript), \
      json_test::EngineName)

}  // namespace json_test
