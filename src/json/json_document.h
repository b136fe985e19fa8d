// JsonDocument: one JSON value held in a private JavaScript engine as the
// global "da", read and changed through path texts such as "url['0'].urlmd5".
//
// Paths enter the engine's expressions verbatim: "url" reads da.url, "[0]"
// reads da[0], the empty path the whole document, and a path that already
// starts with "da" and denotes a value is used as it stands. Every failure
// (no engine, a script error, a missing parent) gives the empty result:
// false, 0, 0.0, the empty text or no elements. A document and its copies
// share one engine and belong to the thread that created it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "json/script_error.h"
#include "text/text.h"
#include "win/com.h"

namespace json {

class ScriptEngine;

// What GetKind finds at a path.
enum class JsonValueKind : std::int32_t {
  Null = 0,  // null, undefined or a missing member
  Boolean = 1,
  Number = 2,
  Object = 4,
  Array = 5,
  String = 6,
  Other = -1,  // a function, date or regular expression, or a path that fails
};

class JsonDocument {
 public:
  // Creates the document's engine (InitEngine) holding the empty object.
  JsonDocument();
  ~JsonDocument();
  // Copies share the engine: both see one value until one of them parses.
  JsonDocument(const JsonDocument& other);
  JsonDocument& operator=(const JsonDocument& other);

  // Gives the document a fresh engine with the engine script and da = {};
  // without one when the engine cannot be created.
  void InitEngine();
  // Evaluates `jsonText` as script source into a fresh engine (as an
  // expression through eval, or with `noEval` as the right-hand side of an
  // assignment). True when the result is neither null nor undefined. A
  // document without engine does not try to create one again. `errorInfo`,
  // when given, receives the engine's last error.
  bool Parse(std::string_view jsonText, bool noEval = false, ScriptError* errorInfo = nullptr);
  // Makes the document the empty object.
  bool Reset();
  // The JSON text of the whole document.
  text::Text ToJsonText();
  // Text form: stores `value` as a string, exactly. JSON form (`isJson`):
  // merges `value` into an object at the path, else replaces the value there
  // by `value` evaluated as an expression.
  bool SetValue(std::string_view path = {}, std::string_view value = {}, bool isJson = false);
  // Replaces the value at the path by `expression` evaluated.
  bool SetByExpression(std::string_view path = {}, std::string_view expression = {});
  // Rewrites `path` into an expression on the document variable; true when
  // it denotes a value that is neither null nor undefined.
  bool ResolvePath(text::Text& path);
  bool Exists(std::string_view path = {});
  JsonValueKind GetKind(std::string_view path = {});
  // The value as text (toString), or its JSON text with `asJson`.
  text::Text GetText(std::string_view path = {}, bool asJson = false);
  // Replaces `names` by the data member names of the object at the path.
  std::int32_t GetNames(std::vector<text::Text>& names, std::string_view path = {});
  // The length of the array at the path; 0 for anything else.
  std::int32_t GetCount(std::string_view path = {});
  // A new document with its own engine holding a copy of the value.
  JsonDocument GetDocument(std::string_view path = {});
  // Appends (or with `atFront` prepends) to the array at the path, which is
  // first made an empty array when it holds no array. A text `value` is
  // written in apostrophes without escaping.
  bool AddElement(std::string_view value = {}, std::string_view path = {}, bool isJson = false,
                  bool atFront = false);
  JsonDocument GetElementDocument(std::int32_t index = 0, std::string_view path = {});
  // A string element's text, or any element's JSON text with `asJson`.
  text::Text GetElementText(std::int32_t index = 0, std::string_view path = {},
                            bool asJson = false);
  bool SetElement(std::int32_t index = 0, std::string_view path = {}, std::string_view value = {},
                  bool isJson = false);
  bool RemoveElement(std::int32_t index = 0, std::string_view path = {});
  bool Remove(std::string_view path = {});
  // Writes the number as "%.13g"; the result is false for 0 although it is stored.
  bool SetNumber(std::string_view path = {}, double number = 0.0);
  double GetNumber(std::string_view path = {});
  // GetText with `asJson`.
  text::Text GetJsonText(std::string_view path = {});
  // The engine object, empty when there is none. Use it on this thread and
  // release it before the document: COM stays initialised only while the
  // engine is held by a document.
  win::ComPtr<IDispatch> GetEngine();
  // Replaces `values` by every string, number and boolean member value under
  // the path (into nested objects and arrays with `recursive`).
  std::int32_t GetValues(std::vector<text::Text>& values, std::string_view path = {},
                         bool recursive = false);

 private:
  std::optional<win::Variant> Eval(std::string_view code);
  bool EvalTruth(std::string_view code);
  text::Text EvalText(std::string_view code);
  text::Text Resolved(std::string_view path);
  // A new document parsed from `jsonText`.
  static JsonDocument DocumentFrom(const text::Text& jsonText);

  text::Text m_name;
  std::shared_ptr<ScriptEngine> m_engine;
};

}  // namespace json
