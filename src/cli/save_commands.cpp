#include "cli/save_commands.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "cli/batch.h"
#include "cli/stderr_reporter.h"
#include "formats/ani_writer.h"
#include "formats/bmp_file.h"
#include "formats/document_reader.h"
#include "formats/file_content.h"
#include "formats/ico_writer.h"
#include "formats/icon_group_writer.h"
#include "formats/le_bytes.h"
#include "formats/module_context.h"
#include "formats/one_image_writer.h"
#include "formats/pe/resource_directory.h"
#include "formats/standard_input.h"
#include "formats/wav_writer.h"
#include "formats/xcursor/xcursor_document.h"
#include "model/document.h"
#include "save/output_name.h"

namespace delvix::cli {

namespace {

namespace fs = std::filesystem;

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Reads IN; exitOk when the reader succeeded.
int open(const std::string& path, model::Document& document, const Streams& streams, formats::Reporter& reporter) {
  return formats::readDocument(path, document, streams.settings, reporter) == formats::ReadOutcome::read ? exitOk
                                                                                                         : exitRefused;
}

// A resource name made safe as a file name: letters, digits, '.', '-' and '_' stay, the rest become '_'.
std::string safeFileName(const std::string& name) {
  std::string safe;
  for (unsigned char c : name) safe += std::isalnum(c) || c == '.' || c == '-' || c == '_' ? static_cast<char>(c) : '_';
  if (safe.empty() || safe.front() == '.') safe.insert(safe.begin(), '_');
  return safe;
}

enum class ResourceKind { icon, cursor, bitmap, other };

ResourceKind kindOf(const model::Node& node) {
  const std::string& name = node.name();
  if (name.find(" [Icon_") != std::string::npos) return ResourceKind::icon;
  if (name.find(" [Cursor_") != std::string::npos) return ResourceKind::cursor;
  if (name.find(" [Bitmap_") != std::string::npos) return ResourceKind::bitmap;
  return ResourceKind::other;
}

// Every icon group as NAME.ico, every cursor group as NAME.cur, every bitmap as NAME.bmp; a resource's languages
// after its first as NAME_LANG.ico and so on.
int extractModule(const std::string& modulePath, const model::Document& document, const fs::path& directory,
                  formats::Reporter& reporter, WrittenFiles& written) {
  // The bitmaps are written from the module's own bytes; the file is read again only when there are any.
  bool opened = false;
  std::shared_ptr<const formats::FileContent> content;
  std::optional<formats::pe::PeImage> image;
  std::optional<formats::pe::ResourceDirectory> resources;
  auto openResources = [&] {
    if (opened) return;
    opened = true;
    if (modulePath == formats::standardInputName) {
      content = formats::standardInput();
    } else if (auto read = formats::FileContent::read(modulePath)) {
      content = std::make_shared<const formats::FileContent>(std::move(*read));
    }
    if (content) image = formats::pe::PeImage::parse(content->bytes());
    if (image) resources = formats::pe::ResourceDirectory::open(*image);
  };
  bool allSaved = true;
  for (std::size_t i = 0; i < document.tree.topLevelCount(); ++i) {
    const model::Node& node = document.tree.topLevel(i);
    ResourceKind kind = kindOf(node);
    if (kind == ResourceKind::other || !node.resourceName()) continue;
    // Every language of a resource is written: the first under the resource's name, the others with "_LANG".
    const formats::pe::ResourceLanguage language = formats::module::languageOf(node);
    std::string base =
        safeFileName(formats::module::displayName(*node.resourceName()) + formats::module::languageSuffix(language));
    if (kind == ResourceKind::bitmap) {
      openResources();
      if (!resources) continue;
      auto data = resources->find(formats::pe::rtBitmap, *node.resourceName(), language);
      auto file =
          data.status == formats::pe::LookupStatus::found ? formats::bmpFileFromPackedBitmap(data.bytes) : std::nullopt;
      if (!file) {
        reporter.log(node.name() + ": the bitmap could not be extracted.");
        allSaved = false;
        continue;
      }
      fs::path target = directory / (base + ".bmp");
      reporter.log("file for saving: " + target.string());
      const bool saved = formats::deliverFile(target, {*file}, "Could not open this file.", reporter);
      if (saved) written.push_back(target);
      allSaved &= saved;
      continue;
    }
    fs::path target = directory / (base + (kind == ResourceKind::icon ? ".ico" : ".cur"));
    reporter.log("saving of file: " + target.string());
    const bool saved = formats::saveIconGroup(document, &node, target, reporter);
    if (saved) written.push_back(target);
    allSaved &= saved;
  }
  return allSaved ? exitOk : exitRefused;
}

}  // namespace

namespace {

// The document as the writer of its own kind makes it, onto standard output.
int writeToStandardOutput(const model::Document& document, Streams streams, formats::Reporter& reporter) {
  formats::WrittenFile file;
  switch (document.kind) {
    case model::FileKind::iconFile: file = formats::writeIconFile(document, formats::headerKind(document)); break;
    case model::FileKind::animatedCursor: file = formats::writeAniFile(document); break;
    case model::FileKind::wave: file = formats::writeWaveFile(document); break;
    case model::FileKind::xcursor: file = formats::xcursor::writeXcursorDocument(document); break;
    default: return exitUsage;
  }
  if (!file.complete) {
    reporter.error(formats::onlyPartSaved);
    return exitRefused;
  }
  std::ostream& out = streams.fileOutput ? *streams.fileOutput : streams.out;
  const std::span<const std::uint8_t> own = file.bytes;
  std::size_t done = 0;
  auto put = [&](std::span<const std::uint8_t> bytes) {
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  for (const formats::Inset& inset : file.insets) {
    const std::size_t offset = std::clamp(inset.offset, done, own.size());
    put(own.subspan(done, offset - done));
    put(inset.data);
    done = offset;
  }
  put(own.subspan(done));
  out.flush();
  if (!out) {
    streams.err << "delvix-cli: standard output: write error\n";
    return exitRefused;
  }
  return exitOk;
}

}  // namespace

int saveDocument(const Invocation& call, Streams streams) {
  const std::vector<std::string>& args = call.operands;
  StderrReporter reporter(streams.err, args[0]);
  model::Document document;
  if (open(args[0], document, streams, reporter) != exitOk) return exitRefused;
  return saveOpenDocument(args[0], document, args[1], streams, reporter);
}

namespace {

// Whether a document of `kind` is written as a file whose extension is `extension` (lower case).
bool savedAs(model::FileKind kind, const std::string& extension) {
  switch (kind) {
    case model::FileKind::iconFile: return extension == ".ico" || extension == ".cur";
    case model::FileKind::animatedCursor: return extension == ".ani";
    case model::FileKind::wave: return extension == ".wav";
    case model::FileKind::module: return true;   // saved as a folder of its groups
    case model::FileKind::xcursor: return true;  // X cursor files go by their content, not their names
    default: return false;
  }
}

}  // namespace

int checkSaveTarget(const std::string& source, const model::Document& document, const std::string& target,
                    Streams streams) {
  if (target == formats::standardInputName) {
    if (document.kind != model::FileKind::module) return exitOk;
    streams.err << "delvix-cli: " << source
                << ": a module is saved as a folder of its groups, not to standard output\n";
    return exitUsage;
  }
  const std::string extension = lower(fs::path(target).extension().string());
  if (savedAs(document.kind, extension)) return exitOk;
  streams.err << "delvix-cli: cannot save " << fs::path(source).filename().string() << " as "
              << (extension.empty() ? "a file without extension" : extension) << '\n';
  return exitUsage;
}

int saveOpenDocument(const std::string& source, const model::Document& document, const std::string& targetPath,
                     Streams streams, formats::Reporter& reporter) {
  if (const int status = checkSaveTarget(source, document, targetPath, streams); status != exitOk) return status;
  if (targetPath == formats::standardInputName) return writeToStandardOutput(document, streams, reporter);
  const fs::path target(targetPath);
  std::error_code error;
  switch (document.kind) {
    case model::FileKind::iconFile:
      reporter.log("saving of file: " + target.string());
      return formats::saveIconFile(document, target, reporter) ? exitOk : exitRefused;
    case model::FileKind::animatedCursor:
      reporter.log("saving of file: " + target.string());
      return formats::saveAniFile(document, target, reporter) ? exitOk : exitRefused;
    case model::FileKind::wave:
      reporter.log("saving of file: " + target.string());
      return formats::saveWaveFile(document, target, reporter) ? exitOk : exitRefused;
    case model::FileKind::xcursor:
      reporter.log("saving of file: " + target.string());
      return formats::xcursor::saveXcursorFile(document, target, reporter) ? exitOk : exitRefused;
    case model::FileKind::module: {
      // Saving a module means saving each of its groups: into OUT as a folder.
      if (std::filesystem::create_directories(target, error); error) {
        streams.err << "delvix-cli: " << target.string() << ": " << error.message() << '\n';
        return exitRefused;
      }
      WrittenFiles written;
      return extractModule(source, document, target, reporter, written);
    }
    default: return exitUsage;
  }
}

namespace {

// Whether the pictures of an icon or cursor file are cursors: as its directory's type says (2 for cursors), or
// when that was not read, as its extension does.
bool holdsCursors(const std::string& file) {
  if (file != formats::standardInputName) {
    const auto content = formats::chooseFileKind(file).content;
    if (content == formats::ContentKind::icon || content == formats::ContentKind::cursor)
      return content == formats::ContentKind::cursor;
    return lower(fs::path(file).extension().string()) != ".ico";
  }
  const auto content = formats::standardInput();
  return content && content->size() >= 4 && formats::le16(*content, 2) == 2;
}

// Every picture of one file as its own file in `directory`.
int extractFile(const std::string& file, const fs::path& directory, Streams streams, WrittenFiles& written) {
  StderrReporter reporter(streams.err, file);
  model::Document document;
  if (open(file, document, streams, reporter) != exitOk) return exitRefused;
  std::error_code error;
  if (fs::create_directories(directory, error); error) {
    streams.err << "delvix-cli: " << directory.string() << ": " << error.message() << '\n';
    return exitRefused;
  }

  if (document.kind == model::FileKind::module) return extractModule(file, document, directory, reporter, written);

  bool allSaved = true;
  const bool cursors = holdsCursors(file);
  // Over the pictures read: a count from the file could name billions that are not there.
  for (int index = 0; index < static_cast<int>(document.pictures.size()); ++index) {
    const model::Node* picture = formats::findPicture(document, index);
    if (!picture) continue;
    fs::path target =
        directory / (save::pictureFileName(static_cast<std::size_t>(index) + 1, document.pictures.size()) +
                     (cursors ? ".cur" : ".ico"));
    reporter.log("file for saving: " + target.string());
    const bool saved = formats::saveOneImage(document, *picture, target, reporter);
    if (saved) written.push_back(target);
    allSaved &= saved;
  }
  return allSaved ? exitOk : exitRefused;
}

}  // namespace

int extractPictures(const Invocation& call, Streams streams) {
  BatchArguments batch;
  batch.recursive = call.has("recursive");
  batch.inputs.assign(call.operands.begin(), call.operands.end() - 1);
  batch.target = call.operands.back();
  return runBatch(batch, streams, [&](const fs::path& file, const fs::path& folder, WrittenFiles& written) {
    return extractFile(file.string(), folder, streams, written);
  });
}

}  // namespace delvix::cli
