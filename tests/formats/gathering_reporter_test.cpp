#include "formats/gathering_reporter.h"

#include <gtest/gtest.h>

namespace delvix::formats {
namespace {

// One thing a reader reports: a box when `box` is set, else a log line.
struct Event {
  bool box;
  std::string text;
};
Event line(std::string text) { return {false, std::move(text)}; }
Event box(std::string text) { return {true, std::move(text)}; }
Event error(std::string text) { return {true, "error:" + text}; }

void replay(GatheringReporter& reporter, const std::vector<Event>& events) {
  for (const Event& event : events) {
    if (!event.box)
      reporter.log(event.text);
    else if (event.text.starts_with("error:"))
      reporter.error(event.text.substr(6));
    else
      reporter.dialog({event.text, Buttons::ok, BoxKind::plain, "Caption"});
  }
}

TEST(GatheringReporter, GivesOneBoxWithTheFirstTextTheSubjectAndEveryReasonOnce) {
  struct Case {
    const char* name;
    std::vector<Event> events;
    std::optional<std::string> text;
    std::string details;
  };
  const std::vector<Case> cases = {
      {"nothing", {}, std::nullopt, ""},
      {"notes without a box", {line("a"), line("b")}, std::nullopt, ""},
      {"a damaged file",
       {line("picture_1: outside"), error("This file is corrupt.")},
       "This file is corrupt.",
       "x.ico\npicture_1: outside"},
      {"a box without reasons", {box("File not found.")}, "File not found.", "x.ico"},
      {"the same error for every frame",
       {line("frame 1 short"), error("Cut."), line("frame 2 short"), error("Cut.")},
       "Cut.",
       "x.ico\nframe 1 short\nframe 2 short"},
      {"later boxes are reasons",
       {error("First."), box("Second."), error("Third.")},
       "First.",
       "x.ico\nSecond.\nThird."},
      {"repeated lines once", {line("a"), line("b"), line("a"), box("Box.")}, "Box.", "x.ico\na\nb"},
      {"lines after the box count too", {box("Box."), line("late")}, "Box.", "x.ico\nlate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GatheringReporter reporter("x.ico");
    replay(reporter, c.events);
    const auto gathered = reporter.gathered();
    ASSERT_EQ(gathered.has_value(), c.text.has_value());
    if (!gathered) continue;
    EXPECT_EQ(gathered->text, *c.text);
    EXPECT_EQ(gathered->details, c.details);
  }
}

TEST(GatheringReporter, KeepsTheFirstBoxsButtonsAndCaption) {
  GatheringReporter reporter("");
  reporter.dialog({"MMIO Error. Error Code: 265", Buttons::ok, BoxKind::plain, "MMIO Error"});
  reporter.error("This file is corrupt.");
  EXPECT_EQ(reporter.gathered(), (DialogRequest{"MMIO Error. Error Code: 265", Buttons::ok, BoxKind::plain,
                                                "MMIO Error", "This file is corrupt."}));
}

TEST(GatheringReporter, ListsTheFirstReasonsAndCountsTheRest) {
  GatheringReporter reporter("many.ico", 3);
  for (int n = 1; n <= 60000; ++n) reporter.log("picture_" + std::to_string(n) + ": bad");
  reporter.error("This file is corrupt.");
  EXPECT_EQ(reporter.gathered()->details, "many.ico\npicture_1: bad\npicture_2: bad\npicture_3: bad\nand 59997 more.");
}

}  // namespace
}  // namespace delvix::formats
