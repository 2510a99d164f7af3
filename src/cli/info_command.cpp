#include "cli/info_command.h"

#include <algorithm>
#include <optional>
#include <ostream>

#include "browse/file_names.h"
#include "browse/file_summary.h"
#include "cli/each_file.h"
#include "cli/json_output.h"
#include "cli/stderr_reporter.h"
#include "fieldview/value_text.h"
#include "formats/document_reader.h"
#include "formats/file_content.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/resource_directory.h"
#include "formats/regular_file.h"
#include "formats/standard_input.h"
#include "formats/xcursor/xcursor_document.h"
#include "model/document.h"
#include "preview/picture_listing.h"
#include "wave/sample_reader.h"

namespace delvix::cli {

namespace {

nlohmann::json pictureJson(const preview::PictureFacts& facts) {
  nlohmann::json picture = {{"number", facts.number},      {"width", facts.width},     {"height", facts.height},
                            {"bit_count", facts.bitCount}, {"format", facts.format()}, {"bytes", facts.bytes}};
  if (facts.hotSpot) picture["hot_spot"] = {{"x", facts.hotSpot->x}, {"y", facts.hotSpot->y}};
  if (facts.nominalSize) picture["nominal_size"] = *facts.nominalSize;
  if (facts.delay) picture["delay_ms"] = *facts.delay;
  return picture;
}

nlohmann::json picturesJson(const std::vector<preview::PictureFacts>& list) {
  nlohmann::json pictures = nlohmann::json::array();
  for (const preview::PictureFacts& facts : list) pictures.push_back(pictureJson(facts));
  return pictures;
}

// One line a picture, after the file's summary: "picture 2: 48x48, 32 bits, PNG, 2930 bytes".
void printPictures(const model::Document& document, std::ostream& out) {
  const char* label = document.kind == model::FileKind::animatedCursor ? "frame " : "picture ";
  for (const preview::PictureFacts& facts : preview::listPictures(document))
    out << label << facts.number << ": " << preview::pictureFactsText(facts) << '\n';
}

// Each icon group, cursor group and bitmap of a module with its pictures' sizes, after the counts.
int printResourceGroups(const std::string& path, Streams streams, nlohmann::json* info) {
  model::Document document;
  StderrReporter reporter(streams.err);
  if (formats::readDocument(path, document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  auto groups = preview::listResourceGroups(document);
  // The languages are in the resource directory, read again from the module's bytes.
  std::shared_ptr<const formats::FileContent> content;
  if (path == formats::standardInputName) {
    content = formats::standardInput();
  } else if (auto read = formats::FileContent::read(path)) {
    content = std::make_shared<const formats::FileContent>(std::move(*read));
  }
  std::optional<formats::pe::PeImage> image;
  if (content) image = formats::pe::PeImage::parse(content->bytes());
  if (auto resources = image ? formats::pe::ResourceDirectory::open(*image) : std::nullopt)
    preview::findLanguages(groups, *resources);
  if (info) {
    nlohmann::json list = nlohmann::json::array();
    for (const preview::ResourceGroupFacts& group : groups)
      list.push_back({{"kind", group.kind},
                      {"name", browse::displayText(group.name)},
                      {"language", group.language ? nlohmann::json(*group.language) : nlohmann::json(nullptr)},
                      {"pictures", picturesJson(group.pictures)}});
    (*info)["groups"] = std::move(list);
    return exitOk;
  }
  for (const preview::ResourceGroupFacts& group : groups) {
    streams.out << group.kind << ' ' << group.name;
    if (group.language) streams.out << ", language " << *group.language;
    streams.out << ": " << group.pictures.size() << (group.pictures.size() == 1 ? " picture" : " pictures");
    for (std::size_t i = 0; i < group.pictures.size(); ++i)
      streams.out << (i == 0 ? ", " : " ") << group.pictures[i].width << 'x' << group.pictures[i].height;
    streams.out << '\n';
  }
  return exitOk;
}

// Modules are counted from their headers and resource directory, read where they lie, as the image browser
// counts them.
int printResourceCounts(const std::string& path, Streams streams) {
  browse::FileSummary summary;
  std::error_code error;
  if (path == formats::standardInputName) {
    if (const auto content = formats::standardInput())
      summary =
          browse::summarizeSource(std::make_shared<formats::MemorySource>(content->bytes()), browse::FileKind::module);
  } else if (const auto problem = formats::inputProblem(path); problem && std::filesystem::exists(path, error)) {
    streams.err << path << ": " << *problem << '\n';
    return exitRefused;
  } else {
    summary = browse::summarizeFile(path, browse::FileKind::module);
  }
  if (summary.access != browse::Access::read) {
    StderrReporter(streams.err, path).log("Could not open this file: " + summary.reason);
    return exitRefused;
  }
  // The file was read: the reason says what is damaged.
  if (!summary.reason.empty()) {
    StderrReporter(streams.err, path).log(summary.reason);
    return exitRefused;
  }
  const formats::pe::ResourceCounts& counts = summary.resources;
  if (streams.json) {
    // A kind left unread is null, as the text shows it "?".
    auto counted = [](bool on, std::size_t count) { return on ? nlohmann::json(count) : nlohmann::json(nullptr); };
    nlohmann::json info = {{"file", browse::displayText(path)},
                           {"kind", "module"},
                           {"icon_groups", counted(streams.settings.resources.icons, counts.iconGroups)},
                           {"cursor_groups", counted(streams.settings.resources.cursors, counts.cursorGroups)},
                           {"bitmaps", counted(streams.settings.resources.bitmaps, counts.bitmaps)}};
    const int status = printResourceGroups(path, streams, &info);
    writeJson(streams.out, info);
    return status;
  }
  auto shown = [](bool on, std::size_t count) { return on ? std::to_string(count) : std::string("?"); };
  streams.out << "icon groups: " << shown(streams.settings.resources.icons, counts.iconGroups) << '\n'
              << "cursor groups: " << shown(streams.settings.resources.cursors, counts.cursorGroups) << '\n'
              << "bitmaps: " << shown(streams.settings.resources.bitmaps, counts.bitmaps) << '\n';
  return printResourceGroups(path, streams, nullptr);
}

// The sample frames of data stored sample by sample (PCM of any width, float, A-law, µ-law), worked out from the
// headers alone; none for a compressed encoding, whose frames only decoding would count.
std::optional<std::uint64_t> storedFrameCount(const model::WaveState& wave) {
  const auto layout = wave::sampleLayoutOf(wave);
  if (!layout || layout->frameBytes == 0) return std::nullopt;
  return std::min<std::uint64_t>(wave.dataSize, wave.samples.size()) / layout->frameBytes;
}

void printWave(const model::WaveState& wave, std::ostream& out) {
  const model::WaveFormat& f = wave.format;
  out << "format tag: " << f.formatTag << ", channels: " << f.channels << ", bits per sample: " << f.bitsPerSample
      << ", samples per second: " << f.samplesPerSecond << ", data bytes: " << wave.dataSize
      << ", playing time: " << playingTimeText(wave.playingTime) << " s";
  if (const auto frames = storedFrameCount(wave)) out << ", sample frames: " << *frames;
  out << '\n';
}

nlohmann::json waveJson(const model::WaveState& wave) {
  const model::WaveFormat& f = wave.format;
  nlohmann::json info = {
      {"format_tag", f.formatTag},          {"channels", f.channels},
      {"bits_per_sample", f.bitsPerSample}, {"samples_per_second", f.samplesPerSecond},
      {"data_bytes", wave.dataSize},        {"playing_time", std::stod(playingTimeText(wave.playingTime))}};
  if (const auto frames = storedFrameCount(wave)) info["sample_frames"] = *frames;
  return info;
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

nlohmann::json animatedCursorJson(const model::Document& document) {
  const model::AniHeader& h = document.ani.header;
  nlohmann::json info = {{"frames", h.frames}, {"steps", h.steps}};
  const bool fromFirstFrame =
      h.width == 0 && h.height == 0 && !document.pictures.empty() && !document.pictures.front().placeholder;
  if (fromFirstFrame) {
    const model::PictureEntry& first = document.pictures.front();
    info["size"] = browse::displayText(first.sizeText);
    info["bit_count"] = columnJson(first.bitCountText);
  } else {
    info["size"] = std::to_string(h.width) + 'x' + std::to_string(h.height);
    info["bit_count"] = h.bitCount;
  }
  info["from_first_frame"] = fromFirstFrame;
  return info;
}

// The nominal sizes in the order they first appear, each with its frame count.
std::vector<std::pair<std::uint32_t, std::size_t>> nominalSizes(const model::Document& document) {
  std::vector<std::pair<std::uint32_t, std::size_t>> sizes;
  for (int index = 0; index < document.imageCount; ++index) {
    const auto timing = formats::xcursor::timingOf(document, index);
    if (!timing) continue;
    auto found =
        std::find_if(sizes.begin(), sizes.end(), [&](const auto& s) { return s.first == timing->nominalSize; });
    if (found == sizes.end())
      sizes.emplace_back(timing->nominalSize, 1);
    else
      ++found->second;
  }
  return sizes;
}

// "images: 93, nominal sizes: 24 (31 frames), 32 (31 frames), 48 (31 frames)".
void printXcursor(const model::Document& document, std::ostream& out) {
  out << "images: " << document.imageCount << ", nominal sizes:";
  const auto sizes = nominalSizes(document);
  for (std::size_t i = 0; i < sizes.size(); ++i)
    out << (i ? ", " : " ") << sizes[i].first << " (" << sizes[i].second
        << (sizes[i].second == 1 ? " frame)" : " frames)");
  out << '\n';
}

nlohmann::json xcursorJson(const model::Document& document) {
  nlohmann::json sizes = nlohmann::json::array();
  for (const auto& [size, frames] : nominalSizes(document)) sizes.push_back({{"size", size}, {"frames", frames}});
  return {{"images", document.imageCount}, {"nominal_sizes", sizes}};
}

}  // namespace

std::string playingTimeText(float seconds) { return fieldview::playingTimeText(seconds); }

int printInfos(const Invocation& call, Streams streams) { return forEachFile(call.operands, streams, printInfo); }

int printInfo(const std::string& path, Streams streams) {
  std::optional<model::FileKind> kind;
  if (path != formats::standardInputName) {
    const formats::FileKindChoice choice = formats::chooseFileKind(path);
    kind = choice.kind;
    // A module is counted here, not read: the disagreement is said as the reader would say it.
    if (kind == model::FileKind::module && !choice.mismatch.empty())
      StderrReporter(streams.err, path).log(choice.mismatch);
  } else {
    std::string failure;
    const auto content = formats::standardInput(&failure);
    if (!content) {
      streams.err << "delvix-cli: " << failure << '\n';
      return exitRefused;
    }
    kind = formats::fileKindOfContent(*content);
  }
  if (kind == model::FileKind::module) return printResourceCounts(path, streams);

  model::Document document;
  StderrReporter reporter(streams.err, path);
  if (formats::readDocument(path, document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  if (streams.json) {
    nlohmann::json info = {{"file", browse::displayText(path)}, {"kind", kindName(document)}};
    switch (document.kind) {
      case model::FileKind::wave: info.update(waveJson(document.wave)); break;
      case model::FileKind::animatedCursor: info.update(animatedCursorJson(document)); break;
      case model::FileKind::xcursor: info.update(xcursorJson(document)); break;
      default: info["images"] = document.imageCount; break;
    }
    if (document.kind != model::FileKind::wave) info["pictures"] = picturesJson(preview::listPictures(document));
    writeJson(streams.out, info);
    return exitOk;
  }
  switch (document.kind) {
    case model::FileKind::wave: printWave(document.wave, streams.out); break;
    case model::FileKind::animatedCursor: printAnimatedCursor(document, streams.out); break;
    case model::FileKind::xcursor: printXcursor(document, streams.out); break;
    default: streams.out << "images: " << document.imageCount << '\n'; break;
  }
  if (document.kind != model::FileKind::wave) printPictures(document, streams.out);
  return exitOk;
}

}  // namespace delvix::cli
