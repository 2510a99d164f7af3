// The wave view as a user drives it: clicks that set the red lines, Delete, scrolling, saving one channel.
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/window_fixture.h"
#include "support/corpus.h"
#include "support/riff_builder.h"

namespace delvix::testing {
namespace {

// A 16-bit stereo file of `frames` frames at 8000 Hz; frame i holds i in the left channel and -i in the right.
ByteVector rampWave(int frames) {
  ByteVector data;
  for (int i = 0; i < frames; ++i) {
    appendLe16(data, static_cast<std::uint16_t>(i));
    appendLe16(data, static_cast<std::uint16_t>(-i));
  }
  return riff("WAVE", {waveFormat({.channels = 2, .bitsPerSample = 16}), chunk("data", data)});
}

class WaveView : public WindowTest {
 protected:
  void clickAt(const char* box, int x) {
    QTest::mouseClick(widget(box), Qt::LeftButton, {}, QPoint(x, widget(box)->height() / 2));
  }
  QString tableValue(int row) {
    return window().findChild<QTreeView*>("ListView1")->model()->index(row, 1).data().toString();
  }
};

TEST_F(WaveView, RedLinesDeleteAndScrolling) {
  window().resize(900, 600);
  window().show();
  openThroughDialog(write("ramp.wav", rampWave(8000)));
  auto* track = window().findChild<QSlider*>("TrackBar1");
  const int width = widget("PaintLeft")->width();
  EXPECT_EQ(track->maximum(), 8000 - width);

  clickAt("PaintLeft", 100);
  EXPECT_EQ(text("Panel9"), "0");
  EXPECT_FALSE(enabled("BDelete"));
  clickAt("PaintRight", 110);
  EXPECT_EQ(text("Panel9"), "11");  // frames 100 to 110, both lines included
  EXPECT_TRUE(enabled("BDelete"));
  // A release outside the box, as Qt delivers it to the box pressed, is no click.
  QTest::mouseRelease(widget("PaintLeft"), Qt::LeftButton, {}, QPoint(-5, 5));
  EXPECT_EQ(text("Panel9"), "11");

  selectTreeNode("data");
  QTest::mouseClick(static_cast<QToolButton*>(widget("BDelete")), Qt::LeftButton);
  EXPECT_EQ(tableValue(0), QString::number((8000 - 11) * 4));
  EXPECT_EQ(text("Panel9"), "0");
  EXPECT_FALSE(enabled("BDelete"));
  EXPECT_EQ(track->maximum(), 8000 - 11 - width);
  EXPECT_EQ(text("Panel5").trimmed(), QString("RIFF size: %1 bytes").arg(36 + (8000 - 11) * 4));

  track->setValue(4000);
  EXPECT_EQ(text("PanelForTime"), "0:00:00.500 (4000)");
  // Page Down goes forward in time by a box's width, Page Up back.
  QTest::keyClick(track, Qt::Key_PageDown);
  EXPECT_EQ(track->value(), 4000 + track->pageStep());
  QTest::keyClick(track, Qt::Key_PageUp);
  QTest::keyClick(track, Qt::Key_PageUp);
  EXPECT_EQ(track->value(), 4000 - track->pageStep());

  const auto left = files.path() / "left.wav";
  prompter.choose(left.string());
  QTest::mouseClick(static_cast<QToolButton*>(widget("BSaveLeft")), Qt::LeftButton);
  EXPECT_EQ(prompter.fileRequests.back().caption, "Save only left channel");
  const auto cut = files.path() / "cut.wav";
  prompter.choose(cut.string());
  window().ButSaveAllClick();
  if (haveProgram("sox")) {
    const std::string original = (files.path() / "ramp.wav").string();
    auto raw = [](const std::string& command) { return runAndCapture(command + " -t raw - | md5sum"); };
    EXPECT_EQ(raw("sox '" + cut.string() + "'"), raw("sox '" + original + "'" + " -t wav - trim 0 100s =111s | sox -"));
    EXPECT_EQ(raw("sox '" + left.string() + "'"), raw("sox '" + cut.string() + "' -t wav - remix 1 | sox -"));
    EXPECT_EQ(runAndCapture("soxi -c '" + left.string() + "'"), "1\n");
    EXPECT_EQ(runAndCapture("soxi -s '" + left.string() + "'"), "7989\n");
  }
  if (haveProgram("sndfile-info")) {
    EXPECT_NE(runAndCapture("sndfile-info '" + left.string() + "'").find("frames  : 7989"), std::string::npos);
  }
}

TEST_F(WaveView, AnEmptyDataChunkShowsGreenAndOffersNothing) {
  openThroughDialog(
      write("empty.wav", riff("WAVE", {waveFormat({.channels = 2, .bitsPerSample = 16}), chunk("data", {})})));
  for (const char* off : {"BPlayLeft", "BSaveLeft", "BPlayRight", "BDelete", "BRunPlay", "TrackBar1"})
    EXPECT_FALSE(enabled(off)) << off;
  EXPECT_EQ(text("PanelForTime"), "0:00:00.000");
  clickAt("PaintLeft", 3);
  EXPECT_EQ(text("Panel9"), "0");
}

TEST_F(WaveView, ChannelsAndWholeFilesPlayThroughTheOutputOrDecoded) {
  sound.supportedFormats = {{8000, 1, 16}, {8000, 2, 16}};
  openThroughDialog(write("ramp.wav", rampWave(100)));
  QTest::mouseClick(static_cast<QToolButton*>(widget("BPlayRight")), Qt::LeftButton);
  ASSERT_EQ(sound.played.size(), 1u);
  EXPECT_EQ(sound.played[0].format, (wave::PcmFormat{8000, 1, 16}));
  ASSERT_EQ(sound.played[0].bytes.size(), 200u);
  EXPECT_EQ(sound.played[0].bytes[2], 0xFF);  // frame 1 of the right channel: -1
  for (const char* off : {"BPlayLeft", "BPlayRight", "BRunPlay", "BSaveLeft", "BSaveRight", "BStopLeft"})
    EXPECT_FALSE(enabled(off)) << off;
  EXPECT_TRUE(enabled("BStopRight"));
  sound.finish();
  EXPECT_TRUE(enabled("BPlayRight"));
  EXPECT_FALSE(enabled("BStopRight"));

  // Stop comes back to the idle buttons through the end of the sound, once.
  QTest::mouseClick(static_cast<QToolButton*>(widget("BRunPlay")), Qt::LeftButton);
  EXPECT_EQ(sound.played.back().format, (wave::PcmFormat{8000, 2, 16}));
  QTest::mouseClick(static_cast<QToolButton*>(widget("BStopPlay")), Qt::LeftButton);
  EXPECT_EQ(sound.finishedCount, 2);
  EXPECT_TRUE(enabled("BRunPlay"));

  // What the output cannot take is decoded; an output that cannot be opened says so once.
  openThroughDialog(write(
      "deep.wav", riff("WAVE", {waveFormat({.channels = 2, .bitsPerSample = 24}), chunk("data", ByteVector(600, 0))})));
  QTest::mouseClick(static_cast<QToolButton*>(widget("BRunPlay")), Qt::LeftButton);
  EXPECT_EQ(sound.played.back().format, (wave::PcmFormat{8000, 2, 16}));
  EXPECT_EQ(sound.played.back().bytes.size(), 400u);
  sound.finish();
  sound.openError = "The sound output could not be opened.";
  prompter.messages.clear();
  QTest::mouseClick(static_cast<QToolButton*>(widget("BRunPlay")), Qt::LeftButton);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].caption, "Wave Error");
  EXPECT_TRUE(enabled("BRunPlay"));
  EXPECT_FALSE(enabled("BStopPlay"));
}

}  // namespace
}  // namespace delvix::testing
