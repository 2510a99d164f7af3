#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "formats/byte_reader.h"
#include "formats/reporter.h"
#include "gfx/image.h"

// X11 cursor files ("Xcur"): a file header, a table of contents, and image and comment chunks. Everything a
// file holds is kept, so that writing back a file that was not changed gives the same bytes.
namespace delvix::formats::xcursor {

inline constexpr std::uint32_t magic = 0x72756358;  // "Xcur" as a little-endian u32
inline constexpr std::uint32_t fileHeaderSize = 16;
inline constexpr std::uint32_t fileVersion = 0x00010000;
inline constexpr std::uint32_t tocEntrySize = 12;
inline constexpr std::uint32_t imageType = 0xFFFD0002;
inline constexpr std::uint32_t commentType = 0xFFFE0001;
inline constexpr std::uint32_t imageHeaderSize = 36;
inline constexpr std::uint32_t commentHeaderSize = 20;
inline constexpr std::uint32_t chunkVersion = 1;
// The largest width and height libXcursor loads.
inline constexpr std::uint32_t maxImageSide = 0x7FFF;

enum class CommentKind : std::uint32_t { copyright = 1, license = 2, other = 3 };

// One image: a cursor picture at a nominal size, with premultiplied ARGB pixels (0xAARRGGBB), top row first.
struct ImageChunk {
  std::uint32_t nominalSize = 0;  // the chunk's subtype
  std::uint32_t version = chunkVersion;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t xHot = 0;
  std::uint32_t yHot = 0;
  std::uint32_t delay = 0;               // milliseconds
  std::vector<std::uint8_t> headerTail;  // header bytes beyond the 36 this program knows
  std::vector<std::uint32_t> pixels;     // width * height

  bool operator==(const ImageChunk&) const = default;
};

struct CommentChunk {
  std::uint32_t kind = static_cast<std::uint32_t>(CommentKind::other);  // the chunk's subtype
  std::uint32_t version = chunkVersion;
  std::vector<std::uint8_t> headerTail;
  std::string text;  // UTF-8, as stored

  bool operator==(const CommentChunk&) const = default;
};

// A chunk this program does not read (another type, or one too damaged to read): its bytes as found, from
// its table-of-contents position to where the next chunk begins or the file ends.
struct KeptChunk {
  std::vector<std::uint8_t> bytes;

  bool operator==(const KeptChunk&) const = default;
};

struct Chunk {
  // The table-of-contents entry's type and subtype, written as they are. For images and comments they are
  // normally the chunk's own type and its nominal size or comment kind; libXcursor picks sizes by the
  // entry's subtype, so an edit of a nominal size changes both (setNominalSize).
  std::uint32_t tocType = 0;
  std::uint32_t tocSubtype = 0;
  std::variant<ImageChunk, CommentChunk, KeptChunk> content;
  // Bytes between the end of the previous chunk (or the table of contents) and this one, as found.
  std::vector<std::uint8_t> gapBefore;

  bool operator==(const Chunk&) const = default;
};

// Header sizes are not kept as numbers: each header is its known fields followed by its kept tail.
struct XcursorFile {
  std::uint32_t version = fileVersion;
  std::vector<std::uint8_t> headerTail;  // file header bytes beyond the 16 this program knows
  std::vector<Chunk> chunks;             // in table-of-contents order
  std::vector<std::uint8_t> trailing;    // bytes after the last chunk
  // False when the chunks did not lie one after another in table-of-contents order (or shared bytes): then
  // a writer lays them out anew and the gaps are not kept.
  bool layoutKept = true;

  bool operator==(const XcursorFile&) const = default;
};

// True when `firstBytes` begin with "Xcur".
bool isXcursor(Bytes firstBytes);

// Reads an Xcursor file. What cannot be read is reported (what is wrong and at which byte) and kept as a
// KeptChunk where it can be; nothing is allocated beyond what the file's own sizes allow. Returns false
// when the file is no Xcursor file or its header or table of contents is damaged beyond reading (the
// result then holds what could be read).
bool readXcursor(Bytes file, XcursorFile& result, Reporter& reporter);

// The file's bytes: header, table of contents, then the chunks in order (with their kept gaps when
// layoutKept), then the trailing bytes. A file read and written unchanged gives the same bytes.
std::vector<std::uint8_t> writeXcursor(const XcursorFile& file);

// Changes an image chunk's nominal size and its table-of-contents subtype together.
void setNominalSize(Chunk& chunk, std::uint32_t nominalSize);

// The image chunks in file order.
std::vector<const ImageChunk*> imagesOf(const XcursorFile& file);
// The different nominal sizes, in the order they first appear.
std::vector<std::uint32_t> nominalSizesOf(const XcursorFile& file);
// The images of one nominal size in file order: the frames of that size's animation.
std::vector<const ImageChunk*> framesOfSize(const XcursorFile& file, std::uint32_t nominalSize);

// Pixels with straight alpha, as every other part of the program draws them (colours divided by alpha).
gfx::Image straightImage(const ImageChunk& image);
// An image chunk of `image` (straight alpha), premultiplied as the format stores it.
ImageChunk imageChunkOf(const gfx::Image& image, std::uint32_t nominalSize, std::uint32_t xHot, std::uint32_t yHot,
                        std::uint32_t delay);
gfx::Pixel premultiplied(gfx::Pixel straight);
gfx::Pixel unpremultiplied(gfx::Pixel premultiplied);

}  // namespace delvix::formats::xcursor
