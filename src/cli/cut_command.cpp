#include "cli/cut_command.h"

#include <charconv>
#include <optional>
#include <ostream>

#include "cli/save_commands.h"
#include "cli/stderr_reporter.h"
#include "formats/document_reader.h"
#include "wave/sample_cut.h"

namespace delvix::cli {

namespace {

std::optional<std::uint64_t> frameNumber(const std::string& text) {
  std::uint64_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

}  // namespace

int cutWaveFrames(const Invocation& call, Streams streams) {
  const std::vector<std::string>& args = call.operands;
  if (args.size() != 4) {
    streams.err << "delvix-cli: cut: needs FILE FROM TO OUT (or -o OUT)\nTry 'delvix-cli cut --help' for its "
                   "operands and options.\n";
    return exitUsage;
  }
  const auto from = frameNumber(args[1]), to = frameNumber(args[2]);
  if (!from || !to) {
    streams.err << "delvix-cli: FROM and TO are sample frame numbers, from 0\n";
    return exitUsage;
  }
  StderrReporter reporter(streams.err, args[0]);
  model::Document document;
  if (formats::readDocument(args[0], document, streams.settings, reporter) != formats::ReadOutcome::read)
    return exitRefused;
  if (document.kind != model::FileKind::wave) {
    reporter.log("not a wave file: only the samples of a wave file are cut");
    return exitRefused;
  }
  if (const std::string refusal = wave::cutRefusal(document.wave); !refusal.empty()) {
    reporter.log(refusal);
    return exitRefused;
  }
  if (const int status = checkSaveTarget(args[0], document, args[3], streams); status != exitOk) return status;
  const std::uint64_t frames = wave::frameCountOf(document.wave);
  if (!wave::cutFrames(document, *from, *to)) {
    reporter.log("frames " + std::to_string(*from) + " to " + std::to_string(*to) + " are not a range of its " +
                 std::to_string(frames) + " frames");
    return exitRefused;
  }
  streams.out << "frames removed\t" << (*to - *from + 1) << '\n' << document.statusText.substr(1) << '\n';
  return saveOpenDocument(args[0], document, args[3], streams, reporter);
}

}  // namespace delvix::cli
