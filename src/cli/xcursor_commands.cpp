#include "cli/xcursor_commands.h"

#include <charconv>
#include <filesystem>
#include <ostream>

#include "cli/deliver_bytes.h"
#include "cli/json_output.h"
#include "cli/stderr_reporter.h"
#include "convert/xcursor_conversion.h"
#include "formats/document_reader.h"
#include "formats/file_content.h"
#include "formats/file_save.h"
#include "formats/standard_input.h"

namespace delvix::cli {

namespace {

namespace fs = std::filesystem;
namespace xc = formats::xcursor;

std::string lowerExtension(const std::string& path) {
  std::string extension = fs::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

// The bytes go to OUT through the safe save, or to standard output for "-".
int deliver(const std::string& target, std::vector<std::uint8_t> bytes, Streams streams, formats::Reporter& reporter) {
  if (target != formats::standardInputName) reporter.log("saving of file: " + target);
  return deliverBytes(target, std::move(bytes), streams, reporter);
}

nlohmann::json imagesJson(const std::vector<const xc::ImageChunk*>& images) {
  nlohmann::json list = nlohmann::json::array();
  for (const xc::ImageChunk* image : images)
    list.push_back({{"size", image->nominalSize},
                    {"width", image->width},
                    {"height", image->height},
                    {"xhot", image->xHot},
                    {"yhot", image->yHot},
                    {"delay", image->delay}});
  return list;
}

// The sizes of --sizes=32,48,64; nullopt when an item is no whole number from 1.
std::optional<std::vector<std::uint32_t>> sizesOf(const std::string& list) {
  std::vector<std::uint32_t> sizes;
  for (const std::string& item : listItems(list)) {
    std::uint32_t size = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), size);
    if (error != std::errc{} || end != item.data() + item.size() || size == 0) return std::nullopt;
    sizes.push_back(size);
  }
  return sizes;
}

}  // namespace

int convertToXcursor(const Invocation& call, Streams streams) {
  const std::string& source = call.operands[0];
  const std::string& target = call.operands[1];
  StderrReporter reporter(streams.err, source);
  model::Document document;
  if (formats::readDocument(source, document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  convert::ToXcursorOptions options;
  if (call.value("inverted") == "transparent") options.inverted = convert::InvertedPixels::transparent;
  const auto file = convert::xcursorFromDocument(document, options, reporter);
  if (!file) return exitRefused;
  if (const int status = deliver(target, xc::writeXcursor(*file), streams, reporter); status != exitOk) return status;
  if (streams.json)
    writeJson(streams.out, {{"file", source}, {"output", target}, {"images", imagesJson(xc::imagesOf(*file))}});
  return exitOk;
}

int convertToWindowsCursor(const Invocation& call, Streams streams) {
  const std::string& source = call.operands[0];
  const std::string& target = call.operands[1];
  const std::string extension = lowerExtension(target);
  if (target != formats::standardInputName && extension != ".cur" && extension != ".ani") {
    streams.err << "delvix-cli: " << target << ": a Windows cursor is written as .cur or .ani\n";
    return exitUsage;
  }
  convert::ToWindowsOptions options;
  if (const auto list = call.value("sizes")) {
    const auto sizes = sizesOf(*list);
    if (!sizes) {
      streams.err << "delvix-cli: --sizes takes sizes in pixels separated by commas (32,48,64), not " << *list << '\n';
      return exitUsage;
    }
    options.sizes = *sizes;
  }
  StderrReporter reporter(streams.err, source);
  std::string whyNot;
  std::shared_ptr<const formats::FileContent> content;
  if (source == formats::standardInputName) {
    content = formats::standardInput(&whyNot);
  } else if (auto read = formats::FileContent::read(source, &whyNot)) {
    content = std::make_shared<const formats::FileContent>(std::move(*read));
  }
  if (!content) {
    reporter.log(whyNot);
    return exitRefused;
  }
  if (!xc::isXcursor(content->bytes())) {
    reporter.log("this is no X cursor file (they begin with \"Xcur\").");
    return exitRefused;
  }
  xc::XcursorFile file;
  if (!xc::readXcursor(content->bytes(), file, reporter)) return exitRefused;
  auto cursor = convert::windowsCursorFromXcursor(file, options, reporter);
  if (!cursor) return exitRefused;
  if (target != formats::standardInputName && (extension == ".ani") != cursor->animated) {
    reporter.log(cursor->animated ? "the cursor is animated: it is written as .ani, not as " + extension
                                  : "the cursor is not animated: it is written as .cur, not as " + extension);
    return exitRefused;
  }
  if (const int status = deliver(target, std::move(cursor->bytes), streams, reporter); status != exitOk) return status;
  if (streams.json) writeJson(streams.out, {{"file", source}, {"output", target}, {"animated", cursor->animated}});
  return exitOk;
}

}  // namespace delvix::cli
