#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/reporter.h"

// The install.inf that Windows cursor themes ship: a setup file that copies the cursors and registers them
// as a scheme under HKCU\Control Panel\Cursors\Schemes.
namespace delvix::theme {

inline constexpr std::size_t roleCount = 17;

struct CursorScheme {
  std::string name;  // the scheme's name, as Windows lists it
  // The file of each role, in the order of cursorRoles(): a bare file name (folders are dropped), empty
  // where the scheme has none.
  std::array<std::string, roleCount> files;
};

// The scheme an install.inf registers, read from the line that writes HKCU "Control Panel\Cursors\Schemes"
// (or, without one, from the lines that set each value under "Control Panel\Cursors"), with %strings%
// taken from [Strings]. Comments, quoting, line continuations, CRLF, and UTF-8 or UTF-16 text are read as
// Windows reads them. A file name that leads out of its folder is reported and left out. Empty name and
// files when the file registers no scheme (reported).
CursorScheme readInstallInf(std::span<const std::uint8_t> bytes, formats::Reporter& reporter);

// An install.inf that copies the files to %WINDIR%\Cursors\NAME and installs them as the scheme `scheme`,
// also making it the current one, as theme authors write them; CRLF lines, UTF-16 with a byte order mark
// when the name or a file name is not ASCII.
std::vector<std::uint8_t> writeInstallInf(const CursorScheme& scheme);

// Text of a setup or theme file as UTF-8: a UTF-16 file (by its byte order mark, or by its zero bytes) is
// converted, a UTF-8 byte order mark dropped; anything else is taken as it is.
std::string textOfFile(std::span<const std::uint8_t> bytes);

}  // namespace delvix::theme
