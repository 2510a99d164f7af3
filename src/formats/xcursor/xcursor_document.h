#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "formats/byte_reader.h"
#include "formats/file_save.h"
#include "formats/reporter.h"
#include "formats/xcursor/xcursor_file.h"
#include "model/document.h"

// An X cursor file as a structure tree. Each node holds the bytes of its part as the file holds them:
//   "Xcur_header"        the file header (magic, header size, version, chunk count) and its kept tail;
//   "table_of_contents"  the entries as read (type, subtype, position), 12 bytes each;
//   "picture_" n         an image chunk's header (36 bytes and its kept tail), with "pixels" (width x height
//                        premultiplied ARGB u32s) as a child; pictures are numbered grouped by nominal size;
//   "comment_" n         a comment chunk's header and its text;
//   "kept_chunk_" n      a chunk this program does not read, as found;
//   "gap_data"           (a child of a chunk's node) bytes between the previous chunk and this one;
//   "trailing_data"      bytes after the last chunk.
// The chunk nodes stand in table-of-contents order. Sizes and positions are listed as read; the writer
// computes them from what it writes.
namespace delvix::formats::xcursor {

inline constexpr std::string_view headerNode = "Xcur_header";
inline constexpr std::string_view tableNode = "table_of_contents";
inline constexpr std::string_view pixelsNode = "pixels";
inline constexpr std::string_view commentPrefix = "comment_";
inline constexpr std::string_view keptPrefix = "kept_chunk_";
inline constexpr std::string_view gapNode = "gap_data";

// Byte offsets of an image chunk header's fields.
namespace imageField {
inline constexpr std::size_t nominalSize = 8, version = 12, width = 16, height = 20, xHot = 24, yHot = 28, delay = 32;
}
// Byte offsets of a comment chunk header's fields.
namespace commentField {
inline constexpr std::size_t kind = 8, version = 12, length = 16;
}

// Reads an X cursor file into an empty document. Returns false when it is no X cursor file or not all of it
// could be read; what was read stays either way.
bool readXcursorDocument(Bytes file, model::Document& document, Reporter& reporter);
bool readXcursorDocument(const std::filesystem::path& path, model::Document& document, Reporter& reporter);

// The file the document's tree describes.
XcursorFile xcursorFileOf(const model::Document& document);
// The file's bytes; incomplete when the file was not read whole.
WrittenFile writeXcursorDocument(const model::Document& document);
bool saveXcursorFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter);

// Whether `node` is the node of a chunk (a picture, comment or kept chunk) of an X cursor document.
bool isChunkNode(const model::Document& document, const model::Node& node);
// The chunk's position in the table of contents (the chunk nodes before it), or nullopt for other nodes.
std::optional<std::size_t> chunkIndexOf(const model::Document& document, const model::Node& node);

// The image chunk a "picture_" n node holds (without its pixels when `withPixels` is false); nullopt when its
// header is cut short.
std::optional<ImageChunk> imageOf(const model::Node& picture, bool withPixels = true);

// The picture drawn with straight alpha, or an empty image.
gfx::Image xcursorPicture(const model::Document& document, int index);

// A picture's nominal size and delay, for the player and the thumbnail list.
struct PictureTiming {
  std::uint32_t nominalSize = 0;
  std::uint32_t delay = 0;
};
std::optional<PictureTiming> timingOf(const model::Document& document, int index);
// The pictures (zero-based) of nominal size `nominalSize`, in file order: the frames of its animation.
std::vector<int> picturesOfSize(const model::Document& document, std::uint32_t nominalSize);

}  // namespace delvix::formats::xcursor
