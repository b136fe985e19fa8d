#include "json/json_document.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include "json/engine_script.h"
#include "json/script_engine.h"
#include "json/script_value.h"
#include "win/wide.h"

namespace json {
namespace {

// Every text read ends with this: the engine turns the backslash marker
// U+2400 (how text-form values hold their backslashes) into a backslash.
constexpr std::string_view kMarkerStep = R"(.replace(str_reg, '\\'))";
// The serialisation a document copy is parsed from keeps each marker, as the
// JSON escape \u2400, so the copy reads back the same texts as its source; a
// plain backslash there would turn a\b into a backspace, and a trailing one
// would make the copy fail to parse.
constexpr std::string_view kMarkerKeptStep = R"(.replace(str_reg, '\\u2400'))";
// Between the values GetValues gathers; a value is unlikely to contain it.
constexpr std::string_view kValueSeparator = "[2020年7月20日20时0分0秒]";

text::Text Concat(std::initializer_list<std::string_view> pieces) {
  size_t size = 0;
  for (const std::string_view piece : pieces) size += piece.size();
  text::Text result;
  result.reserve(size);
  for (const std::string_view piece : pieces) result.append(piece);
  return result;
}

// The script that serialises `expression`, followed by a marker step.
text::Text Stringified(std::string_view expression, std::string_view markerStep) {
  return Concat({"JSON.stringify(", expression, ")", markerStep});
}

// The script that reads the type text ("[object Array]" ...) of `expression`.
text::Text TypeTextOf(std::string_view expression) {
  return Concat({"Object.prototype.toString.call(", expression, ")"});
}

// The text as a single-quoted script literal's contents.
text::Text EscapeForLiteral(std::string_view value) {
  text::Text escaped = text::ReplaceAll(value, "\\", "\\\\");
  escaped = text::ReplaceAll(escaped, "'", "\\'");
  escaped = text::ReplaceAll(escaped, "\"", "\\\"");
  escaped = text::ReplaceAll(escaped, "\r", "\\r");
  return text::ReplaceAll(escaped, "\n", "\\n");
}

JsonValueKind KindFromTypeText(std::string_view typeText) {
  if (typeText == "[object String]") return JsonValueKind::String;
  if (typeText == "[object Array]") return JsonValueKind::Array;
  if (typeText == "[object Object]") return JsonValueKind::Object;
  if (typeText == "[object Number]") return JsonValueKind::Number;
  if (typeText == "[object Boolean]") return JsonValueKind::Boolean;
  return JsonValueKind::Other;
}

}  // namespace

JsonDocument::JsonDocument() : m_name("da") { InitEngine(); }

JsonDocument::~JsonDocument() = default;

JsonDocument::JsonDocument(const JsonDocument& other) = default;

JsonDocument& JsonDocument::operator=(const JsonDocument& other) = default;

void JsonDocument::InitEngine() {
  // The engine keeps COM initialised on this thread for its lifetime and
  // releases it with the last copy that holds it.
  m_engine = CreateScriptEngine(DefaultEngineKind());
  if (!m_engine) return;
  m_engine->AddCode(EngineScript());
  Eval(
      Concat({"var ", m_name,
              " = {}, str_Code = String.fromCharCode(9216), str_reg = new RegExp(str_Code, 'g')"}));
}

bool JsonDocument::Parse(std::string_view jsonText, bool noEval, ScriptError* errorInfo) {
  if (!m_engine) return false;
  InitEngine();
  if (!m_engine) return false;
  Eval(Concat({"var ", m_name, " = null"}));
  const text::Text statement = noEval ? Concat({"var ", m_name, " = ", jsonText})
                                      : Concat({"var ", m_name, " = eval(", jsonText, ")"});
  m_engine->AddCode(win::Widen(statement));
  if (errorInfo) *errorInfo = m_engine->LastError();
  return EvalTruth(Concat({m_name, " != null"}));
}

bool JsonDocument::Reset() { return EvalTruth(Concat({m_name, " = {}"})); }

text::Text JsonDocument::ToJsonText() {
  return EvalText(Stringified(m_name, kMarkerStep));
}

bool JsonDocument::SetValue(std::string_view path, std::string_view value, bool isJson) {
  text::Text target(path);
  const bool holdsValue = ResolvePath(target);
  if (!isJson) {
    return EvalTruth(
        Concat({target, " = '", EscapeForLiteral(value), "'.replace(/\\\\/g, str_Code)"}));
  }
  // An empty value is the empty object, in the merge and in the assignment.
  const std::string_view jsonValue = value.empty() ? std::string_view("{}") : value;
  if (holdsValue &&
      EvalText(TypeTextOf(target)) == "[object Object]") {
    return EvalTruth(Concat({target, " = get__extend(", target, ", ", jsonValue, ")"}));
  }
  return EvalTruth(Concat({target, " = eval(", jsonValue, ")"}));
}

bool JsonDocument::SetByExpression(std::string_view path, std::string_view expression) {
  return EvalTruth(Concat({Resolved(path), " = eval(", expression, ")"}));
}

bool JsonDocument::ResolvePath(text::Text& path) {
  if (text::StartsWith(path, m_name) && EvalTruth(Concat({path, " != null"}))) return true;
  if (path.empty()) {
    path = m_name;
  } else if (path.front() == '[') {
    path = Concat({m_name, path});
  } else {
    path = Concat({m_name, ".", path});
  }
  return EvalTruth(Concat({path, " != null"}));
}

bool JsonDocument::Exists(std::string_view path) {
  text::Text target(path);
  return ResolvePath(target);
}

JsonValueKind JsonDocument::GetKind(std::string_view path) {
  const text::Text target = Resolved(path);
  if (EvalTruth(Concat({target, " == null"}))) return JsonValueKind::Null;
  return KindFromTypeText(EvalText(TypeTextOf(target)));
}

text::Text JsonDocument::GetText(std::string_view path, bool asJson) {
  const text::Text target = Resolved(path);
  if (asJson) return EvalText(Stringified(target, kMarkerStep));
  return EvalText(Concat({target, ".toString()", kMarkerStep}));
}

std::int32_t JsonDocument::GetNames(std::vector<text::Text>& names, std::string_view path) {
  names.clear();
  const text::Text target = Resolved(path);
  names = text::Split(EvalText(Concat({"get__name_All(", target, ")"})), "\r\n");
  return static_cast<std::int32_t>(names.size());
}

std::int32_t JsonDocument::GetCount(std::string_view path) {
  const text::Text target = Resolved(path);
  return TruncateToInt32(ToNumber(Eval(Concat({"get__count(", target, ")"}))));
}

JsonDocument JsonDocument::GetDocument(std::string_view path) {
  const text::Text target = Resolved(path);
  return DocumentFrom(EvalText(Stringified(target, kMarkerKeptStep)));
}

bool JsonDocument::AddElement(std::string_view value, std::string_view path, bool isJson,
                              bool atFront) {
  const text::Text target = Resolved(path);
  const text::Text element = isJson ? text::Text(value) : Concat({"'", value, "'"});
  const text::Text makeArray = Concat({"if (Object.prototype.toString.call(", target,
                                       ") != '[object Array]') { ", target, " = new Array() } "});
  // JScript's unshift returns undefined, not the new length as push does:
  // the length is read after it, so that a successful add reads true.
  if (atFront)
    return EvalTruth(Concat({makeArray, target, ".unshift(", element, "); ", target, ".length"}));
  return EvalTruth(Concat({makeArray, target, ".push(", element, ")"}));
}

JsonDocument JsonDocument::GetElementDocument(std::int32_t index, std::string_view path) {
  const text::Text target = Resolved(path);
  return DocumentFrom(EvalText(
      Stringified(Concat({target, "[", text::FormatInt(index), "]"}), kMarkerKeptStep)));
}

text::Text JsonDocument::GetElementText(std::int32_t index, std::string_view path, bool asJson) {
  const text::Text target = Resolved(path);
  const text::Text element = Concat({target, "[", text::FormatInt(index), "]"});
  if (asJson) return EvalText(Stringified(element, kMarkerStep));
  return EvalText(Concat({element, kMarkerStep}));
}

bool JsonDocument::SetElement(std::int32_t index, std::string_view path, std::string_view value,
                              bool isJson) {
  const text::Text target = Resolved(path);
  const text::Text element = isJson ? text::Text(value) : Concat({"'", value, "'"});
  return EvalTruth(Concat({target, "[", text::FormatInt(index), "] = ", element}));
}

bool JsonDocument::RemoveElement(std::int32_t index, std::string_view path) {
  const text::Text target = Resolved(path);
  return EvalTruth(Concat({target, ".splice(", text::FormatInt(index), ", 1)"}));
}

bool JsonDocument::Remove(std::string_view path) {
  return EvalTruth(Concat({"delete ", Resolved(path)}));
}

bool JsonDocument::SetNumber(std::string_view path, double number) {
  const text::Text target = Resolved(path);
  // "%.13g" has no script form for these; the statement could only fail, or
  // read a global that happens to be named "inf" or "nan".
  if (!std::isfinite(number)) return false;
  return EvalTruth(Concat({target, " = ", text::FormatDouble(number)}));
}

double JsonDocument::GetNumber(std::string_view path) { return ToNumber(Eval(Resolved(path))); }

text::Text JsonDocument::GetJsonText(std::string_view path) { return GetText(path, true); }

win::ComPtr<IDispatch> JsonDocument::GetEngine() {
  return m_engine ? m_engine->Object() : win::ComPtr<IDispatch>();
}

std::int32_t JsonDocument::GetValues(std::vector<text::Text>& values, std::string_view path,
                                     bool recursive) {
  values.clear();
  const text::Text target = Resolved(path);
  Eval("var str_all = new Array()");
  Eval(Concat({"get__nodeValue(", target, ", ", recursive ? "true" : "false", ")"}));
  values =
      text::Split(EvalText(Concat({"str_all.join('", kValueSeparator, "')"})), kValueSeparator);
  return static_cast<std::int32_t>(values.size());
}

std::optional<win::Variant> JsonDocument::Eval(std::string_view code) {
  if (!m_engine) return std::nullopt;
  return m_engine->Eval(win::Widen(code));
}

bool JsonDocument::EvalTruth(std::string_view code) { return ToTruthValue(Eval(code)); }

text::Text JsonDocument::EvalText(std::string_view code) { return ToText(Eval(code)); }

text::Text JsonDocument::Resolved(std::string_view path) {
  text::Text target(path);
  ResolvePath(target);
  return target;
}

JsonDocument JsonDocument::DocumentFrom(const text::Text& jsonText) {
  JsonDocument document;
  document.Parse(jsonText);
  return document;
}

}  // namespace json
