#include "cli/module_resource_commands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <ostream>

#include "cli/deliver_bytes.h"
#include "cli/json_output.h"
#include "cli/stderr_reporter.h"
#include "formats/content_kind.h"
#include "formats/file_content.h"
#include "formats/file_save.h"
#include "formats/pe/module_rewriter.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/resource_changes.h"
#include "formats/standard_input.h"

namespace delvix::cli {

namespace {

namespace pe = formats::pe;

enum class Action { set, add, remove };

struct TypeWord {
  std::string_view word;
  pe::ResourceKind kind;
};
// The words of --type, as its choices in the verb table list them.
constexpr std::array typeWords{
    TypeWord{"icon", pe::ResourceKind::iconGroup},
    TypeWord{"cursor", pe::ResourceKind::cursorGroup},
    TypeWord{"anicursor", pe::ResourceKind::animatedCursor},
    TypeWord{"aniicon", pe::ResourceKind::animatedIcon},
    TypeWord{"bitmap", pe::ResourceKind::bitmap},
};

constexpr std::array moduleVerbs{"set-icon", "set-cursor", "set-bitmap", "add-resource", "remove-resource"};

int usageError(std::string_view verb, std::string_view what, Streams streams) {
  streams.err << "delvix-cli: " << verb << ": " << what << "\nTry 'delvix-cli " << verb
              << " --help' for its operands and options.\n";
  return exitUsage;
}

// The whole content of `path`, or of standard input for "-".
std::shared_ptr<const formats::FileContent> readInput(const std::string& path, std::string& whyNot) {
  if (path == formats::standardInputName) return formats::standardInput(&whyNot);
  auto content = formats::FileContent::read(path, &whyNot);
  return content ? std::make_shared<const formats::FileContent>(std::move(*content)) : nullptr;
}

std::optional<std::uint32_t> languageOf(const std::string& text) {
  std::uint32_t language = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), language);
  if (error != std::errc{} || end != text.data() + text.size() || language > 0xFFFF) return std::nullopt;
  return language;
}

