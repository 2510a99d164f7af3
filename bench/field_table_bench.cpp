// Selects every node of a file in the real window (offscreen) and reports how long the field table takes to
// list the node and paint its visible rows: the median, the 95th percentile and the slowest, against half a
// frame of a 60 Hz screen (8.3 ms). Then it pages through the first colour bitmap's pixel table with Next
// (colour bitmaps listed, as the Options set them) and compares listing every page with ImageMagick's
// `convert 'FILE[0]' txt:-`, which prints every pixel of the first picture.
// Usage: QT_QPA_PLATFORM=offscreen delvix_field_table_bench FILE [ROUNDS]
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window/main_window.h"
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
    if (name == "Color") return 8;
    return std::nullopt;
  }
  bool canWrite() const override { return false; }
  void write(const std::string&, std::uint32_t) override {}
  std::optional<std::string> readText(const std::string&) const override { return std::nullopt; }
  void writeText(const std::string&, const std::string&) override {}
  std::optional<std::vector<std::uint8_t>> readBytes(const std::string&) const override { return std::nullopt; }
  void writeBytes(const std::string&, const std::vector<std::uint8_t>&) override {}
  void flush() override {}
};

class NoPrompts : public delvix::platform::Prompter {
 public:
  std::optional<std::string> openFile(const delvix::platform::FileRequest&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const delvix::platform::FileRequest&) override { return std::nullopt; }
  void show(const delvix::platform::Message&) override {}
  delvix::platform::UnsavedChoice askToSave(const std::string&) override {
    return delvix::platform::UnsavedChoice::discard;
  }
};

class NoHelp : public delvix::platform::HelpViewer {
 public:
  bool start(const std::filesystem::path&) override { return false; }
  bool running() const override { return false; }
  void terminate() override {}
};

struct Spread {
  double median, p95, slowest;
};

Spread spreadOf(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times[times.size() * 95 / 100], times.back()};
}

double millisecondsOf(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

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
  QModelIndex firstColourBitmap;
  for (int round = 0; round < rounds; ++round) {
    for (const QModelIndex& node : nodes) {
      if (!firstColourBitmap.isValid() && node.data().toString() == "color_bitmap") firstColourBitmap = node;
      QElapsedTimer timer;
      timer.start();
      tree->setCurrentIndex(node);
      table->viewport()->repaint();
      times.push_back(millisecondsOf(timer));
    }
  }
  if (times.empty()) {
    std::fprintf(stderr, "no nodes in %s\n", argv[1]);
    return 1;
  }
  const Spread nodeTimes = spreadOf(times);
  std::printf(
      "%zu nodes x %d rounds: median %.3f ms, 95th percentile %.3f ms, slowest %.3f ms (half a 60 Hz frame: "
      "8.333 ms)\n",
      nodes.size(), rounds, nodeTimes.median, nodeTimes.p95, nodeTimes.slowest);
  if (!firstColourBitmap.isValid()) return 0;

  auto* next = window.findChild<QPushButton*>("ButNext");
  std::vector<double> pages;
  double everyPage = 0;
  for (int round = 0; round < rounds; ++round) {
    // Another node first, so that the colour bitmap is listed again from its first page.
    tree->setCurrentIndex(firstColourBitmap.parent());
    tree->setCurrentIndex(firstColourBitmap);
    table->viewport()->repaint();
    QElapsedTimer all;
    all.start();
    while (next->isEnabled()) {
      QElapsedTimer timer;
      timer.start();
      next->click();
      table->viewport()->repaint();
      pages.push_back(millisecondsOf(timer));
    }
    everyPage += millisecondsOf(all);
  }
  if (pages.empty()) return 0;
  everyPage /= rounds;
  const Spread pageTimes = spreadOf(pages);
  std::printf("%zu pages x %d rounds, Next: median %.3f ms, 95th percentile %.3f ms, slowest %.3f ms\n",
              pages.size() / static_cast<std::size_t>(rounds), rounds, pageTimes.median, pageTimes.p95,
              pageTimes.slowest);
  const std::string peer = "convert '" + std::string(argv[1]) + "[0]' txt:- > /dev/null 2>&1";
  std::vector<double> peerTimes;
  for (int round = 0; round < rounds; ++round) {
    QElapsedTimer timer;
    timer.start();
    if (std::system(peer.c_str()) != 0) return 0;
    peerTimes.push_back(millisecondsOf(timer));
  }
  const double convertTime = spreadOf(peerTimes).median;
  std::printf("every page %.1f ms, convert txt:- %.1f ms: ratio %.3f (below 1: the table is quicker)\n", everyPage,
              convertTime, everyPage / convertTime);
  return 0;
}
