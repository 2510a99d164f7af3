#pragma once
// What the fuzz targets share: reading bytes as the kind they start with, writing a document as a save
// would, and comparing two trees.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/file_save.h"
#include "formats/reporter.h"
#include "model/document.h"

namespace delvix::fuzz {

using Bytes = std::span<const std::uint8_t>;

// The kind a file's first bytes name: "RIFF....ACON" an animated cursor, "RIFF"/"RIFX"/"RF64" with "WAVE" a
// wave file, "MZ" a module; anything else is read as an icon or cursor file.
model::FileKind kindOf(Bytes file);

// Reads `file` as `kind` with every value shown (as the set command reads), into an empty document.
bool readAs(model::FileKind kind, Bytes file, model::Document& document, formats::Reporter& reporter);

// The file a save of `document` writes (icon and cursor files keep the kind their header says).
formats::WrittenFile writeAsSaved(const model::Document& document);

// The first difference between two trees, node by node: the names and the depths. A picture kept undecoded
// ("image_data") on either side is compared without its parts: whether a picture is decoded depends on the
// file's size, which a save changes.
std::string treeDifference(const model::Tree& expected, const model::Tree& actual);

// Writes `bytes` to the file DELVIX_FUZZ_SAVED names, when it is set, to look at what a finding saved.
void keepSaved(Bytes bytes);

// What differs between the pictures of a written document and of the file read back (their number, the
// pixels of a thumbnail that is no placeholder on either side); empty when nothing does.
std::string pictureDifference(const model::Document& written, const model::Document& read);

// Whether an animation read back has the written one's steps, when a "seq " chunk was written, and one rate a
// step: the written rates, the display rate for steps the table lacked.
bool sameAnimation(const model::Document& written, const model::Document& read);

// How many pictures of the tree are kept undecoded ("image_data").
std::size_t undecodedPictures(const model::Tree& tree);

// "N steps and M rates", to say how an animation differs.
std::string stepsAndRates(const model::AniState& ani);

// Prints the tree's names, indented by depth, to standard error.
void printTree(const model::Tree& tree);

// Stops the run with `what` on standard error, so the finding says which check failed.
[[noreturn]] void fail(const std::string& what);

}  // namespace delvix::fuzz
