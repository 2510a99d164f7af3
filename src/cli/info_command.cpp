#include "cli/info_command.h"

#include <ostream>

#include "browse/file_summary.h"
#include "cli/stderr_reporter.h"
#include "fieldview/value_text.h"
#include "formats/document_reader.h"
#include "formats/wave_channels.h"
#include "model/document.h"

namespace delvix::cli {

namespace {

// Modules are counted from their headers and resource directory, read where they lie, as the image browser
// counts them.
int printResourceCounts(const std::string& path, Streams streams) {
  const browse::FileSummary summary = browse::summarizeFile(path, browse::FileKind::module);
  if (summary.access != browse::Access::read || !summary.reason.empty()) {
    streams.err << "Could not open this file.\n";
    return exitRefused;
  }
  const formats::pe::ResourceCounts& counts = summary.resources;
  auto shown = [](bool on, std::size_t count) { return on ? std::to_string(count) : std::string("?"); };
  streams.out << "icon groups: " << shown(streams.settings.resources.icons, counts.iconGroups) << '\n'
              << "cursor groups: " << shown(streams.settings.resources.cursors, counts.cursorGroups) << '\n'
              << "bitmaps: " << shown(streams.settings.resources.bitmaps, counts.bitmaps) << '\n';
  return exitOk;
}

void printWave(const model::WaveState& wave, std::ostream& out) {
  const model::WaveFormat& f = wave.format;
  out << "format tag: " << f.formatTag << ", channels: " << f.channels << ", bits per sample: " << f.bitsPerSample
      << ", samples per second: " << f.samplesPerSecond << ", data bytes: " << wave.dataSize
      << ", playing time: " << playingTimeText(wave.playingTime) << " s";
  // Opening a file in the viewer splits the channels; doing the same here keeps `info` an honest measure
  // of what an open costs.
  const formats::WaveChannels channels = formats::prepareChannels(wave);
  if (channels.layout.channels != 0) out << ", sample frames: " << channels.frameCount;
  out << '\n';
}

// Icon frames carry their own size and depth, so the header often leaves them 0; the first frame then tells.
void printAnimatedCursor(const model::Document& document, std::ostream& out) {
  const model::AniHeader& h = document.ani.header;
  out << "frames: " << h.frames << ", steps: " << h.steps;
  const bool fromFirstFrame =
      h.width == 0 && h.height == 0 && !document.pictures.empty() && !document.pictures.front().placeholder;
  if (fromFirstFrame) {
    const model::PictureEntry& first = document.pictures.front();
    out << ", size: " << first.sizeText << ", bit count: " << first.bitCountText << " (first frame)\n";
  } else {
    out << ", size: " << h.width << 'x' << h.height << ", bit count: " << h.bitCount << '\n';
  }
}

}  // namespace

std::string playingTimeText(float seconds) { return fieldview::playingTimeText(seconds); }

int printInfo(std::span<const std::string> args, Streams streams) {
  const std::string& path = args[0];
  auto kind = formats::fileKindOfExtension(std::filesystem::path(path).extension().string());
  if (!kind || *kind == model::FileKind::module) return printResourceCounts(path, streams);

  model::Document document;
  StderrReporter reporter(streams.err);
  if (formats::readDocument(path, document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  switch (document.kind) {
    case model::FileKind::wave: printWave(document.wave, streams.out); break;
    case model::FileKind::animatedCursor: printAnimatedCursor(document, streams.out); break;
    default: streams.out << "images: " << document.imageCount << '\n'; break;
  }
  return exitOk;
}

}  // namespace delvix::cli
