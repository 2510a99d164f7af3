#include "formats/ani_reader.h"

#include <algorithm>
#include <limits>
#include <set>
#include <utility>

#include "codecs/png_decode.h"
#include "formats/file_content.h"
#include "formats/ico_reader.h"
#include "formats/icon_image_reader.h"
#include "formats/le_bytes.h"
#include "formats/riff/riff_navigator.h"
#include "formats/riff/riff_nodes.h"
#include "model/info_items.h"
#include "model/picture_index.h"

namespace delvix::formats {

namespace {

using model::Block;
using model::Node;
using riff::Chunk;
using riff::fourcc;
using riff::fourccFromString;

constexpr riff::FourCC aconForm = fourcc('A', 'C', 'O', 'N');
constexpr riff::FourCC infoType = fourcc('I', 'N', 'F', 'O');
constexpr riff::FourCC headerId = fourcc('a', 'n', 'i', 'h');
constexpr riff::FourCC rateId = fourcc('r', 'a', 't', 'e');
constexpr riff::FourCC sequenceId = fourccFromString("seq");
constexpr riff::FourCC frameListType = fourcc('f', 'r', 'a', 'm');
constexpr riff::FourCC iconId = fourcc('i', 'c', 'o', 'n');

constexpr std::size_t frameHeaderSize = iconHeaderSize + iconDirEntrySize;

std::uint32_t chunkSizeWithHeader(const Chunk& chunk, std::uint32_t headerBytes) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{chunk.declaredSize} + headerBytes,
                                                            std::numeric_limits<std::uint32_t>::max()));
}

// A directory entry's width or height byte; 0 stands for 256.
int dimensionOf(std::uint8_t value) { return value == 0 ? 256 : value; }

std::string readOnly(std::size_t count) { return "Had been read only " + std::to_string(count) + " bytes"; }

class AniReader {
 public:
  AniReader(Bytes file, model::Document& document, const model::ShowSettings& show, Reporter& reporter)
      : file_(file),
        document_(document),
        ani_(document.ani),
        show_(show),
        reporter_(reporter),
        navigator_(file, &reporter) {}

  bool read() {
    document_.kind = model::FileKind::animatedCursor;
    ani_ = {};
    if (navigator_.descendRiff(form_, aconForm) != riff::code::ok) {
      reporter_.error("It's not 'ani' file.");
      return false;
    }
    root_ = &document_.tree.addTopLevel("RIFF_ACON");
    ani_.riffSize = form_.declaredSize;
    document_.statusText = " RIFF size: " + std::to_string(form_.declaredSize) + " bytes";

    const bool complete = readChunks();
    if (complete) riff::addUninterpretedChunks(navigator_, form_, interpreted_, *root_);
    noteChunkOrder(complete);
    return complete;
  }

 private:
  std::size_t formStart() const { return form_.dataOffset + 4; }

  // The top-level nodes by the position of their chunks in the file; kept chunks only when they were added.
  void noteChunkOrder(bool keptChunksAdded) {
    const std::pair<std::size_t, const char*> interpreted[] = {{ani_.infoListPosition, "List_info"},
                                                               {ani_.headerPosition, "ani_header"},
                                                               {ani_.ratePosition, "time"},
                                                               {ani_.sequencePosition, "sequence"},
                                                               {ani_.frameListPosition, "List_images"}};
    for (const Chunk& chunk : navigator_.children(form_)) {
      auto known = std::find_if(std::begin(interpreted), std::end(interpreted),
                                [&](const auto& entry) { return entry.first == chunk.dataOffset; });
      if (known != std::end(interpreted) && root_->findChild(known->second))
        ani_.chunkOrder.emplace_back(known->second);
      else if (keptChunksAdded && !interpreted_.count(chunk.dataOffset))
        ani_.chunkOrder.push_back(riff::keptChunkName(chunk));
    }
  }

  bool readChunks() {
    readInfoList();
    if (!readHeader()) {
      reporter_.log("Corrupt ANI-file.");
      return false;
    }
    readRates();
    readSequence();
    // Whether rates count steps or frames is known once the sequence has been looked for.
    if (ani_.hasRate) noteShortTable(rateId, ani_.rates.size(), ani_.ratesPerStep() ? stepEntries_ : frameEntries_);
    if (ani_.hasSequence) noteShortTable(sequenceId, ani_.sequence.size(), stepEntries_);
    return readFrames();
  }

