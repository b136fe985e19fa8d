// Manifest file names are joined to the run directory and later written to,
// so a name from the server must not reach anywhere else.
#pragma once

#include <string_view>

namespace launcher {

// Text rules on a code-page-936 name (trail bytes are never separators or
// special characters). A name is safe when it is relative and every
// component is an ordinary file name: no root, drive, UNC or "\\?\" prefix,
// no "." or ".." or empty component, no ':' (streams), no wildcards, quotes,
// '<', '>', '|' or control characters, no component ending in a dot or a
// space, and no reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
// CONIN$, CONOUT$), with or without an extension, and no byte sequence that
// is not code page 936. '\' and '/' both separate components. The empty name
// is not safe here: the caller decides about it.
bool IsSafeUpdateName(std::string_view name);

// Whether the full path of `path` (GetFullPathNameW) lies strictly under
// `directory`. Catches whatever the text rules cannot know about the file
// system.
bool PathLiesUnder(std::string_view directory, std::string_view path);

// Whether the file `runDirectory\name` may be written by the update: the
// name is safe and the path it makes lies under `runDirectory`.
bool IsWritableUpdateName(std::string_view runDirectory, std::string_view name);

}  // namespace launcher
