#include "system/process.h"

#include <tlhelp32.h>

#include <optional>
#include <string>

#include "text/text.h"
#include "win/full_path.h"
#include "win/unique.h"
#include "win/wide.h"

namespace sys {
namespace {

// The first entry of a fresh snapshot that `matches` accepts, in the order
// the system delivers them; nothing when no entry matches or there is no
// snapshot.
template <typename Matches>
std::optional<PROCESSENTRY32W> FirstProcess(DWORD snapshotFlags, Matches&& matches) {
  win::UniqueSnapshot snapshot(CreateToolhelp32Snapshot(snapshotFlags, 0));
  if (!snapshot) return std::nullopt;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL delivered = Process32FirstW(snapshot.get(), &entry); delivered;
       delivered = Process32NextW(snapshot.get(), &entry)) {
    if (matches(entry)) return entry;
  }
  return std::nullopt;
}

bool NamesMatch(const PROCESSENTRY32W& entry, std::string_view exeName, bool caseSensitive) {
  const text::Text name = win::Narrow(entry.szExeFile);
  return caseSensitive ? name == exeName : text::EqualsIgnoringAsciiCase(name, exeName);
}

std::optional<PROCESSENTRY32W> FirstProcessNamed(DWORD snapshotFlags, std::string_view exeName,
                                                 bool caseSensitive,
                                                 DWORD excludeProcessId = 0) {
  return FirstProcess(snapshotFlags, [&](const PROCESSENTRY32W& entry) {
    return (excludeProcessId == 0 || entry.th32ProcessID != excludeProcessId) &&
           NamesMatch(entry, exeName, caseSensitive);
  });
}

// A path made full and, where the file exists, long, so that short names,
// relative parts and "." or ".." compare like the path they stand for.
std::wstring NormalisedPath(const std::wstring& path) {
  if (path.empty()) return {};
  const std::wstring full = win::FullPathName(path);
  if (full.empty()) return path;
  std::wstring longPath(full.size() + 1, L'\0');
  for (;;) {
    const DWORD length = GetLongPathNameW(full.c_str(), longPath.data(),
                                          static_cast<DWORD>(longPath.size()));
    if (length == 0) return full;
    if (length < longPath.size()) {
      longPath.resize(length);
      return longPath;
    }
    longPath.resize(length);
  }
}

std::wstring ImagePathOf(DWORD processId) {
  win::UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) {
      path.resize(length);
      return path;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && a.size() == b.size() &&
         CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

DWORD FindProcessByName(std::string_view exeName, bool caseSensitive) {
  const auto entry = FirstProcessNamed(TH32CS_SNAPPROCESS, exeName, caseSensitive);
  return entry ? entry->th32ProcessID : 0;
}

DWORD FindOtherProcessByName(std::string_view exeName, DWORD excludeProcessId,
                             bool caseSensitive) {
  const auto entry =
      FirstProcessNamed(TH32CS_SNAPPROCESS, exeName, caseSensitive, excludeProcessId);
  return entry ? entry->th32ProcessID : 0;
}

bool ProcessIsRunning(std::string_view exeName, bool caseSensitive) {
  return FirstProcessNamed(TH32CS_SNAPALL, exeName, caseSensitive).has_value();
}

bool EndProcessByName(std::string_view exeName, bool caseSensitive) {
  const DWORD processId = FindProcessByName(exeName, caseSensitive);
  return processId != 0 && EndProcess(processId);
}

bool EndProcess(DWORD processId) {
  win::UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
  return process && TerminateProcess(process.get(), 0);
}

DWORD FindProcessByImagePath(std::string_view fullPath, DWORD excludeProcessId) {
  const std::wstring target = NormalisedPath(win::Widen(fullPath));
  if (target.empty()) return 0;
  const auto entry = FirstProcess(TH32CS_SNAPPROCESS, [&](const PROCESSENTRY32W& candidate) {
    return candidate.th32ProcessID != 0 && candidate.th32ProcessID != excludeProcessId &&
           SamePath(NormalisedPath(ImagePathOf(candidate.th32ProcessID)), target);
  });
  return entry ? entry->th32ProcessID : 0;
}

bool ProcessWithImageIsRunning(std::string_view fullPath, DWORD excludeProcessId) {
  return FindProcessByImagePath(fullPath, excludeProcessId) != 0;
}

bool EndProcessByImagePath(std::string_view fullPath, DWORD excludeProcessId) {
  const DWORD processId = FindProcessByImagePath(fullPath, excludeProcessId);
  return processId != 0 && EndProcess(processId);
}

}  // namespace sys