  void readInfoList() {
    navigator_.seek(formStart());
    Chunk list;
    if (navigator_.descendList(list, form_, infoType) != riff::code::ok) return;
    interpreted_.insert(list.dataOffset);
    ani_.infoListSize = list.declaredSize;
    ani_.infoListPosition = list.dataOffset;
    Node& listInfo = root_->addChild("List_info", {}, model::state::listChunk);
    riff::addInfoItems(navigator_, list, listInfo);
    // The nodes of the items in the order of their sub-chunks: the first of an id in the item table is
    // the item, the others are kept as they are.
    std::set<riff::FourCC> shown;
    for (const Chunk& item : navigator_.children(list)) {
      auto position = model::infoPositionById(riff::fourccText(item.id));
      if (position && shown.insert(item.id).second)
        ani_.infoOrder.emplace_back(model::infoItems()[*position].description);
      else
        ani_.infoOrder.push_back(riff::keptChunkName(item));
    }
  }

  bool readHeader() {
    navigator_.seek(formStart());
    Chunk chunk;
    if (navigator_.descendChunk(chunk, form_, headerId) != riff::code::ok) {
      reporter_.log("This is not the 'ani_header' chunk.");
      return false;
    }
    interpreted_.insert(chunk.dataOffset);
    Bytes data = navigator_.read(chunk.size);
    if (data.size() < chunk.declaredSize) {
      reporter_.log("Be read only " + std::to_string(data.size()) + " bytes.");
      return false;
    }
    Block record(model::aniHeaderSize, 0);
    std::copy_n(data.begin(), std::min(data.size(), record.size()), record.begin());
    if (data.size() > record.size()) ani_.headerTail.assign(data.begin() + model::aniHeaderSize, data.end());
    model::AniHeader& h = ani_.header;
    std::uint32_t* fields[] = {&h.cbSize,   &h.frames, &h.steps,       &h.width,     &h.height,
                               &h.bitCount, &h.planes, &h.displayRate, &h.attributes};
    for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = le32(record, 4 * i);

    ani_.headerChunkSize = chunkSizeWithHeader(chunk, 8);
    ani_.headerPosition = chunk.dataOffset;
    ani_.stepCount = h.steps;
    root_->addChild("ani_header", {}, model::state::formatHeader);

    // Arrays are sized from the header's counts; no more entries than the file could hold are made.
    const std::size_t limit = file_.size() / 4;
    frameEntries_ = std::min<std::size_t>(h.frames, limit);
    stepEntries_ = std::min<std::size_t>(h.steps, limit);
    if (frameEntries_ < h.frames || stepEntries_ < h.steps)
      reporter_.log("The header lists " + std::to_string(h.frames) + " frames and " + std::to_string(h.steps) +
                    " steps, more than a file of " + std::to_string(file_.size()) + " bytes can hold.");
    return true;
  }

  // Reads every u32 entry of the chunk `id`, the bytes after the last whole one into `tail`; returns
  // nullopt when the chunk is absent. Its size becomes what is kept: 8 + 4 x entries + tail.
  std::optional<std::vector<std::uint32_t>> readTable(riff::FourCC id, Chunk& chunk, std::uint32_t& chunkSize,
                                                      std::vector<std::uint8_t>& tail) {
    navigator_.seek(formStart());
    if (navigator_.descendChunk(chunk, form_, id) != riff::code::ok) return std::nullopt;
    interpreted_.insert(chunk.dataOffset);
    Bytes data = navigator_.read(chunk.size);
    std::vector<std::uint32_t> entries(data.size() / 4);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = le32(data, 4 * i);
    Bytes rest = data.subspan(entries.size() * 4);
    tail.assign(rest.begin(), rest.end());
    chunkSize = static_cast<std::uint32_t>(8 + data.size());
    return entries;
  }

  void noteShortTable(riff::FourCC id, std::size_t held, std::size_t wanted) {
    if (held < wanted)
      reporter_.log("The '" + riff::printableFourcc(id) + "' chunk holds " + std::to_string(held) + " entries of the " +
                    std::to_string(wanted) + " the header asks for.");
  }

  void readRates() {
    Chunk chunk;
    auto rates = readTable(rateId, chunk, ani_.rateChunkSize, ani_.rateTail);
    ani_.hasRate = rates.has_value();
    if (!rates) return;
    ani_.rates = std::move(*rates);
    ani_.ratePosition = chunk.dataOffset;
    root_->addChild("time", {}, model::state::rate);
  }

  void readSequence() {
    Chunk chunk;
    auto sequence = readTable(sequenceId, chunk, ani_.sequenceChunkSize, ani_.sequenceTail);
    ani_.hasSequence = sequence.has_value();
    if (!sequence) {
      // The frames in order, once the frames are read.
      ani_.sequence.resize(stepEntries_);
      if (ani_.header.attributes & model::aniSequenceFlag)
        reporter_.log("The header announces a 'seq ' chunk, but the file has none; the frames play in order.");
      return;
    }
    ani_.sequence = std::move(*sequence);
    ani_.sequencePosition = chunk.dataOffset;
    root_->addChild("sequence", {}, model::state::sequence);
  }

