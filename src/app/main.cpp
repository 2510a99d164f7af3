#include <QApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QTreeWidget>

#include <functional>

#include "formats/document_reader.h"
#include "model/document.h"

namespace {

// Fills the tree widget with the structure tree of the document.
void showTree(QTreeWidget& view, const delvix::model::Document& document) {
  std::function<void(QTreeWidgetItem*, const delvix::model::Node&)> add = [&](QTreeWidgetItem* parent,
                                                                             const delvix::model::Node& node) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&view);
    item->setText(0, QString::fromStdString(node.name()));
    for (const auto& child : node.children()) add(item, *child);
  };
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i) add(nullptr, document.tree.topLevel(i));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Delvix");

  QMainWindow window;
  window.setWindowTitle("Delvix v.2.2");
  window.resize(817, 451);
  auto* tree = new QTreeWidget(&window);
  tree->setHeaderLabel("File structure");
  window.setCentralWidget(tree);

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    delvix::model::Document document;
    delvix::formats::RecordingReporter reporter;
    delvix::formats::readDocument(args[1].toStdString(), document, {}, reporter);
    showTree(*tree, document);
    tree->expandAll();
  }

  window.show();
  return QApplication::exec();
}
