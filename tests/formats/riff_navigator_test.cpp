#include "formats/riff/riff_navigator.h"

#include <gtest/gtest.h>

#include "formats/riff/info_text.h"
#include "support/riff_builder.h"

namespace delvix::formats::riff {
namespace {

using testing::ByteVector;
using testing::chunk;
using testing::ChunkOptions;
using testing::joined;
using testing::list;

TEST(FourCC, ShortTextsArePaddedWithBlanks) {
  EXPECT_EQ(fourccFromString("fmt"), fourcc('f', 'm', 't', ' '));
  EXPECT_EQ(fourccFromString("seq "), fourccFromString("seq"));
  EXPECT_EQ(fourccText(fourccFromString("RIFF")), "RIFF");
  EXPECT_EQ(printableFourcc(fourccFromString("cue")), "cue");
  EXPECT_EQ(printableFourcc(fourcc('a', '\x01', 'b', 'c')), "a\\x01bc");
}

TEST(RiffNavigator, FindsChunksInAnyOrderWithinTheirParent) {
  ByteVector file = testing::riff(
      "WAVE", {chunk("data", {1, 2, 3}), list("INFO", {chunk("INAM", {7, 7})}), chunk("fmt ", ByteVector(16, 9))});
  Navigator navigator(file);
  Chunk form;
  ASSERT_EQ(navigator.descendRiff(form, fourcc('W', 'A', 'V', 'E')), code::ok);
  EXPECT_EQ(form.type, fourcc('W', 'A', 'V', 'E'));
  EXPECT_EQ(navigator.position(), 12u);

  Chunk format;
  ASSERT_EQ(navigator.descendChunk(format, form, fourccFromString("fmt")), code::ok);
  EXPECT_EQ(format.size, 16u);
  EXPECT_EQ(navigator.position(), format.dataOffset);

  // A search runs on from the current position: "data" lies behind it now.
  Chunk data;
  EXPECT_EQ(navigator.descendChunk(data, form, fourcc('d', 'a', 't', 'a')), code::chunkNotFound);
  navigator.seek(12);
  ASSERT_EQ(navigator.descendChunk(data, form, fourcc('d', 'a', 't', 'a')), code::ok);
  EXPECT_EQ(data.dataOffset, 20u);

  navigator.seek(12);
  Chunk info;
  ASSERT_EQ(navigator.descendList(info, form, fourcc('I', 'N', 'F', 'O')), code::ok);
  EXPECT_EQ(navigator.position(), info.dataOffset + 4);
  Chunk name;
  ASSERT_EQ(navigator.descendChunk(name, info, fourcc('I', 'N', 'A', 'M')), code::ok);
  // A chunk outside the list is not found from inside it.
  navigator.seek(info.dataOffset + 4);
  EXPECT_EQ(navigator.descendChunk(format, info, fourccFromString("fmt")), code::chunkNotFound);
}

TEST(RiffNavigator, AFormOfAnotherTypeIsNotFound) {
  ByteVector file = testing::riff("ACON", {});
  Navigator navigator(file);
  Chunk form;
  EXPECT_EQ(navigator.descendRiff(form, fourcc('W', 'A', 'V', 'E')), code::chunkNotFound);
  navigator.seek(0);
  EXPECT_EQ(navigator.descendRiff(form), code::ok);
  EXPECT_EQ(Navigator(ByteVector{'R', 'I', 'F'}).descendRiff(form), code::chunkNotFound);
}

TEST(RiffNavigator, AscendHonoursThePadByteAndCopesWithoutIt) {
  ByteVector padded = testing::riff("WAVE", {chunk("odd ", {1, 2, 3}), chunk("next", {})});
  ByteVector unpadded =
      testing::riff("WAVE", {chunk("odd ", {1, 2, 3}, ChunkOptions{.pad = false}), chunk("next", {})});
  for (const ByteVector& file : {padded, unpadded}) {
    Navigator navigator(file);
    Chunk form, odd, next;
    ASSERT_EQ(navigator.descendRiff(form), code::ok);
    ASSERT_EQ(navigator.descendChunk(odd, form, fourcc('o', 'd', 'd', ' ')), code::ok);
    ASSERT_EQ(navigator.ascend(odd), code::ok);
    EXPECT_EQ(navigator.position(), file.size() - 8);
    navigator.seek(12);
    EXPECT_EQ(navigator.descendChunk(next, form, fourcc('n', 'e', 'x', 't')), code::ok);
  }
}

TEST(RiffNavigator, SizesPastTheParentAreClampedAndNoted) {
  ByteVector file = testing::riff("WAVE", {chunk("data", {1, 2, 3, 4}, ChunkOptions{.declaredSize = 0xFFFFFFFF})});
  RecordingReporter notes;
  Navigator navigator(file, &notes);
  Chunk form, data;
  ASSERT_EQ(navigator.descendRiff(form), code::ok);
  ASSERT_EQ(navigator.descendChunk(data, form, fourcc('d', 'a', 't', 'a')), code::ok);
  EXPECT_EQ(data.declaredSize, 0xFFFFFFFFu);
  EXPECT_EQ(data.size, 4u);
  EXPECT_TRUE(notes.logged("The chunk 'data' at offset 12 declares 4294967295 bytes; only 4 are there."));
  EXPECT_EQ(navigator.read(100).size(), 4u);
  EXPECT_EQ(navigator.ascend(data), code::ok);
  EXPECT_EQ(navigator.position(), file.size());
}

TEST(RiffNavigator, AFormThatClaimsTooLittleIsSearchedToTheEndOfTheFile) {
  ByteVector file = testing::riff("WAVE", {chunk("fmt ", ByteVector(16)), chunk("data", {1, 2})}, 4);
  RecordingReporter notes;
  Navigator navigator(file, &notes);
  Chunk form, data;
  ASSERT_EQ(navigator.descendRiff(form), code::ok);
  EXPECT_EQ(form.declaredSize, 4u);
  EXPECT_EQ(form.end(), file.size());
  EXPECT_EQ(notes.lines.size(), 1u);
  EXPECT_EQ(navigator.descendChunk(data, form, fourcc('d', 'a', 't', 'a')), code::ok);
}

TEST(RiffNavigator, ChildrenAreWalkedByIdAndSize) {
  // The bytes "data" inside the first chunk's payload must not be taken for a chunk.
  ByteVector payload = joined({{'d', 'a', 't', 'a'}, testing::u32s({2}), {1, 2}});
  ByteVector file = testing::riff("WAVE", {chunk("JUNK", payload), chunk("data", {5})});
  Navigator navigator(file);
  Chunk form, data;
  ASSERT_EQ(navigator.descendRiff(form), code::ok);
  auto children = navigator.children(form);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[1].id, fourcc('d', 'a', 't', 'a'));
  ASSERT_EQ(navigator.descendChunk(data, form, fourcc('d', 'a', 't', 'a')), code::ok);
  EXPECT_EQ(data.dataOffset, children[1].dataOffset);
}

TEST(RiffNavigator, ReadsAndSeeksStayInsideTheFile) {
  ByteVector file{1, 2, 3};
  Navigator navigator(file);
  EXPECT_EQ(navigator.seek(4), code::cannotSeek);
  EXPECT_EQ(navigator.seek(1), code::ok);
  std::uint8_t target[8] = {};
  EXPECT_EQ(navigator.read(target), 2u);
  EXPECT_EQ(target[1], 3);
  Chunk found;
  EXPECT_EQ(navigator.descendChunk(found, fourcc('d', 'a', 't', 'a')), code::chunkNotFound);
}

TEST(InfoText, Windows1252TextIsDecodedAndUtf8IsKept) {
  ByteVector legacy{'C', 'a', 'f', 0xE9, ' ', 0x80, 0, 'x'};
  EXPECT_EQ(infoText(legacy), "Caf\xC3\xA9 \xE2\x82\xAC");
  ByteVector utf8{'C', 'a', 'f', 0xC3, 0xA9, 0};
  EXPECT_EQ(infoText(utf8), "Caf\xC3\xA9");
}

}  // namespace
}  // namespace delvix::formats::riff
