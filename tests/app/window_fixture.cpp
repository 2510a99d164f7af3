#include "window_fixture.h"

#include <QHeaderView>
#include <QTreeView>

namespace delvix::testing {

WindowTest::WindowTest() : dataFolder(files.path() / "data") {}

WindowTest::~WindowTest() = default;

app::TFormANI& WindowTest::window() {
  if (!window_)
    window_ = std::make_unique<app::TFormANI>(
        app::Host{prompter, store, help, programPath, dataFolder, reader, &sound, logBesideProgram});
  return *window_;
}

void WindowTest::closeWindow() { window_.reset(); }

std::filesystem::path WindowTest::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
  return files.write(name, bytes);
}

void WindowTest::openThroughDialog(const std::filesystem::path& path) {
  prompter.choose(path.string());
  window().ButLoadClick();
}

QWidget* WindowTest::widget(const char* name) {
  auto* found = window().findChild<QWidget*>(name);
  EXPECT_NE(found, nullptr) << "no widget " << name;
  return found;
}

QAction* WindowTest::action(const char* name) {
  auto* found = window().findChild<QAction*>(name);
  EXPECT_NE(found, nullptr) << "no action " << name;
  return found;
}

bool WindowTest::enabled(const char* name) {
  if (auto* found = window().findChild<QWidget*>(name)) return found->isEnabled();
  QAction* found = action(name);
  return found && found->isEnabled();
}

QString WindowTest::text(const char* name) {
  auto* label = window().findChild<QLabel*>(name);
  EXPECT_NE(label, nullptr) << "no label " << name;
  return label ? label->text() : QString();
}

QString WindowTest::hint(const char* name) {
  QWidget* found = widget(name);
  return found ? found->toolTip() : QString();
}

std::vector<std::string> WindowTest::treeRows(const char* parent) {
  auto* tree = window().findChild<QTreeView*>("TreeView1");
  QAbstractItemModel* model = tree->model();
  QModelIndex under;
  if (parent) {
    const auto matches =
        model->match(model->index(0, 0), Qt::DisplayRole, QString(parent), 1, Qt::MatchExactly | Qt::MatchRecursive);
    if (matches.isEmpty()) return {};
    under = matches.first();
  }
  std::vector<std::string> rows;
  for (int row = 0; row < model->rowCount(under); ++row)
    rows.push_back(model->index(row, 0, under).data().toString().toStdString());
  return rows;
}

void WindowTest::selectTreeNode(const char* name) {
  auto* tree = window().findChild<QTreeView*>("TreeView1");
  const auto found =
      tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly | Qt::MatchRecursive);
  ASSERT_FALSE(found.isEmpty()) << name;
  tree->scrollTo(found.first());
  tree->setCurrentIndex(found.first());
}

std::string WindowTest::selectedTreeNode() {
  auto* tree = window().findChild<QTreeView*>("TreeView1");
  return tree->currentIndex().data().toString().toStdString();
}

std::vector<std::string> WindowTest::thumbnailRow(int row) {
  auto* list = window().findChild<QTreeView*>("ListPreview");
  std::vector<std::string> texts;
  for (int column = 0; column < 3; ++column)
    texts.push_back(list->model()->index(row, column).data().toString().toStdString());
  return texts;
}

std::vector<std::string> WindowTest::thumbnailCaptions() {
  auto* list = window().findChild<QTreeView*>("ListPreview");
  std::vector<std::string> captions;
  for (int column = 0; column < 3; ++column)
    captions.push_back(list->model()->headerData(column, Qt::Horizontal).toString().toStdString());
  return captions;
}

int WindowTest::thumbnailRowCount() { return window().findChild<QTreeView*>("ListPreview")->model()->rowCount(); }

int WindowTest::thumbnailColumnWidth(int column) {
  return window().findChild<QTreeView*>("ListPreview")->header()->sectionSize(column);
}

bool WindowTest::logged(const std::string& line) {
  const auto& lines = window().messageLog().lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace delvix::testing