std::string capitalized(std::string_view words) {
  std::string text(words);
  if (!text.empty()) text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

// "Icon group 1 (language 1033) replaced: 7 pictures."
std::string changeText(const pe::ChangeOutcome& outcome, Action action) {
  const bool group = outcome.kind == pe::ResourceKind::iconGroup || outcome.kind == pe::ResourceKind::cursorGroup;
  std::string text = capitalized(pe::kindInWords(outcome.kind)) + " " + pe::resourceIdText(outcome.name);
  if (action == Action::remove && outcome.languages.size() > 1) {
    std::string languages;
    for (const std::uint32_t language : outcome.languages)
      languages += (languages.empty() ? "" : ", ") + std::to_string(language);
    text += " (languages " + languages + ")";
  } else {
    text += " (language " + std::to_string(outcome.language) + ")";
  }
  const auto pictures = [&] {
    return std::to_string(outcome.pictures) + (outcome.pictures == 1 ? " picture" : " pictures");
  };
  if (action == Action::remove) return text + " removed" + (group ? ", with " + pictures() : std::string()) + ".";
  return text + (outcome.added ? " added" : " replaced") + (group ? ": " + pictures() : std::string()) + ".";
}

nlohmann::json changeJson(const pe::ChangeOutcome& outcome, Action action, const std::string& module,
                          const std::string& output, const std::vector<std::string>& notes) {
  nlohmann::json name = outcome.name.isName() ? nlohmann::json(pe::resourceIdText(outcome.name))
                                              : nlohmann::json(std::get<std::uint32_t>(outcome.name.value));
  const std::string_view change = action == Action::remove ? "removed" : outcome.added ? "added" : "replaced";
  std::vector<std::uint32_t> languages = outcome.languages;
  if (languages.empty()) languages.push_back(outcome.language);
  return {{"file", module},
          {"output", output},
          {"change", change},
          {"kind", pe::kindInWords(outcome.kind)},
          {"name", name},
          {"languages", languages},
          {"pictures", outcome.pictures},
          {"notes", notes}};
}

// Reads the module, makes the change, lays out its resources again and writes it as the last operand.
int changeModule(const Invocation& call, Streams streams, std::string_view verb, Action action,
                 std::optional<pe::ResourceKind> kind, std::string_view nameOption) {
  pe::ResourceTarget target;
  if (const auto name = call.value(nameOption)) {
    if (name->empty()) return usageError(verb, "--" + std::string(nameOption) + " needs a name or a number", streams);
    target.name = pe::resourceIdFromText(*name);
  }
  if (const auto language = call.value("lang")) {
    target.language = languageOf(*language);
    if (!target.language)
      return usageError(
          verb, "--lang takes a language number from 0 to 65535 (1033 for English, United States), not " + *language,
          streams);
  }
  if (const auto type = call.value("type")) kind = std::ranges::find(typeWords, *type, &TypeWord::word)->kind;
  if (action == Action::remove && (!kind || !target.name))
    return usageError(verb, "--type and --name say which resource to remove", streams);
  const std::string& modulePath = call.operands.front();
  const std::string& output = call.operands.back();
  if (action != Action::remove && modulePath == formats::standardInputName &&
      call.operands[1] == formats::standardInputName)
    return usageError(verb, "standard input can stand for MODULE or for FILE, not both", streams);

  StderrReporter reporter(streams.err, modulePath);
  std::string whyNot;
  const auto module = readInput(modulePath, whyNot);
  if (!module) {
    reporter.log(whyNot);
    return exitRefused;
  }
  const auto image = pe::PeImage::parse(module->bytes(), whyNot);
  if (!image) {
    reporter.log(whyNot.empty() ? "this is no PE32 or PE32+ module." : whyNot);
    return exitRefused;
  }
  auto resources = pe::readResourceTree(*image, whyNot);
  if (!resources) {
    reporter.log(whyNot);
    return exitRefused;
  }

  std::optional<pe::ChangeOutcome> outcome;
  if (action == Action::remove) {
    outcome = pe::removeResource(*resources, *kind, target, whyNot);
  } else {
    const std::string& filePath = call.operands[1];
    StderrReporter fileReporter(streams.err, filePath);
    const auto file = readInput(filePath, whyNot);
    if (!file) {
      fileReporter.log(whyNot);
      return exitRefused;
    }
    // The content decides; an extension that says otherwise is named.
    const formats::Bytes fileBytes = file->bytes();
    const auto choice =
        formats::chooseFileKind(fileBytes.first(std::min(fileBytes.size(), formats::kindTellingBytes)), filePath);
    if (!choice.mismatch.empty()) fileReporter.log(choice.mismatch);
    kind = pe::kindToPut(kind, file->bytes(), whyNot);
    if (!kind) {
      fileReporter.log(whyNot);
      return exitRefused;
    }
    outcome = action == Action::set ? pe::setResource(*resources, *kind, file->bytes(), target, whyNot)
                                    : pe::addResource(*resources, *kind, file->bytes(), target, whyNot);
  }
  if (!outcome) {
    reporter.log(whyNot);
    return exitRefused;
  }

  const bool strip = call.has("strip-signature");
  if (!strip && pe::isSigned(*image)) {
    reporter.log(
        "the module is signed, and a change would break its signature; --strip-signature removes the signature "
        "and makes the change.");
    return exitRefused;
  }
  auto rewritten = pe::rewriteResources(module->bytes(), *resources, {strip}, whyNot);
  if (!rewritten) {
    reporter.log(whyNot);
    return exitRefused;
  }
  if (const int status = deliverBytes(output, std::move(rewritten->bytes), streams, reporter); status != exitOk)
    return status;

  std::vector<std::string> notes = outcome->notes;
  notes.insert(notes.end(), rewritten->notes.begin(), rewritten->notes.end());
  if (streams.json) {
    writeJson(streams.out, changeJson(*outcome, action, modulePath, output, notes));
  } else {
    streams.out << changeText(*outcome, action) << '\n';
    for (const std::string& note : notes) streams.out << note << '\n';
  }
  return exitOk;
}

}  // namespace

int setModuleIcon(const Invocation& call, Streams streams) {
  return changeModule(call, streams, "set-icon", Action::set, pe::ResourceKind::iconGroup, "group");
}

int setModuleCursor(const Invocation& call, Streams streams) {
  return changeModule(call, streams, "set-cursor", Action::set, pe::ResourceKind::cursorGroup, "name");
}

int setModuleBitmap(const Invocation& call, Streams streams) {
  return changeModule(call, streams, "set-bitmap", Action::set, pe::ResourceKind::bitmap, "name");
}

int addModuleResource(const Invocation& call, Streams streams) {
  return changeModule(call, streams, "add-resource", Action::add, std::nullopt, "name");
}

int removeModuleResource(const Invocation& call, Streams streams) {
  return changeModule(call, streams, "remove-resource", Action::remove, std::nullopt, "name");
}

bool writesModule(std::string_view verb) { return std::ranges::find(moduleVerbs, verb) != moduleVerbs.end(); }

}  // namespace delvix::cli
