// A fresh folder per test, removed with everything in it afterwards. Paths
// are code-page-936 texts, like every path the launcher handles. The folders
// live under C:\launcher-tests, never under %TEMP%: the launcher refuses to
// run from any path containing "Temp".
#pragma once

#include <string>
#include <string_view>

namespace test_support {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Without a trailing backslash.
  const std::string& path() const { return m_path; }
  std::string Join(std::string_view name) const;

  void WriteFile(std::string_view name, std::string_view bytes) const;
  std::string ReadFile(std::string_view name) const;
  bool Exists(std::string_view name) const;
  void MakeFolder(std::string_view name) const;

 private:
  std::string m_path;
};

// Whole-file helpers on code-page-936 paths.
bool WriteWholeFile(const std::string& path, std::string_view bytes);
std::string ReadWholeFile(const std::string& path);
void RemoveTree(const std::string& path);

}  // namespace test_support
