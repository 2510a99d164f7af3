#include "cli/commands.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <vector>

#include "cli/add_command.h"
#include "cli/bash_completion.h"
#include "cli/browse_command.h"
#include "cli/cut_command.h"
#include "cli/export_command.h"
#include "cli/fields_command.h"
#include "cli/info_command.h"
#include "cli/json_output.h"
#include "cli/man_page.h"
#include "cli/save_commands.h"
#include "cli/set_command.h"
#include "cli/stderr_reporter.h"
#include "codecs/png_encode.h"
#include "formats/document_reader.h"
#include "formats/file_save.h"
#include "model/document.h"
#include "preview/thumbnail.h"
#include "save/output_name.h"

namespace delvix::cli {

namespace {

// Takes "--kinds=icons,cursors,bitmaps" (any of the three, "none" for none) out of `args` into
// `kinds`; false when the list names something else.
bool takeKindsOption(std::vector<std::string>& args, model::ResourceKinds& kinds) {
  constexpr std::string_view option = "--kinds=";
  auto it = std::find_if(args.begin(), args.end(), [&](const std::string& a) { return a.starts_with(option); });
  if (it == args.end()) return true;
  std::string list = it->substr(option.size()) + ",";
  args.erase(it);
  kinds = {false, false, false};
  for (std::size_t start = 0, end; (end = list.find(',', start)) != std::string::npos; start = end + 1) {
    std::string_view kind = std::string_view(list).substr(start, end - start);
    if (kind == "icons")
      kinds.icons = true;
    else if (kind == "cursors")
      kinds.cursors = true;
    else if (kind == "bitmaps")
      kinds.bitmaps = true;
    else if (kind != "none")
      return false;
  }
  return true;
}

// Takes "--json" out of `args`; true when it was there.
bool takeJsonOption(std::vector<std::string>& args) {
  auto it = std::find(args.begin(), args.end(), "--json");
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

bool printsJson(std::string_view verb) {
  return verb == "tree" || verb == "info" || verb == "browse" || verb == "extract" || verb == "export";
}

// Opens FILE into `document`; returns an exit code, exitOk when the reader succeeded.
int openDocument(const std::string& path, model::Document& document, Streams streams) {
  StderrReporter reporter(streams.err);
  switch (formats::readDocument(path, document, streams.settings, reporter)) {
    case formats::ReadOutcome::read: return exitOk;
    case formats::ReadOutcome::refused: return exitRefused;
    case formats::ReadOutcome::unsupportedKind: return exitRefused;
  }
  return exitRefused;
}

int printTree(std::span<const std::string> args, Streams streams) {
  model::Document document;
  int status = openDocument(args[0], document, streams);
  if (streams.json) {
    writeTreeJson(streams.out, document, args[0]);
    return status;
  }
  document.tree.forEach([&](const model::Node& node, int depth) {
    streams.out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << node.name() << '\n';
  });
  return status;
}

// Every picture's thumbnail as DIR/picture_N.png; a file that cannot be written is named with the reason,
// and the others are still written.
int writeThumbnails(std::span<const std::string> args, Streams streams) {
  model::Document document;
  int status = openDocument(args[0], document, streams);
  std::filesystem::path directory(args[1]);
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    streams.err << "delvix-cli: " << directory.string() << ": " << error.message() << '\n';
    return exitRefused;
  }
  for (std::size_t i = 0; i < document.pictures.size(); ++i) {
    auto target = directory / (save::pictureFileName(i + 1, document.pictures.size()) + ".png");
    auto png = codecs::encodePng(preview::makeThumbnail(document, static_cast<int>(i)));
    if (!png) {
      streams.err << "Could not write " << target.string() << ": the thumbnail could not be encoded\n";
      status = exitRefused;
    } else if (const bool existed = std::filesystem::exists(target, error);
               auto failure = formats::replaceFileContents(target, *png)) {
      streams.err << formats::failureText(target, *failure, existed) << '\n';
      status = exitRefused;
    }
  }
  return status;
}

constexpr std::array<Command, 12> table{{
    {"tree", "FILE [--json]", "print the structure tree, one node per line (or as JSON with every field table)", 1,
     printTree},
    {"thumbnails", "FILE DIR", "write each picture's thumbnail as DIR/picture_N.png", 2, writeThumbnails},
    {"fields", "FILE [NODE] [--show=...] [--edit=...] [--page=N|all]",
     "print NODE's field table (NODE a path like picture_1/bitm_info), or every node's", 0, printFields, true},
    {"set", setArguments, "change a field of NODE's table as Apply does and write the file as OUT", 5, setField},
    {"cut", cutArguments, "remove sample frames FROM to TO (from 0) of a PCM wave file and write it as OUT", 4,
     cutWaveFrames},
    {"add", addArguments, "add INFO items, rate, seq, fact or another file's image as Add chunk does, write OUT", 0,
     addChunks, true},
    {"remove", "FILE NODE OUT",
     "take out NODE (INFO list or item, fact, time, sequence, a kept chunk, a picture or frame), write OUT", 3,
     removeNode},
    {"info", "FILE [--json]", "print a file's main numbers (wave, animated cursor, icon, cursor, module)", 1,
     printInfo},
    {"save", "IN OUT", "write IN again as OUT, with the writer for OUT's extension", 2, saveDocument},
    {"extract", extractArguments,
     "write every picture of each FILE as its own file in DIR/NAME/ (NAME the file's name), however many files", 0,
     extractPictures, true},
    {"export", exportArguments,
     "write every picture of FILE as DIR/NAME/picture_N.png (or the format's): its own pixels and alpha (PNG, GIF), "
     "or as drawn (BMP, JPEG, --as-shown; --alpha through its alpha)",
     2, exportPictures, true},
    {"browse", browseArguments,
     "list DIR as the image browser (or the wave browser) does: a file a line, tab-separated", 0, browseFolder, true},
}};

}  // namespace

std::span<const Command> commands() { return table; }

void printUsage(std::ostream& out) {
  out << "usage: delvix-cli VERB ARGUMENTS\n\n";
  out << "  --kinds=LIST            with tree, thumbnails, info or export: the module resources to read\n"
         "                          (icons, cursors, bitmaps; comma-separated; all by default)\n"
         "  --show=table,color,mask with fields: list the values of colour tables, colour bitmaps, masks\n"
         "  --edit=table,data,fact  with fields: mark colour tables, pixels, the fact value editable\n"
         "  --page=N|all            with fields on a colour bitmap: the pixel table's page N (from 1), or all\n"
         "  --json                  with tree, info, browse, extract or export: one JSON document instead of text\n"
         "  --as-shown, --alpha     with export: the picture as the preview draws it on its key colour, plainly or\n"
         "                          through its alpha, instead of its own pixels and alpha\n"
         "  --zoom N                with export: each pixel an N x N square (1 to 10)\n"
         "  -                       as FILE (or IN): standard input, its kind taken from its first bytes\n";
  out << "  --version               the program's version\n"
         "  VERB --help             the verb's arguments and what it does\n"
         "  help --man              this text as the manual page delvix-cli(1), in roff\n"
         "  help --bash-completion  a bash completion script for delvix-cli\n\n";
  for (const Command& c : table) {
    std::string head = std::string(c.verb) + " " + std::string(c.arguments);
    // A long head takes a line of its own, with the summary under the others.
    out << "  " << head << (head.size() < 24 ? std::string(24 - head.size(), ' ') : "\n" + std::string(26, ' '))
        << c.summary << '\n';
  }
  out << "\nexit status: 0 done; 1 refused (a file that cannot be read or written, a value or part refused);\n"
         "2 a usage error\n";
}

int runCommandLine(std::span<const std::string> arguments, Streams streams) {
  std::vector<std::string> withoutOptions(arguments.begin(), arguments.end());
  if (!takeKindsOption(withoutOptions, streams.settings.resources)) {
    streams.err << "delvix-cli: --kinds takes icons, cursors, bitmaps or none, separated by commas\n";
    return exitUsage;
  }
  streams.json = takeJsonOption(withoutOptions);
  std::span<const std::string> args = withoutOptions;
  if (args.empty()) {
    printUsage(streams.err);
    return exitUsage;
  }
  if (args[0] == "help" && args.size() == 2 && args[1] == "--man") {
    printManPage(streams.out);
    return exitOk;
  }
  if (args[0] == "help" && args.size() == 2 && args[1] == "--bash-completion") {
    printBashCompletion(streams.out);
    return exitOk;
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    printUsage(streams.out);
    return exitOk;
  }
  if (args[0] == "--version") {
    streams.out << "delvix-cli " << DELVIX_VERSION << '\n';
    return exitOk;
  }
  for (const Command& c : table) {
    if (c.verb != args[0]) continue;
    if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
      streams.out << "usage: delvix-cli " << c.verb << ' ' << c.arguments << "\n\n" << c.summary << '\n';
      return exitOk;
    }
    if (streams.json && !printsJson(c.verb)) {
      streams.err << "delvix-cli: --json goes with tree, info, browse, extract and export\n";
      return exitUsage;
    }
    if (!c.takesOptions && args.size() - 1 != c.argumentCount) {
      streams.err << "usage: delvix-cli " << c.verb << ' ' << c.arguments << '\n';
      return exitUsage;
    }
    return c.run(args.subspan(1), streams);
  }
  streams.err << "delvix-cli: unknown verb '" << args[0] << "'\n";
  printUsage(streams.err);
  return exitUsage;
}

}  // namespace delvix::cli
