#include "browse/file_summary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>

#include "browse/browser_columns.h"
#include "browse/folder_listing.h"
#include "formats/pe/resource_directory.h"
#include "support/pe_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::browse {
namespace {

namespace fs = std::filesystem;
using testing::ByteVector;
using testing::chunk;
using testing::riff;
using testing::u32s;
using testing::waveFormat;

using ImageRow = std::array<std::string, 3>;
using WaveRow = std::array<std::string, 6>;

ByteVector le16s(std::initializer_list<std::uint16_t> values) {
  ByteVector bytes;
  for (std::uint16_t v : values) testing::appendLe16(bytes, v);
  return bytes;
}

ByteVector module() {
  testing::PeBuilder builder;
  builder.add(formats::pe::rtGroupIcon, std::string("MAIN"), testing::groupResource(1, {}));
  builder.add(formats::pe::rtGroupIcon, std::string("MAIN"), testing::groupResource(1, {}), 0x407);
  builder.add(formats::pe::rtGroupIcon, std::uint32_t{7}, testing::groupResource(1, {}));
  builder.add(formats::pe::rtGroupCursor, std::uint32_t{1}, testing::groupResource(2, {}));
  for (std::uint32_t id : {1u, 2u, 3u}) builder.add(formats::pe::rtBitmap, id, ByteVector(40, 0));
  return builder.build().bytes;
}

TEST(FileSummary, ImageColumnsByKind) {
  struct Case {
    const char* name;
    ByteVector bytes;
    ImageRow columns;
    bool reason = false;
  };
  const Case cases[] = {
      {"a.ico", le16s({0, 1, 3}), {"3", "", ""}},
      {"max.ICO", le16s({0, 1, 65535}), {"65535", "", ""}},
      {"short.ico", le16s({0, 1}), {"0", "", ""}, true},
      {"c.cur", le16s({0, 2, 2}), {"", "2", ""}},
      {"b.ani", riff("ACON", {testing::aniHeader({.frames = 8})}), {"", "8", ""}},
      {"info-first.ani",
       riff("ACON", {testing::list("INFO", {chunk("INAM", testing::text("x"))}), testing::aniHeader({.frames = 5})}),
       {"", "5", ""}},
      {"no-header.ani", riff("ACON", {chunk("rate", u32s({1}))}), {"", "0", ""}, true},
      {"short-header.ani", riff("ACON", {chunk("anih", u32s({36, 9}))}), {"", "0", ""}, true},
      // Its first bytes make it a wave file, which the image columns leave empty.
      {"other-form.ani", riff("WAVE", {testing::aniHeader({.frames = 8})}), {"", "", ""}, true},
      {"icon.wav", le16s({0, 1, 4}), {"4", "", ""}, true},
      {"cursor.bin", le16s({0, 2, 2}), {"", "2", ""}},
      {"m.dll", module(), {"2", "1", "3"}},
      {"not-a-module.exe", {'M', 'Z', 1, 2, 3}, {"0", "0", "0"}, true},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    const FileSummary summary = summarizeFile(dir.write(c.name, c.bytes));
    EXPECT_EQ(summary.access, Access::read) << c.name;
    EXPECT_EQ(imageColumns(summary), c.columns) << c.name;
    EXPECT_EQ(!summary.reason.empty(), c.reason) << c.name << ": " << summary.reason;
    EXPECT_EQ(summary.size, c.bytes.size()) << c.name;
  }
}

TEST(FileSummary, WaveColumnsTimeEveryFormatOrSayWhyNot) {
  const ByteVector gsmBlock = le16s({2, 320});
  const ByteVector imaBlock = le16s({2, 1017});
  struct Case {
    const char* name;
    ByteVector bytes;
    WaveRow columns;  // the size column is the file's size
    const char* reason = nullptr;
  };
  const Case cases[] = {
      {"pcm.wav",
       riff("WAVE", {waveFormat({.channels = 2, .samplesPerSecond = 44100, .bitsPerSample = 16}),
                     chunk("data", ByteVector(176400))}),
       {"", "1", "1", "2", "16", "44100"}},
      // The fact value counts sample frames.
      {"fact.wav",
       riff("WAVE", {waveFormat({.formatTag = 2, .samplesPerSecond = 22050, .bitsPerSample = 4, .blockAlign = 256}),
                     chunk("fact", u32s({22050})), chunk("data", ByteVector(100))}),
       {"", "1", "2", "1", "4", "22050"}},
      {"gsm.wav",
       riff("WAVE", {waveFormat({.formatTag = 0x31, .bitsPerSample = 0, .blockAlign = 65, .extra = gsmBlock}),
                     chunk("data", ByteVector(65 * 25))}),
       {"", "1", "49", "1", "0", "8000"}},
      // Whole blocks only: the partial one at the end is not counted.
      {"ima.wav",
       riff("WAVE", {waveFormat({.formatTag = 0x11,
                                 .samplesPerSecond = 22050,
                                 .bitsPerSample = 4,
                                 .blockAlign = 512,
                                 .extra = imaBlock}),
                     chunk("data", ByteVector(512 * 10 + 100))}),
       {"", "0.461", "17", "1", "4", "22050"}},
      {"float.wav",
       riff("WAVE",
            {waveFormat({.formatTag = 3, .channels = 2, .bitsPerSample = 32}), chunk("data", ByteVector(64000))}),
       {"", "1", "3", "2", "32", "8000"}},
      {"streamed.wav",
       riff("WAVE", {waveFormat({.bitsPerSample = 16}), chunk("data", ByteVector(16000), {.declaredSize = 0xFFFFFFFF})},
            0xFFFFFFFF),
       {"", "1", "1", "1", "16", "8000"}},
      {"unfinished.wav",
       riff("WAVE", {waveFormat({.bitsPerSample = 16}), chunk("data", ByteVector(16000, 1), {.declaredSize = 0})}, 0),
       {"", "1", "1", "1", "16", "8000"}},
      {"no-divisor.wav",
       riff("WAVE",
            {waveFormat({.formatTag = 0x31, .bitsPerSample = 0, .blockAlign = 65}), chunk("data", ByteVector(65))}),
       {"", " ? ", "49", "1", "0", "8000"},
       "no frame size"},
      {"no-rate.wav",
       riff("WAVE", {waveFormat({.samplesPerSecond = 0}), chunk("data", ByteVector(8))}),
       {"", " ? ", "1", "1", "8", "0"},
       "sample rate is 0"},
      {"no-data.wav", riff("WAVE", {waveFormat({})}), {"", " ? ", "1", "1", "8", "8000"}, "265"},
      {"fact-no-data.wav",
       riff("WAVE", {waveFormat({.formatTag = 2, .bitsPerSample = 4, .blockAlign = 256}), chunk("fact", u32s({4000}))}),
       {"", "0.5", "2", "1", "4", "8000"},
       "265"},
      {"fake.wav", {'h', 'e', 'l', 'l', 'o'}, {"", " ? ", "", "", "", ""}, "Not read as a wave file"},
  };
  testing::TempDir dir;
  for (const Case& c : cases) {
    const FileSummary summary = summarizeFile(dir.write(c.name, c.bytes));
    WaveRow expected = c.columns;
    expected[0] = std::to_string(c.bytes.size());
    EXPECT_EQ(waveColumns(summary), expected) << c.name;
    if (c.reason)
      EXPECT_NE(summary.reason.find(c.reason), std::string::npos) << c.name << ": " << summary.reason;
    else
      EXPECT_EQ(summary.reason, "") << c.name;
  }
}

// An RF64 file of 5 GB whose samples are a hole: its summary reads its first block only.
TEST(FileSummary, AHugeWaveFileCostsItsHeaderNotItsSamples) {
  constexpr std::uint64_t dataSize = 5'000'000'000;
  ByteVector header;
  auto put = [&](std::string_view text) { header.insert(header.end(), text.begin(), text.end()); };
  put("RF64");
  testing::appendLe32(header, 0xFFFFFFFF);
  put("WAVE");
  put("ds64");
  testing::appendLe32(header, 28);
  for (std::uint64_t value : {dataSize + 72, dataSize, dataSize / 4}) {
    testing::appendLe32(header, static_cast<std::uint32_t>(value));
    testing::appendLe32(header, static_cast<std::uint32_t>(value >> 32));
  }
  testing::appendLe32(header, 0);
  const ByteVector format = waveFormat({.channels = 2, .samplesPerSecond = 44100, .bitsPerSample = 16});
  header.insert(header.end(), format.begin(), format.end());
  put("data");
  testing::appendLe32(header, 0xFFFFFFFF);

  testing::TempDir dir;
  const fs::path file = dir.write("huge.wav", header);
  fs::resize_file(file, header.size() + dataSize);
  const FileSummary summary = summarizeFile(file);
  EXPECT_EQ(waveColumns(summary),
            (WaveRow{std::to_string(header.size() + dataSize), "2.83e+04", "1", "2", "16", "44100"}));
  EXPECT_LE(summary.bytesRead, 4096u);
}

TEST(FileSummary, AFifoIsListedButNeverOpened) {
  testing::TempDir dir;
  for (const char* name : {"x.wav", "x.ico"}) ASSERT_EQ(::mkfifo((dir.path() / name).c_str(), 0600), 0);
  auto listing = listFolder(dir.path(), ExtensionFilter({"wav", "ico"})).listing;
  ASSERT_TRUE(listing);
  ASSERT_EQ(listing->fileCount(), 2u);

  for (const FolderRow& row : listing->rows) {
    if (row.kind != RowKind::file) continue;
    auto pending = std::async(std::launch::async, [&] { return summarizeFile(row.path); });
    if (pending.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Let the blocked open return, then fail.
      ::close(::open(row.path.c_str(), O_WRONLY | O_NONBLOCK));
      FAIL() << row.caption << " blocked the summary";
    }
    const FileSummary summary = pending.get();
    EXPECT_EQ(summary.access, Access::notAFile);
    EXPECT_EQ(waveColumns(summary), WaveRow{});
    EXPECT_EQ(imageColumns(summary), ImageRow{});
  }
}

}  // namespace
}  // namespace delvix::browse
