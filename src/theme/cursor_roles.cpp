#include "theme/cursor_roles.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace delvix::theme {

namespace {

using Names = std::string_view;

// Aliases are the names the common freedesktop themes link to the same picture: the X core font's names,
// the names of older toolkits and the hashes toolkits ask for by the picture's bitmap.
constexpr std::array<Names, 0> noAliases{};
constexpr std::array<Names, 3> pointerAliases{"left_ptr", "arrow", "top_left_arrow"};
constexpr std::array<Names, 5> helpAliases{"question_arrow", "whats_this", "left_ptr_help",
                                           "5c6cd98b3f3ebcb1f9c7f1c204630408", "d9ce0ab605698f320427677b458ad60b"};
constexpr std::array<Names, 5> workingAliases{"left_ptr_watch", "half-busy", "00000000000000020006000e7e9ffc3f",
                                              "3ecb610c1bf2410f44200f48c40d3599", "08e8e1c95fe2fc01f976f1e063a24ccd"};
constexpr std::array<Names, 1> busyAliases{"watch"};
constexpr std::array<Names, 4> precisionAliases{"cross", "tcross", "cross_reverse", "diamond_cross"};
constexpr std::array<Names, 2> textAliases{"xterm", "ibeam"};

constexpr std::array<Names, 3> unavailableAliases{"crossed_circle", "circle", "03b6e0fcb3499374a867c041f52298f0"};
constexpr std::array<Names, 9> verticalAliases{"2870a09082c103050810ffdffffe0204",
                                               "sb_v_double_arrow",
                                               "size_ver",
                                               "v_double_arrow",
                                               "row-resize",
                                               "n-resize",
                                               "s-resize",
                                               "double_arrow",
                                               "00008160000006810000408080010102"};
constexpr std::array<Names, 8> horizontalAliases{"14fef782d02440884392942c11205230",
                                                 "sb_h_double_arrow",
                                                 "size_hor",
                                                 "h_double_arrow",
                                                 "col-resize",
                                                 "e-resize",
                                                 "w-resize",
                                                 "028006030e0e7ebffc7f7070c0600140"};
constexpr std::array<Names, 5> diagonal1Aliases{"size_fdiag", "bd_double_arrow", "nw-resize", "se-resize",
                                                "c7088f0f3e6c8088236ef8e1e3e70000"};
constexpr std::array<Names, 5> diagonal2Aliases{"size_bdiag", "fd_double_arrow", "ne-resize", "sw-resize",
                                                "fcf1c3c7cd4491d801f1e1c78f100000"};
constexpr std::array<Names, 3> moveAliases{"fleur", "size_all", "all-scroll"};
constexpr std::array<Names, 1> alternateAliases{"center_ptr"};
constexpr std::array<Names, 6> linkAliases{
    "hand2", "hand1", "hand", "pointing_hand", "9d800788f1b08800ae810202380a0822", "e29285e634086352946a0e7090d73106"};

// Stems of the files Windows itself and theme authors ship, lower case, after the scheme value name and the
// role word (which are matched as well).
constexpr std::array<Names, 7> pointerFiles{"normal",  "normal select", "normal_select", "aero_arrow",
                                            "arrow_r", "default",       "left_ptr"};
constexpr std::array<Names, 6> helpFiles{"help select", "help_select", "helpsel", "aero_helpsel", "help_r", "question"};
constexpr std::array<Names, 7> workingFiles{
    "working in background", "working_in_background", "background", "aero_working", "wait_r", "progress",
    "left_ptr_watch"};
constexpr std::array<Names, 4> busyFiles{"aero_busy", "busy_r", "hourglass", "watch"};
constexpr std::array<Names, 6> precisionFiles{"precision select", "precision_select", "cross",
                                              "cross_r",          "cross_i",          "aero_cross"};
constexpr std::array<Names, 7> textFiles{"text select", "text_select", "beam",      "beam_r",
                                         "beam_i",      "xterm",       "aero_ibeam"};
constexpr std::array<Names, 3> handwritingFiles{"pen", "aero_pen", "pencil"};
constexpr std::array<Names, 6> unavailableFiles{"unavail",     "aero_unavail", "no_r",
                                                "not-allowed", "not_allowed",  "forbidden"};
constexpr std::array<Names, 7> verticalFiles{"vertical resize", "vertical_resize", "vert",     "size_ver",
                                             "aero_ns",         "size4_r",         "ns-resize"};
constexpr std::array<Names, 7> horizontalFiles{"horizontal resize", "horizontal_resize", "horz",     "size_hor",
                                               "aero_ew",           "size3_r",           "ew-resize"};
constexpr std::array<Names, 7> diagonal1Files{"diagonal resize 1", "diagonal_resize_1", "dgn1",       "size_fdiag",
                                              "aero_nwse",         "size2_r",           "nwse-resize"};
constexpr std::array<Names, 7> diagonal2Files{"diagonal resize 2", "diagonal_resize_2", "dgn2",       "size_bdiag",
                                              "aero_nesw",         "size1_r",           "nesw-resize"};
constexpr std::array<Names, 5> moveFiles{"size_all", "aero_move", "move_r", "fleur", "all-scroll"};
constexpr std::array<Names, 6> alternateFiles{"alternate select", "alternate_select", "alt", "aero_up", "up_r",
                                              "up-arrow"};
constexpr std::array<Names, 6> linkFiles{"link select", "link_select", "aero_link", "link_r", "pointer_hand", "hand2"};
constexpr std::array<Names, 4> pinFiles{"location select", "location_select", "location", "aero_pin"};
constexpr std::array<Names, 3> personFiles{"person select", "person_select", "aero_person"};

// Pin and person have no standard freedesktop names; "pin" and "person" are what the themes that ship them use.
constexpr std::array roles{
    CursorRole{"pointer", "Arrow", "default", pointerAliases, pointerFiles},
    CursorRole{"help", "Help", "help", helpAliases, helpFiles},
    CursorRole{"working", "AppStarting", "progress", workingAliases, workingFiles},
    CursorRole{"busy", "Wait", "wait", busyAliases, busyFiles},
    CursorRole{"precision", "Crosshair", "crosshair", precisionAliases, precisionFiles},
    CursorRole{"text", "IBeam", "text", textAliases, textFiles},
    CursorRole{"handwriting", "NWPen", "pencil", noAliases, handwritingFiles},
    CursorRole{"unavailable", "No", "not-allowed", unavailableAliases, unavailableFiles},
    CursorRole{"vertical", "SizeNS", "ns-resize", verticalAliases, verticalFiles},
    CursorRole{"horizontal", "SizeWE", "ew-resize", horizontalAliases, horizontalFiles},
    CursorRole{"diagonal1", "SizeNWSE", "nwse-resize", diagonal1Aliases, diagonal1Files},
    CursorRole{"diagonal2", "SizeNESW", "nesw-resize", diagonal2Aliases, diagonal2Files},
    CursorRole{"move", "SizeAll", "move", moveAliases, moveFiles},
    CursorRole{"alternate", "UpArrow", "up-arrow", alternateAliases, alternateFiles},
    CursorRole{"link", "Hand", "pointer", linkAliases, linkFiles},
    CursorRole{"pin", "Pin", "pin", noAliases, pinFiles},
    CursorRole{"person", "Person", "person", noAliases, personFiles},
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::span<const CursorRole> cursorRoles() { return roles; }

const CursorRole* roleOfWindowsName(std::string_view stem) {
  for (const CursorRole& role : roles) {
    if (sameIgnoringCase(stem, role.schemeName) || sameIgnoringCase(stem, role.role)) return &role;
  }
  for (const CursorRole& role : roles) {
    for (std::string_view file : role.windowsFileNames) {
      if (sameIgnoringCase(stem, file)) return &role;
    }
  }
  return nullptr;
}

const CursorRole* roleOfXcursorName(std::string_view name) {
  for (const CursorRole& role : roles) {
    if (name == role.xcursorName) return &role;
    if (std::find(role.aliases.begin(), role.aliases.end(), name) != role.aliases.end()) return &role;
  }
  return nullptr;
}

}  // namespace delvix::theme
