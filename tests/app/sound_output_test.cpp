#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <numbers>

#include "formats/wav_reader.h"
#include "platform/qt_wave_output.h"
#include "sound/playback.h"
#include "support/riff_builder.h"

// The real sound output against a PulseAudio server: scripts/test.sh starts one with a null sink named
// "ci_null" and passes its XDG_RUNTIME_DIR; without one these tests are skipped.
namespace delvix::testing {

namespace {

constexpr int rate = 44100;

// A sine tone as 16-bit mono. It can keep the output waiting once, as a busy user-interface thread would,
// so that the sound runs dry for a while.
class ToneSource : public wave::PcmSource {
 public:
  ToneSource(double seconds, double frequency, double amplitude = 12000, double stallAtSecond = 1e9)
      : frames_(static_cast<std::size_t>(seconds * rate)),
        step_(frequency),
        amplitude_(amplitude),
        stallAt_(static_cast<std::size_t>(stallAtSecond * rate)) {}
  wave::PcmFormat format() const override { return {rate, 1, 16}; }
  std::size_t read(std::span<std::uint8_t> out) override {
    if (!stalled_ && next_ >= stallAt_) {
      stalled_ = true;
      QTest::qSleep(400);
    }
    const std::size_t count = std::min(out.size() / 2, frames_ - next_);
    for (std::size_t i = 0; i < count; ++i, ++next_) {
      const double phase = 2 * std::numbers::pi * step_ * static_cast<double>(next_) / rate;
      const auto sample =
          static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lrint(amplitude_ * std::sin(phase))));
      out[2 * i] = static_cast<std::uint8_t>(sample & 0xFF);
      out[2 * i + 1] = static_cast<std::uint8_t>(sample >> 8);
    }
    return count * 2;
  }
  std::uint64_t remaining() const override { return (frames_ - next_) * 2; }

 private:
  std::size_t frames_;
  std::size_t next_ = 0;
  double step_;
  double amplitude_;
  std::size_t stallAt_;
  bool stalled_ = false;
};

// Why the sound server cannot be used, or empty when it answers. Only a server with the null sink is used, so
// that running the tests on a desktop plays nothing aloud.
std::string serverMissing() {
  if (!std::getenv("XDG_RUNTIME_DIR")) return "XDG_RUNTIME_DIR is not set (no sound server started)";
  if (std::system("pactl info > /dev/null 2>&1") != 0) return "the PulseAudio server does not answer";
  if (std::system("pactl list short sinks 2> /dev/null | grep -qw ci_null") != 0)
    return "the sound server has no null sink ci_null (scripts/test.sh starts one)";
  return {};
}

// The strength of one frequency in the samples (Goertzel).
double power(std::span<const double> samples, double frequency) {
  const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
  double previous = 0, beforePrevious = 0;
  for (double sample : samples) {
    const double current = sample + coefficient * previous - beforePrevious;
    beforePrevious = previous;
    previous = current;
  }
  return previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
}

// What the null sink plays, recorded as 16-bit stereo at 44100 Hz from its monitor.
class Recording {
 public:
  Recording() {
    parec_.start("parec", {"-d", "ci_null.monitor", "--latency-msec=20", "--raw", "--format=s16le",
                           QString("--rate=%1").arg(rate), "--channels=2"});
    started_ = parec_.waitForStarted(10000) && QTest::qWaitFor([this] { return parec_.bytesAvailable() > 0; }, 10000);
  }
  bool started() const { return started_; }
  // The left channel of everything recorded.
  std::vector<double> stop() {
    ::kill(static_cast<pid_t>(parec_.processId()), SIGINT);
    parec_.waitForFinished(10000);
    const QByteArray bytes = parec_.readAllStandardOutput();
    std::vector<double> left;
    for (qsizetype i = 0; i + 3 < bytes.size(); i += 4)
      left.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                               static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    return left;
  }

 private:
  QProcess parec_;
  bool started_ = false;
};

TEST(SoundOutput, PlaysASoundToItsEndAndSaysSoOnce) {
  if (const std::string missing = serverMissing(); !missing.empty()) GTEST_SKIP() << missing;
  platform::QtWaveOutput output;
  int finished = 0;
  output.finished = [&] { ++finished; };
  EXPECT_TRUE(output.supports({rate, 1, 16}));
  EXPECT_TRUE(output.supports({8000, 2, 8}));
  EXPECT_FALSE(output.supports({rate, 1, 24}));

  Recording recording;
  ASSERT_TRUE(recording.started()) << "parec did not record";
  std::string error;
  // An underrun on the way is not the end, and what follows it is heard too.
  ASSERT_TRUE(output.play(std::make_unique<ToneSource>(0.5, 440, 12000, 0.4), error)) << error;
  EXPECT_TRUE(output.playing());
  EXPECT_TRUE(QTest::qWaitFor([&] { return finished > 0; }, 20000));
  EXPECT_FALSE(output.playing());
  QTest::qWait(300);
  const std::vector<double> left = recording.stop();
  EXPECT_EQ(finished, 1);

  // The tone is heard, all of it (0.5 s): count the 20 ms blocks that carry it (the underrun may split one).
  constexpr std::size_t block = rate / 50;
  std::vector<double> heard;
  for (std::size_t start = 0; start + block <= left.size(); start += block) {
    const std::span<const double> samples(left.data() + start, block);
    double energy = 0;
    for (double sample : samples) energy += sample * sample;
    if (std::sqrt(energy / block) > 2000) heard.insert(heard.end(), samples.begin(), samples.end());
  }
  EXPECT_GE(heard.size(), 23 * block);
  EXPECT_LE(heard.size(), 27 * block);
  EXPECT_GT(power(heard, 440), 100 * power(heard, 1000));
}

