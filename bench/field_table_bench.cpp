// Selects every node of a file in the real window (offscreen) and reports how long the field table takes to
// list the node and paint its visible rows: the median, the 95th percentile and the slowest, against half a
// frame of a 60 Hz screen (8.3 ms).
// Usage: QT_QPA_PLATFORM=offscreen delvix_field_table_bench FILE [ROUNDS]
#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "platform/help_viewer.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"

namespace {

// Settings with the tip of the day and the saving of options off, kept in memory.
class QuietSettings : public delvix::platform::SettingsStore {
 public:
  bool canRead() const override { return true; }
  std::optional<std::uint32_t> read(const std::string& name) const override {
    if (name == "Settings") return 28;
    return std::nullopt;
  }
  bool canWrite() const override { return false; }
  void write(const std::string&, std::uint32_t) override {}
  void flush() override {}
};

class NoPrompts : public delvix::platform::Prompter {
 public:
  std::optional<std::string> openFile(const delvix::platform::FileRequest&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const delvix::platform::FileRequest&) override { return std::nullopt; }
  void show(const delvix::platform::Message&) override {}
};

class NoHelp : public delvix::platform::HelpViewer {
 public:
  bool start(const std::filesystem::path&) override { return false; }
  bool running() const override { return false; }
  void terminate() override {}
};

void everyIndex(QAbstractItemModel* model, const QModelIndex& parent, std::vector<QModelIndex>& out) {
  for (int row = 0; row < model->rowCount(parent); ++row) {
    const QModelIndex index = model->index(row, 0, parent);
    out.push_back(index);
    everyIndex(model, index, out);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: delvix_field_table_bench FILE [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  QuietSettings settings;
  NoPrompts prompter;
  NoHelp help;
  delvix::app::TFormANI window(delvix::app::Host{prompter, settings, help, ".", "."});
  window.resize(1024, 768);
  window.show();
  window.openFile(QString::fromLocal8Bit(argv[1]));
  QApplication::processEvents();

  auto* tree = window.findChild<QTreeView*>("TreeView1");
  auto* table = window.findChild<QTreeView*>("ListView1");
  std::vector<QModelIndex> nodes;
  everyIndex(tree->model(), {}, nodes);
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    for (const QModelIndex& node : nodes) {
      QElapsedTimer timer;
      timer.start();
      tree->setCurrentIndex(node);
      table->viewport()->repaint();
      times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
  }
  if (times.empty()) {
    std::fprintf(stderr, "no nodes in %s\n", argv[1]);
    return 1;
  }
  std::sort(times.begin(), times.end());
  std::printf("%zu nodes x %d rounds: median %.3f ms, 95th percentile %.3f ms, slowest %.3f ms (half a 60 Hz frame: "
              "8.333 ms)\n",
              nodes.size(), rounds, times[times.size() / 2], times[times.size() * 95 / 100], times.back());
  return 0;
}
