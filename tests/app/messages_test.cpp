// What the user is told: one box per open with the file's name and the reasons, and the message log live
// in View > Messages.
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "fixtures.h"
#include "formats/le_bytes.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

TEST(MessageLogListeners, AreToldUntilTheirSubscriptionEndsEvenAfterTheLogIsGone) {
  std::vector<std::string> heard;
  app::MessageLog::Subscription kept;
  {
    app::MessageLog log;
    kept = log.listen({[&](std::string_view line) { heard.emplace_back(line); }, [&] { heard.emplace_back("-"); }});
    log.add("a");
    log.clear();
    {
      app::MessageLog::Subscription brief = log.listen({[&](std::string_view) { heard.emplace_back("brief"); }, {}});
    }
    log.add("b");
  }
  kept.end();
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "-", "b"}));
}

}  // namespace

}  // namespace delvix::testing
