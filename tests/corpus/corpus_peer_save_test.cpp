// Every sample file that a peer tool reads must read the same after `delvix-cli save` writes it again
// under its own name: the same figures from gdk-pixbuf, icotool, ImageMagick and sox.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "support/corpus.h"
#include "support/temp_dir.h"

namespace delvix::testing {
namespace {

namespace fs = std::filesystem;

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

struct Peer {
  const char* name;
  const char* program;
  std::vector<const char*> folders;
  // What the peer tells of a file; empty when it cannot read it.
  std::string (*figures)(const fs::path& file, const fs::path& scratch);
  // The peer takes the length a cut-short original claims; the saved file holds what was there.
  bool lengthFromHeader = false;
};

// The first frame as gdk-pixbuf's thumbnailer draws it: size and a digest of its pixels.
std::string pixbufFigures(const fs::path& file, const fs::path& scratch) {
  const fs::path png = scratch / "thumbnail.png";
  fs::remove(png);
  if (std::system(("gdk-pixbuf-thumbnailer -s 256 " + quoted(file) + " " + quoted(png) + " 2>/dev/null").c_str()) != 0)
    return {};
  return runAndCapture("identify -format '%w %h %#' " + quoted(png) + " 2>/dev/null");
}

// One line per image: kind, index, width, height, bit depth, palette size (and hot spot of cursors).
std::string icotoolFigures(const fs::path& file, const fs::path&) {
  return runAndCapture("icotool -l " + quoted(file) + " 2>/dev/null");
}

// Size and a digest of the pixels of every image.
std::string identifyFigures(const fs::path& file, const fs::path&) {
  return runAndCapture("identify -format '%w %h %#\\n' " + quoted(file) + " 2>/dev/null");
}

// Rate, channels and the number of sample frames; nothing when sox cannot tell the length (a file
// written as a stream, whose sizes were never filled in: saved, it has its true sizes).
std::string soxFigures(const fs::path& file, const fs::path&) {
  std::string output;
  for (const char* option : {"-r", "-c", "-s"}) {
    std::string value = runAndCapture(std::string("soxi ") + option + " " + quoted(file) + " 2>/dev/null");
    if (value.empty() || value == "0\n") return {};
    output += value;
  }
  return output;
}

TEST(CorpusPeerInterop, PeersReadSavedFilesAsTheOriginals) {
  if (corpusFiles("ico").empty()) GTEST_SKIP() << "no sample corpus at " << DELVIX_CORPUS_DIR;
  const std::vector<Peer> peers{
      {"gdk-pixbuf", "gdk-pixbuf-thumbnailer", {"ani", "ico", "cur"}, pixbufFigures},
      {"icotool", "icotool", {"ico", "cur"}, icotoolFigures},
      {"ImageMagick", "identify", {"ico"}, identifyFigures},
      {"sox", "soxi", {"wav"}, soxFigures, true},
  };
  TempDir dir;
  int compared = 0;
  for (const Peer& peer : peers) {
    if (!haveProgram(peer.program)) {
      ADD_FAILURE() << peer.program << " (" << peer.name << ") is not installed; scripts/install-deps.sh installs it";
      continue;
    }
    for (const char* folder : peer.folders) {
      for (const fs::path& original : corpusFiles(folder)) {
        SCOPED_TRACE(std::string(peer.name) + ": " + original.filename().string());
        if (peer.lengthFromHeader && original.filename().string().starts_with("truncated-")) continue;
        const std::string before = peer.figures(original, dir.path());
        if (before.empty()) continue;
        const fs::path saved = dir.path() / ("saved" + original.extension().string());
        const std::string save = std::string(DELVIX_CLI_PATH) + " save " + quoted(original) + " " + quoted(saved);
        ASSERT_EQ(std::system((save + " 2>/dev/null").c_str()), 0);
        EXPECT_EQ(peer.figures(saved, dir.path()), before);
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 60);
}

}  // namespace
}  // namespace delvix::testing