TEST(SoundOutput, StopEndsTheSoundAtOnceAndSaysSoOnce) {
  if (const std::string missing = serverMissing(); !missing.empty()) GTEST_SKIP() << missing;
  platform::QtWaveOutput output;
  int finished = 0;
  output.finished = [&] { ++finished; };
  std::string error;
  // Silent, so that it cannot blur the recording of a test running beside it.
  ASSERT_TRUE(output.play(std::make_unique<ToneSource>(5, 440, 0), error)) << error;
  QTest::qWait(300);
  EXPECT_EQ(finished, 0);
  output.stop();
  EXPECT_EQ(finished, 1);
  EXPECT_FALSE(output.playing());
  output.stop();
  QTest::qWait(300);
  EXPECT_EQ(finished, 1);
}

// A wave file of six channels (5.1 without a mask) whose only sound, a 440 Hz tone, is on the third: the
// centre. Mixed down to stereo it is heard on both sides, and the play position moves as it is heard.
TEST(SoundOutput, AllChannelsOfASixChannelFileAreHeard) {
  if (const std::string missing = serverMissing(); !missing.empty()) GTEST_SKIP() << missing;
  constexpr int channels = 6;
  constexpr std::size_t frames = rate / 2;
  testing::ByteVector samples(frames * channels * 2, 0);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    const auto sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(
        std::lrint(26000 * std::sin(2 * std::numbers::pi * 440 * static_cast<double>(frame) / rate))));
    samples[(frame * channels + 2) * 2] = static_cast<std::uint8_t>(sample & 0xFF);
    samples[(frame * channels + 2) * 2 + 1] = static_cast<std::uint8_t>(sample >> 8);
  }
  model::Document document;
  formats::RecordingReporter reporter;
  ASSERT_TRUE(formats::readWaveFile(
      testing::riff("WAVE", {testing::waveFormat({.channels = channels, .samplesPerSecond = rate, .bitsPerSample = 16}),
                             testing::chunk("data", samples)}),
      document, reporter));

  platform::QtWaveOutput output;
  int finished = 0;
  output.finished = [&] { ++finished; };
  Recording recording;
  ASSERT_TRUE(recording.started()) << "parec did not record";
  std::string error;
  ASSERT_TRUE(sound::playOn(output, document, {}, error)) << error;
  std::vector<std::uint64_t> positions;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        if (output.playing()) positions.push_back(output.playedMicroseconds());
        return finished > 0;
      },
      20000));
  QTest::qWait(300);
  const std::vector<double> left = recording.stop();

  EXPECT_TRUE(std::ranges::is_sorted(positions));
  ASSERT_FALSE(positions.empty());
  EXPECT_GT(positions.back(), 300'000u);  // seen near the end
  EXPECT_LE(positions.back(), 500'000u);
  double energy = 0;
  for (double sample : left) energy += sample * sample;
  EXPECT_GT(std::sqrt(energy / static_cast<double>(std::max<std::size_t>(left.size(), 1))), 500) << "silence";
  EXPECT_GT(power(left, 440), 100 * power(left, 1000));
}

// Run alone by the test below, in a process of its own: Qt connects to the sound server once per process.
TEST(SoundOutput, DISABLED_WithoutAServerPlayFailsWithAText) {
  platform::QtWaveOutput output;
  int finished = 0;
  output.finished = [&] { ++finished; };
  std::string error;
  EXPECT_FALSE(output.play(std::make_unique<ToneSource>(0.5, 440), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(output.playing());
  QTest::qWait(100);
  EXPECT_EQ(finished, 0);
  std::printf("play: %s\n", error.c_str());
}

TEST(SoundOutput, WithoutAServerPlayFailsWithATextAndDoesNotHang) {
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PULSE_SERVER", "unix:/nonexistent/delvix-no-sound-server");
  environment.remove("XDG_RUNTIME_DIR");
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(
      QCoreApplication::applicationFilePath(),
      {"--gtest_also_run_disabled_tests", "--gtest_filter=SoundOutput.DISABLED_WithoutAServerPlayFailsWithAText"});
  ASSERT_TRUE(child.waitForFinished(60000)) << "playing without a sound server hangs";
  const QByteArray output = child.readAll();
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("play: The sound output could not be opened")) << output.toStdString();
}

}  // namespace

}  // namespace delvix::testing
