#include "formats/xcursor/xcursor_file.h"

#include <algorithm>
#include <set>
#include <sstream>

namespace delvix::formats::xcursor {
namespace {

std::string hex(std::uint64_t value) {
  std::ostringstream out;
  out << "0x" << std::uppercase << std::hex << value;
  return out.str();
}

// Fills each "{}" of `pattern` with the next value, as std::format would.
template <typename... Values>
std::string format(std::string_view pattern, const Values&... values) {
  std::ostringstream out;
  auto next = [&](const auto& value) {
    const auto hole = pattern.find("{}");
    out << pattern.substr(0, hole) << value;
    pattern.remove_prefix(hole == std::string_view::npos ? pattern.size() : hole + 2);
  };
  (next(values), ...);
  out << pattern;
  return out.str();
}

std::vector<std::uint8_t> copyOf(Bytes bytes) { return {bytes.begin(), bytes.end()}; }

// Reads one chunk at `position`; `limit` is where the next chunk begins (or the file ends). Returns the end
// of the bytes it read. Damaged chunks are kept whole, up to `limit`.
std::size_t readChunk(Bytes file, std::size_t index, std::size_t position, std::size_t limit, Chunk& chunk,
                      Reporter& reporter) {
  const std::string where = format("Chunk {} at byte {}", index + 1, hex(position));
  auto keep = [&](const std::string& why) {
    reporter.log(format("{} {}; its bytes are kept as they are.", where, why));
    chunk.content = KeptChunk{copyOf(file.subspan(position, limit - position))};
    return limit;
  };
  ByteReader reader(file.subspan(position, limit - position));
  auto headerSize = reader.u32();
  auto type = reader.u32();
  auto subtype = reader.u32();
  auto version = reader.u32();
  if (!version) return keep("is cut short: its header needs 16 bytes");
  if (*type != chunk.tocType)
    return keep(format("has the type {}, but the table of contents says {}", hex(*type), hex(chunk.tocType)));

  if (*type == imageType) {
    if (*headerSize < imageHeaderSize || *headerSize > reader.size())
      return keep(format("has a header size of {} (an image header has at least 36 bytes)", *headerSize));
    ImageChunk image;
    image.nominalSize = *subtype;
    image.version = *version;
    image.width = *reader.u32();
    image.height = *reader.u32();
    image.xHot = *reader.u32();
    image.yHot = *reader.u32();
    image.delay = *reader.u32();
    image.headerTail = copyOf(*reader.bytes(*headerSize - imageHeaderSize));
    if (image.width == 0 || image.height == 0 || image.width > maxImageSide || image.height > maxImageSide)
      return keep(format("is {}x{} pixels (images are 1 to 32767 pixels wide and high)", image.width, image.height));
    const std::uint64_t pixelBytes = std::uint64_t{image.width} * image.height * 4;
    if (pixelBytes > reader.remaining())
      return keep(format("needs {} bytes for its {}x{} pixels, but only {} follow", pixelBytes, image.width,
                         image.height, reader.remaining()));
    if (image.xHot > image.width || image.yHot > image.height)
      reporter.log(format("{}: the hot spot {},{} lies outside the {}x{} image.", where, image.xHot, image.yHot,
                          image.width, image.height));
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (auto& pixel : image.pixels) pixel = *reader.u32();
    chunk.content = std::move(image);
    return position + reader.position();
  }
  if (*type == commentType) {
    if (*headerSize < commentHeaderSize || *headerSize > reader.size())
      return keep(format("has a header size of {} (a comment header has at least 20 bytes)", *headerSize));
    CommentChunk comment;
    comment.kind = *subtype;
    comment.version = *version;
    const std::uint32_t length = *reader.u32();
    comment.headerTail = copyOf(*reader.bytes(*headerSize - commentHeaderSize));
    auto text = reader.bytes(length);
    if (!text) return keep(format("holds a comment of {} bytes, but only {} follow", length, reader.remaining()));
    comment.text.assign(text->begin(), text->end());
    chunk.content = std::move(comment);
    return position + reader.position();
  }
  chunk.content = KeptChunk{copyOf(file.subspan(position, limit - position))};
  return limit;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

std::size_t chunkSize(const Chunk& chunk) {
  if (auto* image = std::get_if<ImageChunk>(&chunk.content))
    return imageHeaderSize + image->headerTail.size() + image->pixels.size() * 4;
  if (auto* comment = std::get_if<CommentChunk>(&chunk.content))
    return commentHeaderSize + comment->headerTail.size() + comment->text.size();
  return std::get<KeptChunk>(chunk.content).bytes.size();
}

void writeChunk(std::vector<std::uint8_t>& out, const Chunk& chunk) {
  if (auto* image = std::get_if<ImageChunk>(&chunk.content)) {
    put32(out, static_cast<std::uint32_t>(imageHeaderSize + image->headerTail.size()));
    for (std::uint32_t value : {imageType, image->nominalSize, image->version, image->width, image->height, image->xHot,
                                image->yHot, image->delay})
      put32(out, value);
    append(out, image->headerTail);
    for (std::uint32_t pixel : image->pixels) put32(out, pixel);
  } else if (auto* comment = std::get_if<CommentChunk>(&chunk.content)) {
    put32(out, static_cast<std::uint32_t>(commentHeaderSize + comment->headerTail.size()));
    for (std::uint32_t value :
         {commentType, comment->kind, comment->version, static_cast<std::uint32_t>(comment->text.size())})
      put32(out, value);
    append(out, comment->headerTail);
    out.insert(out.end(), comment->text.begin(), comment->text.end());
  } else {
    append(out, std::get<KeptChunk>(chunk.content).bytes);
  }
}

}  // namespace

bool isXcursor(Bytes firstBytes) {
  return firstBytes.size() >= 4 && firstBytes[0] == 'X' && firstBytes[1] == 'c' && firstBytes[2] == 'u' &&
         firstBytes[3] == 'r';
}

bool readXcursor(Bytes file, XcursorFile& result, Reporter& reporter) {
  result = {};
  ByteReader reader(file);
  if (!isXcursor(file)) {
    reporter.log("This is not an X cursor file: it does not begin with \"Xcur\".");
    return false;
  }
  reader.skip(4);
  auto headerSize = reader.u32();
  auto version = reader.u32();
  auto count = reader.u32();
  if (!count) {
    reporter.log(format("The X cursor file header is cut short: it needs 16 bytes, the file has {}.", file.size()));
    return false;
  }
  if (*headerSize < fileHeaderSize || *headerSize > file.size()) {
    reporter.log(
        format("The X cursor file header gives its size as {} bytes (at byte 0x4); it has at least 16 "
               "and the file {}.",
               *headerSize, file.size()));
    return false;
  }
  result.version = *version;
  result.headerTail = copyOf(file.subspan(fileHeaderSize, *headerSize - fileHeaderSize));
  reader.seek(*headerSize);

  std::uint64_t entries = *count;
  const std::uint64_t room = reader.remaining() / tocEntrySize;
  bool whole = true;
  if (entries > room) {
    reporter.log(
        format("The table of contents at byte {} lists {} chunks, but the file has room for {}; the "
               "rest are left out.",
               hex(*headerSize), entries, room));
    entries = room;
    whole = false;
  }
  std::vector<std::uint32_t> positions;
  result.chunks.resize(static_cast<std::size_t>(entries));
  for (auto& chunk : result.chunks) {
    chunk.tocType = *reader.u32();
    chunk.tocSubtype = *reader.u32();
    positions.push_back(*reader.u32());
  }
  const std::size_t tocEnd = reader.position();
  const std::set<std::size_t> starts(positions.begin(), positions.end());

  // Chunks that share bytes would be copied again and again; what is read never exceeds the file's size.
  std::uint64_t budget = file.size();
  std::size_t end = tocEnd;
  for (std::size_t i = 0; i < result.chunks.size(); ++i) {
    Chunk& chunk = result.chunks[i];
    const std::size_t position = positions[i];
    if (position < tocEnd || position >= file.size()) {
      reporter.log(
          format("Chunk {} is said to lie at byte {}, outside the file's {} chunk bytes ({} to {}); "
                 "it is left out.",
                 i + 1, hex(position), file.size() - tocEnd, hex(tocEnd), hex(file.size())));
      result.chunks.resize(i);
      result.layoutKept = false;
      whole = false;
      break;
    }
    auto next = starts.upper_bound(position);
    const std::size_t limit = next == starts.end() ? file.size() : std::min<std::size_t>(*next, file.size());
    if (position < end) result.layoutKept = false;
    const std::size_t before = position;
    const std::size_t chunkEnd = readChunk(file, i, position, limit, chunk, reporter);
    const std::size_t read = chunkEnd - before;
    if (read > budget) {
      reporter.log(format("Chunk {} at byte {} repeats bytes already read; it and the rest are left out.", i + 1,
                          hex(position)));
      result.chunks.resize(i);
      result.layoutKept = false;
      whole = false;
      break;
    }
    budget -= read;
    if (result.layoutKept) chunk.gapBefore = copyOf(file.subspan(end, position - end));
    end = std::max(end, chunkEnd);
  }
  if (!result.layoutKept)
    for (auto& chunk : result.chunks) chunk.gapBefore.clear();
  if (result.layoutKept && whole) result.trailing = copyOf(file.subspan(end));
  return whole;
}

std::vector<std::uint8_t> writeXcursor(const XcursorFile& file) {
  std::vector<std::uint8_t> out;
  const std::size_t tocStart = fileHeaderSize + file.headerTail.size();
  std::size_t total = tocStart + file.chunks.size() * tocEntrySize + file.trailing.size();
  for (const auto& chunk : file.chunks) total += chunkSize(chunk) + (file.layoutKept ? chunk.gapBefore.size() : 0);
  out.reserve(total);

  put32(out, magic);
  put32(out, static_cast<std::uint32_t>(tocStart));
  put32(out, file.version);
  put32(out, static_cast<std::uint32_t>(file.chunks.size()));
  append(out, file.headerTail);
  std::size_t position = tocStart + file.chunks.size() * tocEntrySize;
  for (const auto& chunk : file.chunks) {
    if (file.layoutKept) position += chunk.gapBefore.size();
    put32(out, chunk.tocType);
    put32(out, chunk.tocSubtype);
    put32(out, static_cast<std::uint32_t>(position));
    position += chunkSize(chunk);
  }
  for (const auto& chunk : file.chunks) {
    if (file.layoutKept) append(out, chunk.gapBefore);
    writeChunk(out, chunk);
  }
  append(out, file.trailing);
  return out;
}

void setNominalSize(Chunk& chunk, std::uint32_t nominalSize) {
  if (auto* image = std::get_if<ImageChunk>(&chunk.content)) image->nominalSize = nominalSize;
  chunk.tocSubtype = nominalSize;
}

std::vector<const ImageChunk*> imagesOf(const XcursorFile& file) {
  std::vector<const ImageChunk*> images;
  for (const auto& chunk : file.chunks)
    if (auto* image = std::get_if<ImageChunk>(&chunk.content)) images.push_back(image);
  return images;
}

std::vector<std::uint32_t> nominalSizesOf(const XcursorFile& file) {
  std::vector<std::uint32_t> sizes;
  for (const ImageChunk* image : imagesOf(file))
    if (std::find(sizes.begin(), sizes.end(), image->nominalSize) == sizes.end()) sizes.push_back(image->nominalSize);
  return sizes;
}

std::vector<const ImageChunk*> framesOfSize(const XcursorFile& file, std::uint32_t nominalSize) {
  std::vector<const ImageChunk*> frames;
  for (const ImageChunk* image : imagesOf(file))
    if (image->nominalSize == nominalSize) frames.push_back(image);
  return frames;
}

gfx::Pixel premultiplied(gfx::Pixel straight) {
  const unsigned a = gfx::alpha(straight);
  auto scale = [a](unsigned c) { return static_cast<std::uint8_t>((c * a + 127) / 255); };
  return gfx::rgb(scale(gfx::red(straight)), scale(gfx::green(straight)), scale(gfx::blue(straight)),
                  static_cast<std::uint8_t>(a));
}

gfx::Pixel unpremultiplied(gfx::Pixel pixel) {
  const unsigned a = gfx::alpha(pixel);
  if (a == 0) return 0;
  auto scale = [a](unsigned c) { return static_cast<std::uint8_t>(std::min(255u, (c * 255 + a / 2) / a)); };
  return gfx::rgb(scale(gfx::red(pixel)), scale(gfx::green(pixel)), scale(gfx::blue(pixel)),
                  static_cast<std::uint8_t>(a));
}

gfx::Image straightImage(const ImageChunk& image) {
  gfx::Image result(static_cast<int>(image.width), static_cast<int>(image.height));
  auto& pixels = result.pixels();
  for (std::size_t i = 0; i < pixels.size() && i < image.pixels.size(); ++i)
    pixels[i] = unpremultiplied(image.pixels[i]);
  return result;
}

ImageChunk imageChunkOf(const gfx::Image& image, std::uint32_t nominalSize, std::uint32_t xHot, std::uint32_t yHot,
                        std::uint32_t delay) {
  ImageChunk chunk;
  chunk.nominalSize = nominalSize;
  chunk.width = static_cast<std::uint32_t>(image.width());
  chunk.height = static_cast<std::uint32_t>(image.height());
  chunk.xHot = xHot;
  chunk.yHot = yHot;
  chunk.delay = delay;
  chunk.pixels.reserve(image.pixels().size());
  for (gfx::Pixel pixel : image.pixels()) chunk.pixels.push_back(premultiplied(pixel));
  return chunk;
}

}  // namespace delvix::formats::xcursor
