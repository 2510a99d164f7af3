#include <QTreeView>

#include "support/corpus.h"
#include "window_fixture.h"

namespace delvix::testing {

namespace {

class CorpusOpen : public WindowTest {
 protected:
  // Selects every thumbnail: each picture that has a thumbnail of its own is drawn in the preview.
  void showEveryPicture(const std::filesystem::path& file) {
    auto* list = window().findChild<QTreeView*>("ListPreview");
    const auto& pictures = window().document().pictures;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      list->setCurrentIndex(list->model()->index(row, 0));
      ASSERT_EQ(window().currentPictureIndex(), row) << file;
      const auto position = static_cast<std::size_t>(row);
      if (position < pictures.size() && !pictures[position].placeholder) {
        EXPECT_FALSE(window().frameBitmap().empty()) << file << " picture " << row + 1;
      }
    }
    EXPECT_FALSE(logged("Error: select item")) << file;
  }
};

// Every sample file opens to a tree, and no reader lets an error escape to the open command.
TEST_F(CorpusOpen, EverySampleFileOpensToATree) {
  int opened = 0;
  for (const char* folder : {"ico", "cur", "ani", "wav", "pe"}) {
    for (const auto& file : corpusFiles(folder)) {
      if (!formats::fileKindOfExtension(file.extension().string())) continue;
      window().openFile(QString::fromStdString(file.string()));
      EXPECT_FALSE(logged("Invalid memory block address.")) << file;
      EXPECT_EQ(text("Panel4").toStdString(), " " + file.filename().string());
      showEveryPicture(file);
      ++opened;
    }
  }
  if (opened == 0) GTEST_SKIP() << "the sample corpus is not there";
}

}  // namespace

}  // namespace delvix::testing
