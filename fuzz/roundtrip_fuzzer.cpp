// Reads arbitrary bytes as the kind they start with, writes the document as a save would and reads the
// result back: it must read, with the same tree, pictures, animation and samples, and writing it again must
// give the same bytes; an icon file converted to a cursor (or back) keeps its pictures. A module's icon and cursor
// groups are written as files and read back whole.
#include <cstddef>
#include <cstdint>

#include "formats/ico_reader.h"
#include "formats/ico_writer.h"
#include "formats/icon_group_writer.h"
#include "fuzz_support.h"

using namespace delvix;

namespace {

void checkModuleGroups(const model::Document& module) {
  for (std::size_t i = 0; i < module.tree.topLevelCount(); ++i) {
    const model::Node& group = module.tree.topLevel(i);
    const bool cursor = group.name().find(" [Cursor_") != std::string::npos;
    if (!group.resourceName() || (!cursor && group.name().find(" [Icon_") == std::string::npos)) continue;
    const formats::WrittenFile written =
        formats::writeIconGroup(group, cursor ? formats::IconKind::cursor : formats::IconKind::icon);
    if (!written.complete || written.bytes.size() < 6) continue;
    model::Document file;
    formats::RecordingReporter reporter;
    if (!fuzz::readAs(model::FileKind::iconFile, written.bytes, file, reporter))
      fuzz::fail(group.name() + " written as a file does not read back");
    const std::size_t entries = written.bytes[4] | written.bytes[5] << 8;
    if (file.pictures.size() != entries)
      fuzz::fail(group.name() + ": " + std::to_string(entries) + " entries read back as " +
                 std::to_string(file.pictures.size()) + " pictures");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::Bytes input(data, size);
  const model::FileKind kind = fuzz::kindOf(input);
  model::Document document;
  formats::RecordingReporter reporter;
  if (!fuzz::readAs(kind, input, document, reporter)) return 0;
  if (kind == model::FileKind::module) {
    checkModuleGroups(document);
    return 0;
  }
  const formats::WrittenFile written = fuzz::writeAsSaved(document);
  if (!written.complete) return 0;
  const std::vector<std::uint8_t> first = written.joined();
  fuzz::keepSaved(first);
  model::Document again;
  if (!fuzz::readAs(kind, first, again, reporter)) fuzz::fail("the written file does not read back");
  if (const std::string difference = fuzz::treeDifference(document.tree, again.tree); !difference.empty())
    fuzz::fail("read back: " + difference);
  if (const std::string difference = fuzz::pictureDifference(document, again); !difference.empty())
    fuzz::fail(difference);
  if (!fuzz::sameAnimation(document, again))
    fuzz::fail(fuzz::stepsAndRates(document.ani) + " read back as " + fuzz::stepsAndRates(again.ani));
  if (!(document.wave.format == again.wave.format) || !(document.wave.samples == again.wave.samples))
    fuzz::fail(std::to_string(document.wave.samples.size()) + " bytes of sound read back as " +
               std::to_string(again.wave.samples.size()) +
               (document.wave.format == again.wave.format ? "" : " in another format"));
  // A short picture kept undecoded may be decoded (its missing rows as zeros) once the file around it has grown,
  // and is then written whole: the bytes settle on the next save.
  if (fuzz::writeAsSaved(again).joined() != first &&
      fuzz::undecodedPictures(document.tree) == fuzz::undecodedPictures(again.tree))
    fuzz::fail("writing what was read back gives other bytes");
  // An icon file saved as a cursor, or a cursor file as an icon, keeps its pictures.
  if (kind == model::FileKind::iconFile) {
    const bool cursor = formats::headerKind(document) == formats::IconKind::cursor;
    const formats::WrittenFile converted =
        formats::writeIconFile(document, cursor ? formats::IconKind::icon : formats::IconKind::cursor);
    model::Document other;
    if (converted.complete && !fuzz::readAs(kind, converted.bytes, other, reporter))
      fuzz::fail("the file converted to the other kind does not read back");
    if (const std::string difference = fuzz::pictureDifference(document, other);
        converted.complete && !difference.empty())
      fuzz::fail("converted to the other kind: " + difference);
  }
  return 0;
}
