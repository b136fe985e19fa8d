// Finding running processes by their executable, and ending them.
//
// The name lookup compares the bare executable file name that the process
// list carries, so it cannot tell two programs of the same name apart. The
// image-path lookup can: it asks each process for the full path of its
// executable, and is the one to use before replacing a file on disk.
#pragma once

#include <windows.h>

#include <string_view>

namespace sys {

// Process id of the first process (in the system's order) whose executable
// file name equals `exeName` as a whole, or 0. Without `caseSensitive` ASCII
// letters compare without regard to case and double-byte characters compare
// whole. A name with a folder part never matches.
DWORD FindProcessByName(std::string_view exeName, bool caseSensitive = false);
// As FindProcessByName, passing over the process `excludeProcessId`.
DWORD FindOtherProcessByName(std::string_view exeName, DWORD excludeProcessId,
                             bool caseSensitive = false);
bool ProcessIsRunning(std::string_view exeName, bool caseSensitive = false);
// Ends the first matching process only; call again to end the next one.
bool EndProcessByName(std::string_view exeName, bool caseSensitive = false);
// Terminates the process with exit code 0; false when it cannot be opened
// for termination or the termination fails.
bool EndProcess(DWORD processId);

// Process id of the first process other than `excludeProcessId` whose
// executable image is the file `fullPath`, or 0. Both paths are made full
// and long before they are compared without regard to case.
DWORD FindProcessByImagePath(std::string_view fullPath, DWORD excludeProcessId);
bool ProcessWithImageIsRunning(std::string_view fullPath, DWORD excludeProcessId);
// Ends the first such process only; call again to end the next one.
bool EndProcessByImagePath(std::string_view fullPath, DWORD excludeProcessId);

}  // namespace sys
