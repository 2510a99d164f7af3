#include "theme/cursor_roles.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace delvix::theme {
namespace {

// A name that led to two roles would make a theme's cursor depend on the order of the table.
TEST(CursorRoles, EveryNameLeadsToOneRole) {
  std::set<std::string_view> xcursorNames;
  std::set<std::string> windowsNames;
  auto lower = [](std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  for (const CursorRole& role : cursorRoles()) {
    EXPECT_TRUE(xcursorNames.insert(role.xcursorName).second) << role.xcursorName;
    for (std::string_view alias : role.aliases) EXPECT_TRUE(xcursorNames.insert(alias).second) << alias;
    EXPECT_EQ(roleOfXcursorName(role.xcursorName), &role);
    for (std::string_view alias : role.aliases) EXPECT_EQ(roleOfXcursorName(alias), &role) << alias;

    std::set<std::string> ownNames{lower(role.schemeName), lower(role.role)};
    for (const std::string& name : ownNames) EXPECT_TRUE(windowsNames.insert(name).second) << name;
    for (std::string_view name : {role.schemeName, role.role}) {
      EXPECT_EQ(roleOfWindowsName(name), &role) << name;
    }
    for (std::string_view stem : role.windowsFileNames) {
      EXPECT_EQ(stem, lower(stem));
      EXPECT_TRUE(windowsNames.insert(std::string(stem)).second) << stem;
      EXPECT_EQ(roleOfWindowsName(stem), &role) << stem;
    }
  }
}

TEST(CursorRoles, SchemeOrderAndLookups) {
  const auto roles = cursorRoles();
  ASSERT_EQ(roles.size(), 17u);
  EXPECT_EQ(roles[0].schemeName, "Arrow");
  EXPECT_EQ(roles[14].schemeName, "Hand");
  EXPECT_EQ(roles[16].schemeName, "Person");
  struct Case {
    std::string_view name;
    std::string_view windows;  // role, empty for none
    std::string_view xcursor;
  } cases[] = {
      {"left_ptr", "pointer", "pointer"},
      {"watch", "busy", "busy"},
      {"APPSTARTING", "working", ""},
      {"Normal Select", "pointer", ""},
      {"hand2", "link", "link"},
      {"xterm", "text", "text"},
      {"nwse-resize", "diagonal1", "diagonal1"},
      {"fd_double_arrow", "", "diagonal2"},
      {"busy", "busy", ""},
      {"", "", ""},
      {"nonsense", "", ""},
  };
  for (const Case& c : cases) {
    const CursorRole* windows = roleOfWindowsName(c.name);
    const CursorRole* xcursor = roleOfXcursorName(c.name);
    EXPECT_EQ(windows ? windows->role : "", c.windows) << c.name;
    EXPECT_EQ(xcursor ? xcursor->role : "", c.xcursor) << c.name;
  }
}

}  // namespace
}  // namespace delvix::theme