  bool readFrames() {
    navigator_.seek(formStart());
    Chunk list;
    if (navigator_.descendList(list, form_, frameListType) != riff::code::ok) {
      ani_.frameListSize = 0;
      reporter_.log("There is no bitmap in this file.");
      return false;
    }
    interpreted_.insert(list.dataOffset);
    ani_.frameListSize = chunkSizeWithHeader(list, 12);
    ani_.frameListPosition = list.dataOffset;
    ani_.hasFrames = true;
    Node& images = root_->addChild("List_images", {}, model::state::frameList);

    std::size_t index = 0;
    Chunk icon;
    while (navigator_.descendChunk(icon, list, iconId) == riff::code::ok) {
      if (!readFrame(index, icon, images)) return false;
      // The next frame is looked for after the whole chunk: an icon may hold more than its first image.
      navigator_.ascend(icon);
      ++index;
    }
    finishFrameArrays(index);
    return true;
  }

  void finishFrameArrays(std::size_t framesRead) {
    if (framesRead != ani_.header.frames)
      reporter_.log("The header lists " + std::to_string(ani_.header.frames) + " frames; the frame list holds " +
                    std::to_string(framesRead) + ".");
    // Every picture index has a frame size, whichever count is the larger.
    ani_.frameSizes.resize(std::max(framesRead, frameEntries_), 0);
    if (ani_.hasSequence) {
      noteStepsWithoutFrame(framesRead);
    } else if (framesRead != 0) {
      // Without a "seq " chunk the steps show the frames there are in order, not those the header counts.
      for (std::size_t step = 0; step < ani_.sequence.size(); ++step)
        ani_.sequence[step] = static_cast<std::uint32_t>(step % framesRead);
    }
  }

  // One line for the sequence entries that name no frame read; they are kept as they are.
  void noteStepsWithoutFrame(std::size_t framesRead) {
    const auto names = [&](std::uint32_t frame) { return frame >= framesRead; };
    const auto first = std::find_if(ani_.sequence.begin(), ani_.sequence.end(), names);
    if (first == ani_.sequence.end()) return;
    const auto others = std::count_if(first + 1, ani_.sequence.end(), names);
    std::string line = "step " + std::to_string(first - ani_.sequence.begin() + 1) + " names frame " +
                       std::to_string(*first) + ", counted from 0; the file has " + std::to_string(framesRead) +
                       (framesRead == 1 ? " frame." : " frames.");
    if (others > 0)
      line += " " + std::to_string(others) + (others == 1 ? " more step names" : " more steps name") + " no frame.";
    reporter_.log(line);
  }

  bool readFrame(std::size_t index, const Chunk& icon, Node& images) {
    Bytes chunk = file_.subspan(icon.dataOffset, icon.size);
    const std::string name = model::pictureName(static_cast<int>(index + 1));
    if (ani_.frameSizes.size() <= index) ani_.frameSizes.resize(index + 1, 0);
    ani_.frameSizes[index] = icon.declaredSize;
    Node& picture = images.addChild(name, {}, model::state::picture);

    Block frameHeader(frameHeaderSize, 0);
    const std::size_t got = std::min(chunk.size(), frameHeaderSize);
    std::copy_n(chunk.begin(), got, frameHeader.begin());
    if (got < frameHeaderSize) reporter_.log(readOnly(got) + ".");

    const int width = dimensionOf(frameHeader[6]);
    const int height = dimensionOf(frameHeader[7]);
    if (index == 0) {
      frameWidth_ = width;
      frameHeight_ = height;
    } else if (width != frameWidth_ || height != frameHeight_) {
      images.removeChild(picture);
      reporter_.error("This file contains the different size of images.");
      return false;
    }
    picture.addChild("image_info", frameHeader, model::state::none);
    noteExtraImages(index, le16(frameHeader, 4));

    Bytes record = chunk.subspan(imageOffset(frameHeader, chunk.size(), name));
    IconImageRequest request;
    request.record = record;
    request.declaredSize = le32(frameHeader, 14);
    request.allocationLimit = static_cast<std::size_t>(std::min<std::uint64_t>(file_.size(), storeBudget_));
    request.show = show_;
    request.pictureName = name;
    request.animatedCursorFrame = true;

    const bool png = codecs::hasPngSignature(record);
    const std::uint32_t compression = !png && record.size() >= 20 ? le32(record, 16) : 0;
    const int bitCount = !png && record.size() >= 16 ? le16(record, 14) : 0;
    document_.pictures.push_back(readIconImage(request, picture, reporter_).entry);
    ani_.framesRead = index + 1;
    // The pictures are those read, whatever the header says.
    document_.imageCount = static_cast<int>(ani_.framesRead);
    keepFurtherImages(chunk, le16(frameHeader, 4), picture);
    spendStoreBudget(picture);
    if (png) return true;
    return compression == 0 && (bitCount <= 8 || bitCount > 16);
  }

