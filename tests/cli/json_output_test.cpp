#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "support/corpus.h"
#include "support/icon_builder.h"
#include "support/riff_builder.h"
#include "support/temp_dir.h"

namespace delvix::cli {
namespace {

// Runs delvix-cli with `args` and hands its output to Python's json module; what comes back is
// ascii(`expression`) over the parsed document `d`, or nothing when the output is not JSON.
std::string parsedByPython(const std::string& args, const std::string& expression) {
  return testing::runAndCapture("'" DELVIX_CLI_PATH "' " + args +
                                " | python3 -c 'import json,sys; d=json.load(sys.stdin); print(ascii((" + expression +
                                ")))'");
}

TEST(CliJson, TreeInfoAndBrowsePrintJsonThatParses) {
  if (!testing::haveProgram("python3")) GTEST_SKIP() << "python3 is not there";
  testing::TempDir dir;
  testing::IconFile icon;
  icon.entries.push_back({testing::DibImage{.width = 16, .height = 16, .bitCount = 4}.bytes()});
  const auto iconPath = dir.write("a.ico", icon.bytes());
  dir.write(std::string("\xff") + ".ico", {0, 0, 1, 0, 3, 0});
  dir.write("b.wav",
            testing::riff("WAVE", {testing::waveFormat({.channels = 2, .samplesPerSecond = 44100, .bitsPerSample = 16}),
                                   testing::chunk("data", testing::ByteVector(1000000))}));
  dir.write("c.wav", {'n', 'o'});
  const std::string quoted = "'" + dir.path().string() + "/";

  struct Case {
    std::string args, expression, expected;
  };
  const Case cases[] = {
      {"tree " + quoted + "a.ico' --json",
       "d[\"kind\"], d[\"file\"].endswith(\"a.ico\"), len(d[\"nodes\"]) > 0, "
       "all(isinstance(f[\"editable\"], bool) and isinstance(f[\"value\"], str) "
       "for n in d[\"nodes\"] for f in n[\"fields\"])",
       "('icon', True, True, True)\n"},
      {"info " + quoted + "b.wav' --json",
       "d[\"kind\"], d[\"channels\"], d[\"samples_per_second\"], d[\"data_bytes\"], d[\"playing_time\"], "
       "d[\"sample_frames\"]",
       "('wave', 2, 44100, 1000000, 5.67, 250000)\n"},
      {"info " + quoted + "a.ico' --json", "d[\"kind\"], d[\"images\"]", "('icon', 1)\n"},
      {"browse " + quoted + "' --json", "[(r[\"name\"], r[\"columns\"][\"icons\"]) for r in d[\"rows\"]]",
       "[('a.ico', 1), ('\\ufffd.ico', 3)]\n"},
      {"browse --wav " + quoted + "' --json",
       "[(r[\"name\"], r[\"columns\"][\"time\"], r[\"columns\"][\"channels\"], \"reason\" in r) for r in d[\"rows\"]]",
       "[('b.wav', 5.67, 2, False), ('c.wav', None, None, True)]\n"},
      {"extract " + quoted + "a.ico' " + quoted + "c.wav' " + quoted + "out' --json",
       "d[\"failed\"], [(f[\"ok\"], [w.split(\"/\")[-2:] for w in f[\"written\"]]) for f in d[\"files\"]]",
       "(1, [(True, [['a.ico', 'picture_1.ico']]), (False, [])])\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(parsedByPython(c.args, c.expression), c.expected) << c.args;

  CliRun fields({"fields", iconPath.string(), "--json"});
  EXPECT_EQ(fields.status, exitUsage);
}

// The largest memory delvix-cli takes for `args`, in KiB, as /usr/bin/time measures it.
long peakKilobytes(const std::string& args) {
  const std::string peak =
      testing::runAndCapture("/usr/bin/time -f %M '" DELVIX_CLI_PATH "' " + args + " 2>&1 >/dev/null | tail -n 1");
  return std::atol(peak.c_str());
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DELVIX_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define DELVIX_UNDER_ASAN 1
#endif

TEST(CliJson, TreeOfAHundredThousandChunksTakesMemoryInProportion) {
#ifdef DELVIX_UNDER_ASAN
  GTEST_SKIP() << "the sanitizer's own memory would be measured";
#endif
  if (!std::filesystem::exists("/usr/bin/time")) GTEST_SKIP() << "/usr/bin/time is not there";
  testing::TempDir dir;
  const testing::ByteVector empty = testing::chunk("JUNK", {});
  testing::ByteVector junk;
  for (int i = 0; i < 100000; ++i) junk.insert(junk.end(), empty.begin(), empty.end());
  const testing::ByteVector file =
      testing::riff("WAVE", {testing::waveFormat({}), junk, testing::chunk("data", testing::ByteVector(4))});
  const auto wave = dir.write("many.wav", file);
  const long limit = static_cast<long>(16 * file.size() / 1024) + 32 * 1024;
  EXPECT_LE(peakKilobytes("tree --json '" + wave.string() + "'"), limit);
}

}  // namespace
}  // namespace delvix::cli
