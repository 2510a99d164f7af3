#pragma once

#include <span>
#include <string_view>

// The cursors of a theme: the roles a Windows cursor scheme lists, in its order, and the names the same
// cursors have in a freedesktop (X11) cursor theme. The one table that theme conversion and theme checks
// share, and that the manual page prints.
namespace delvix::theme {

struct CursorRole {
  std::string_view role;                      // this program's word, used in reports: "pointer", "help", "working", ...
  std::string_view schemeName;                // the value name under HKCU\Control Panel\Cursors: "Arrow", "Help", ...
  std::string_view xcursorName;               // the file written in cursors/: a standard CSS cursor name ("default")
  std::span<const std::string_view> aliases;  // symbolic links to it: "left_ptr", "arrow", ...
  std::span<const std::string_view> windowsFileNames;  // common file stems in Windows themes, lower case
};

// Every role, in the order of a scheme's registry string: pointer, help, working, busy, precision, text,
// handwriting, unavailable, vertical, horizontal, diagonal 1, diagonal 2, move, alternate, link, pin, person.
std::span<const CursorRole> cursorRoles();

// The role whose Windows file stems, scheme name or role word match `stem` (case ignored), or null.
const CursorRole* roleOfWindowsName(std::string_view stem);
// The role whose freedesktop name or one of its aliases is `name`, or null.
const CursorRole* roleOfXcursorName(std::string_view name);

}  // namespace delvix::theme
