#include "formats/xcursor/xcursor_document.h"

#include <algorithm>

#include "formats/file_content.h"
#include "formats/ico_reader.h"
#include "formats/le_bytes.h"
#include "model/picture_index.h"

namespace delvix::formats::xcursor {

namespace {

using model::Block;
using model::Node;

void put32(Block& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void append(Block& out, const std::vector<std::uint8_t>& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

std::uint32_t fieldOr(const Block& block, std::size_t offset, std::uint32_t otherwise) {
  return offset + 4 <= block.size() ? le32(block, offset) : otherwise;
}

Block imageHeaderBlock(const ImageChunk& image) {
  Block block;
  for (std::uint32_t value :
       {static_cast<std::uint32_t>(imageHeaderSize + image.headerTail.size()), imageType, image.nominalSize,
        image.version, image.width, image.height, image.xHot, image.yHot, image.delay})
    put32(block, value);
  append(block, image.headerTail);
  return block;
}

Block pixelBlock(const std::vector<std::uint32_t>& pixels) {
  Block block;
  block.reserve(pixels.size() * 4);
  for (std::uint32_t pixel : pixels) put32(block, pixel);
  return block;
}

Block commentBlock(const CommentChunk& comment) {
  Block block;
  for (std::uint32_t value : {static_cast<std::uint32_t>(commentHeaderSize + comment.headerTail.size()), commentType,
                              comment.kind, comment.version, static_cast<std::uint32_t>(comment.text.size())})
    put32(block, value);
  append(block, comment.headerTail);
  block.insert(block.end(), comment.text.begin(), comment.text.end());
  return block;
}

// The order pictures are numbered in: grouped by nominal size (sizes in the order they first appear), file
// order within a size.
std::vector<std::size_t> pictureNumbers(const XcursorFile& file) {
  std::vector<std::size_t> images;
  for (std::size_t i = 0; i < file.chunks.size(); ++i)
    if (std::holds_alternative<ImageChunk>(file.chunks[i].content)) images.push_back(i);
  std::vector<std::size_t> order;
  for (std::uint32_t size : nominalSizesOf(file))
    for (std::size_t i : images)
      if (std::get<ImageChunk>(file.chunks[i].content).nominalSize == size) order.push_back(i);
  // numbers[chunk] = picture number (1-based) of an image chunk.
  std::vector<std::size_t> numbers(file.chunks.size(), 0);
  for (std::size_t n = 0; n < order.size(); ++n) numbers[order[n]] = n + 1;
  return numbers;
}

std::string sizeText(const ImageChunk& image) {
  return std::to_string(image.width) + "x" + std::to_string(image.height);
}

void addChunkNodes(const XcursorFile& file, model::Document& document) {
  const std::vector<std::size_t> numbers = pictureNumbers(file);
  std::size_t comments = 0, kept = 0;
  document.pictures.resize(
      static_cast<std::size_t>(std::count_if(numbers.begin(), numbers.end(), [](std::size_t n) { return n != 0; })));
  for (std::size_t i = 0; i < file.chunks.size(); ++i) {
    const Chunk& chunk = file.chunks[i];
    Node* node = nullptr;
    if (const auto* image = std::get_if<ImageChunk>(&chunk.content)) {
      node = &document.tree.addTopLevel(model::pictureName(static_cast<int>(numbers[i])), imageHeaderBlock(*image),
                                        model::state::picture);
      node->addChild(std::string(pixelsNode), pixelBlock(image->pixels), model::state::valuesHidden);
      document.pictures[numbers[i] - 1] = {false, sizeText(*image), std::to_string(image->delay) + " ms"};
    } else if (const auto* comment = std::get_if<CommentChunk>(&chunk.content)) {
      node = &document.tree.addTopLevel(std::string(commentPrefix) + std::to_string(++comments), commentBlock(*comment),
                                        model::state::infoItem);
    } else {
      node = &document.tree.addTopLevel(std::string(keptPrefix) + std::to_string(++kept),
                                        std::get<KeptChunk>(chunk.content).bytes, model::state::none);
    }
    if (!chunk.gapBefore.empty()) node->addChild(std::string(gapNode), chunk.gapBefore, model::state::none);
  }
}

Block headerBlock(const XcursorFile& file) {
  Block block;
  for (std::uint32_t value : {magic, static_cast<std::uint32_t>(fileHeaderSize + file.headerTail.size()), file.version,
                              static_cast<std::uint32_t>(file.chunks.size())})
    put32(block, value);
  append(block, file.headerTail);
  return block;
}

bool isChunkName(std::string_view name) {
  return model::pictureNumber(name) || name.starts_with(commentPrefix) || name.starts_with(keptPrefix);
}

}  // namespace

bool readXcursorDocument(Bytes bytes, model::Document& document, Reporter& reporter) {
  document.kind = model::FileKind::xcursor;
  XcursorFile file;
  const bool whole = readXcursor(bytes, file, reporter);
  document.xcursorComplete = whole;
  if (!isXcursor(bytes) || bytes.size() < fileHeaderSize) return false;
  // The header and the table of contents as they were read: their sizes and positions are the file's.
  const std::uint32_t headerSize = le32(bytes, 4);
  Block header(bytes.begin(),
               bytes.begin() + std::min<std::size_t>(std::max(headerSize, fileHeaderSize), bytes.size()));
  if (header.size() < fileHeaderSize) header = headerBlock(file);
  document.tree.addTopLevel(std::string(headerNode), std::move(header), model::state::formatHeader);
  const std::size_t tocStart = std::max<std::size_t>(headerSize, fileHeaderSize);
  const std::size_t tocBytes =
      tocStart < bytes.size() ? std::min(file.chunks.size() * tocEntrySize, bytes.size() - tocStart) : 0;
  document.tree.addTopLevel(
      std::string(tableNode),
      Block(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(tocStart, bytes.size())),
            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(tocStart, bytes.size()) + tocBytes)),
      model::state::listChunk);
  addChunkNodes(file, document);
  if (!file.trailing.empty())
    document.tree.addTopLevel(std::string(trailingDataNode), file.trailing, model::state::none);
  document.imageCount = static_cast<int>(document.pictures.size());
  document.statusText = " Size: " + std::to_string(bytes.size()) + " bytes";
  if (whole && document.imageCount == 0) reporter.log("This X cursor file holds no image.");
  return whole;
}

bool readXcursorDocument(const std::filesystem::path& path, model::Document& document, Reporter& reporter) {
  std::string whyNot;
  auto bytes = FileContent::read(path, &whyNot);
  if (!bytes) {
    document.kind = model::FileKind::xcursor;
    reporter.error("Could not open a selected file: " + whyNot);
    return false;
  }
  return readXcursorDocument(*bytes, document, reporter);
}

std::optional<ImageChunk> imageOf(const Node& picture, bool withPixels) {
  const Block& block = picture.block();
  if (block.size() < imageHeaderSize) return std::nullopt;
  ImageChunk image;
  image.nominalSize = le32(block, imageField::nominalSize);
  image.version = le32(block, imageField::version);
  image.width = le32(block, imageField::width);
  image.height = le32(block, imageField::height);
  image.xHot = le32(block, imageField::xHot);
  image.yHot = le32(block, imageField::yHot);
  image.delay = le32(block, imageField::delay);
  image.headerTail.assign(block.begin() + imageHeaderSize, block.end());
  if (!withPixels) return image;
  if (const Node* pixels = picture.findChild(pixelsNode)) {
    const Block& data = pixels->block();
    image.pixels.resize(data.size() / 4);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = le32(data, 4 * i);
  }
  return image;
}

XcursorFile xcursorFileOf(const model::Document& document) {
  XcursorFile file;
  const model::Tree& tree = document.tree;
  const Block* toc = nullptr;
  for (std::size_t i = 0; i < tree.topLevelCount(); ++i) {
    const Node& node = tree.topLevel(i);
    const std::string& name = node.name();
    if (name == headerNode) {
      const Block& block = node.block();
      file.version = fieldOr(block, 8, fileVersion);
      if (block.size() > fileHeaderSize) file.headerTail.assign(block.begin() + fileHeaderSize, block.end());
    } else if (name == tableNode) {
      toc = &node.block();
    } else if (name == trailingDataNode) {
      file.trailing = node.block();
    } else if (isChunkName(name)) {
      Chunk chunk;
      const Block& block = node.block();
      if (model::pictureNumber(name)) {
        auto image = imageOf(node);
        if (image)
          chunk.content = std::move(*image);
        else
          chunk.content = KeptChunk{block};
      } else if (name.starts_with(commentPrefix) && block.size() >= commentHeaderSize &&
                 le32(block, 0) >= commentHeaderSize && le32(block, 0) <= block.size()) {
        CommentChunk comment;
        const std::size_t headerSize = le32(block, 0);
        comment.kind = le32(block, commentField::kind);
        comment.version = le32(block, commentField::version);
        comment.headerTail.assign(block.begin() + commentHeaderSize, block.begin() + headerSize);
        comment.text.assign(block.begin() + headerSize, block.end());
        chunk.content = std::move(comment);
      } else {
        chunk.content = KeptChunk{block};
      }
      if (const Node* gap = node.findChild(gapNode)) chunk.gapBefore = gap->block();
      file.chunks.push_back(std::move(chunk));
    }
  }
  // Each chunk's table-of-contents type and subtype as read; the chunk's own where the table has none.
  for (std::size_t i = 0; i < file.chunks.size(); ++i) {
    Chunk& chunk = file.chunks[i];
    const std::size_t at = i * tocEntrySize;
    if (toc && at + tocEntrySize <= toc->size()) {
      chunk.tocType = le32(*toc, at);
      chunk.tocSubtype = le32(*toc, at + 4);
    } else if (const auto* image = std::get_if<ImageChunk>(&chunk.content)) {
      chunk.tocType = imageType;
      chunk.tocSubtype = image->nominalSize;
    } else if (const auto* comment = std::get_if<CommentChunk>(&chunk.content)) {
      chunk.tocType = commentType;
      chunk.tocSubtype = comment->kind;
    }
  }
  return file;
}

WrittenFile writeXcursorDocument(const model::Document& document) {
  return WrittenFile{writeXcursor(xcursorFileOf(document)), document.xcursorComplete};
}

bool saveXcursorFile(const model::Document& document, const std::filesystem::path& target, Reporter& reporter) {
  return deliverFile(target, writeXcursorDocument(document), "Could not open this file.", reporter);
}

bool isChunkNode(const model::Document& document, const Node& node) {
  return document.kind == model::FileKind::xcursor && document.tree.isTopLevel(node) && isChunkName(node.name());
}

std::optional<std::size_t> chunkIndexOf(const model::Document& document, const Node& node) {
  if (!isChunkNode(document, node)) return std::nullopt;
  std::size_t index = 0;
  for (std::size_t i = 0; i < node.indexInParent(); ++i)
    if (isChunkName(document.tree.topLevel(i).name())) ++index;
  return index;
}

gfx::Image xcursorPicture(const model::Document& document, int index) {
  const Node* picture = document.tree.findFirst(model::pictureName(index + 1));
  if (!picture) return {};
  auto image = imageOf(*picture);
  if (!image || std::uint64_t{image->width} * image->height != image->pixels.size()) return {};
  return straightImage(*image);
}

std::optional<PictureTiming> timingOf(const model::Document& document, int index) {
  const Node* picture = document.tree.findFirst(model::pictureName(index + 1));
  if (!picture || picture->block().size() < imageHeaderSize) return std::nullopt;
  return PictureTiming{le32(picture->block(), imageField::nominalSize), le32(picture->block(), imageField::delay)};
}

std::vector<int> picturesOfSize(const model::Document& document, std::uint32_t nominalSize) {
  std::vector<std::pair<std::size_t, int>> found;  // (tree position, picture index)
  for (int index = 0; index < document.imageCount; ++index) {
    const Node* picture = document.tree.findFirst(model::pictureName(index + 1));
    auto timing = timingOf(document, index);
    if (picture && timing && timing->nominalSize == nominalSize) found.emplace_back(picture->indexInParent(), index);
  }
  std::sort(found.begin(), found.end());
  std::vector<int> pictures;
  for (const auto& entry : found) pictures.push_back(entry.second);
  return pictures;
}

}  // namespace delvix::formats::xcursor
