#include <QTreeView>

#include "support/corpus.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class CorpusOpen : public WindowTest {};

// Every sample file opens to a tree, and no reader lets an error escape to the open command.
TEST_F(CorpusOpen, EverySampleFileOpensToATree) {
  int opened = 0;
  for (const char* folder : {"ico", "cur", "ani", "wav", "pe"}) {
    for (const auto& file : corpusFiles(folder)) {
      if (!formats::fileKindOfExtension(file.extension().string())) continue;
      window().openFile(QString::fromStdString(file.string()));
      EXPECT_FALSE(logged("Invalid memory block address.")) << file;
      EXPECT_EQ(text("Panel4").toStdString(), " " + file.filename().string());
      ++opened;
    }
  }
  if (opened == 0) GTEST_SKIP() << "the sample corpus is not there";
}

}  // namespace

}  // namespace delvix::testing