  // Where the frame's first image starts: at the offset its directory entry gives, or right after
  // that entry when the offset lies outside the chunk.
  std::size_t imageOffset(const Block& frameHeader, std::size_t chunkSize, const std::string& name) {
    const std::uint32_t offset = le32(frameHeader, 18);
    if (offset >= frameHeaderSize && offset < chunkSize) return offset;
    const std::size_t fallback = std::min(frameHeaderSize, chunkSize);
    if (chunkSize > frameHeaderSize)
      reporter_.log(name + ": the image offset " + std::to_string(offset) + " lies outside the frame of " +
                    std::to_string(chunkSize) + " bytes; the image is read after the first directory entry.");
    return fallback;
  }

  void noteExtraImages(std::size_t index, std::uint16_t images) {
    if (images <= 1 || extraImagesNoted_) return;
    extraImagesNoted_ = true;
    reporter_.log("frame " + std::to_string(index + 1) + " holds " + std::to_string(images) +
                  " images; only the first is shown, the others are kept as they are.");
  }

  // The directory entries after the first and their images, kept in a "more_images" node as they are
  // (u32 size, then for each image its 16-byte entry followed by its bytes, the entry's size field telling
  // how many are kept), so that a save writes the whole frame back.
  void keepFurtherImages(Bytes chunk, std::uint16_t count, Node& picture) {
    if (count <= 1) return;
    Block kept(4, 0);
    for (std::size_t i = 1; i < count; ++i) {
      const std::size_t entryOffset = iconHeaderSize + i * iconDirEntrySize;
      if (entryOffset + iconDirEntrySize > chunk.size()) break;
      Bytes entry = chunk.subspan(entryOffset, iconDirEntrySize);
      const std::size_t offset = le32(entry, 12);
      const std::size_t size = offset < chunk.size() ? std::min<std::size_t>(le32(entry, 8), chunk.size() - offset) : 0;
      const std::size_t at = kept.size();
      kept.insert(kept.end(), entry.begin(), entry.end());
      setLe32(kept, at + 8, static_cast<std::uint32_t>(size));
      if (kept.size() + size > storeBudget_) {
        reporter_.log(picture.name() +
                      ": the further images are not kept; the frame asks for more image data than "
                      "the file holds.");
        kept.resize(at);
        break;
      }
      if (size != 0) {
        Bytes image = chunk.subspan(offset, size);
        kept.insert(kept.end(), image.begin(), image.end());
      }
    }
    if (kept.size() == 4) return;
    setLe32(kept, 0, static_cast<std::uint32_t>(kept.size() - 4));
    picture.addChild("more_images", std::move(kept), model::state::none);
  }

  // Takes what `picture`'s nodes hold from the budget.
  void spendStoreBudget(const Node& picture) {
    std::uint64_t stored = 0;
    for (const auto& child : picture.children()) stored += std::as_const(*child).block().size();
    storeBudget_ -= std::min(stored, storeBudget_);
  }

  Bytes file_;
  model::Document& document_;
  model::AniState& ani_;
  const model::ShowSettings& show_;
  Reporter& reporter_;
  riff::Navigator navigator_;
  Chunk form_;
  Node* root_ = nullptr;
  std::set<std::size_t> interpreted_;
  std::size_t frameEntries_ = 0;
  std::size_t stepEntries_ = 0;
  int frameWidth_ = 32;
  int frameHeight_ = 32;
  bool extraImagesNoted_ = false;
  // What the frames' nodes may hold in all: a file stores each image once, so only frames whose entries
  // share images, or whose rows are cut short, come near it.
  std::uint64_t storeBudget_ = (std::uint64_t{1} << 24) + 16 * std::uint64_t{file_.size()};
};

}  // namespace

bool readAnimatedCursor(Bytes file, model::Document& document, const model::ShowSettings& show, Reporter& reporter) {
  try {
    return AniReader(file, document, show, reporter).read();
  } catch (const std::exception&) {
    reporter.error("This file is corrupt.");
    return false;
  }
}

bool readAnimatedCursor(const std::filesystem::path& path, model::Document& document, const model::ShowSettings& show,
                        Reporter& reporter) {
  std::string whyNot;
  auto bytes = FileContent::read(path, &whyNot);
  if (!bytes) {
    document.kind = model::FileKind::animatedCursor;
    reporter.error("Could not open a selected file: " + whyNot);
    return false;
  }
  return readAnimatedCursor(*bytes, document, show, reporter);
}

}  // namespace delvix::formats
