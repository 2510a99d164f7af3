// The wave view as a user drives it: clicks that set the red lines, Delete, scrolling and zooming, a box for
// every channel, saving one channel.
#include "widgets/wave_view.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
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
  // Opens `file` and lets the boxes take their places, as they do when the window goes on.
  void openAndLayOut(const std::filesystem::path& file) {
    openThroughDialog(file);
    for (int round = 0; round < 3; ++round) QCoreApplication::processEvents();
  }
  QScrollBar* timeBar() { return window().findChild<QScrollBar*>("WaveScrollBar"); }
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    widget("WaveView1")->setFocus();
    QTest::keyClick(widget("WaveView1"), key, modifiers);
  }
  QString tableValue(int row) {
    return window().findChild<QTreeView*>("ListView1")->model()->index(row, 1).data().toString();
  }
};

TEST_F(WaveView, RedLinesDeleteAndScrolling) {
  window().resize(900, 600);
  window().show();
  openAndLayOut(write("ramp.wav", rampWave(8000)));
  QScrollBar* track = timeBar();
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
  // Page Down goes forward in time by a box's width, Page Up back; Home and End go to the ends.
  press(Qt::Key_PageDown);
  EXPECT_EQ(track->value(), 4000 + width);
  press(Qt::Key_PageUp), press(Qt::Key_PageUp);
  EXPECT_EQ(track->value(), 4000 - width);
  press(Qt::Key_End);
  EXPECT_EQ(text("PanelForTime"), QString("0:00:00.%1 (%2)").arg((7989 - width) / 8).arg(7989 - width));
  press(Qt::Key_Home);
  EXPECT_EQ(track->value(), 0);

  const auto left = files.path() / "left.wav";
  prompter.choose(left.string());
  QTest::mouseClick(static_cast<QToolButton*>(widget("BSaveLeft")), Qt::LeftButton);
  EXPECT_EQ(prompter.fileRequests.back().caption, "Save only left channel");
  const auto cut = files.path() / "cut.wav";
  prompter.choose(cut.string());
  EXPECT_TRUE(window().isWindowModified());
  window().ButSaveAllClick();  // written on another thread
  EXPECT_FALSE(window().isWindowModified());
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
  for (const char* off : {"BPlayLeft", "BSaveLeft", "BPlayRight", "BDelete", "BRunPlay", "WaveScrollBar"})
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

TEST_F(WaveView, ZoomFromOneFramePerColumnToTheWholeFileAndClicksAtAnyZoom) {
  window().resize(900, 600);
  window().show();
  openAndLayOut(write("ramp.wav", rampWave(8000)));
  const int width = widget("PaintLeft")->width();
  EXPECT_FALSE(enabled("BWaveZoomIn"));
  QTest::keyClick(&window(), Qt::Key_0, Qt::ControlModifier);  // the whole file
  EXPECT_FALSE(enabled("BWaveZoomOut"));
  EXPECT_EQ(timeBar()->maximum(), 0);
  // A click selects the frame under the mouse: column x covers frames from x * 8000 / width on.
  clickAt("PaintLeft", width / 2);
  clickAt("PaintRight", width / 2 + 1);
  EXPECT_EQ(text("Panel9"), QString::number(static_cast<int>((width / 2 + 1) * 8000.0 / width) -
                                            static_cast<int>(width / 2 * 8000.0 / width) + 1));
  QTest::keyClick(&window(), Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_TRUE(enabled("BWaveZoomOut"));
  EXPECT_GT(timeBar()->maximum(), 0);
  // Ctrl+wheel zooms in around the mouse: the frame under it stays there.
  const QPoint middle(width / 2, widget("PaintLeft")->height() / 2);
  const auto& view = window().findChild<app::WaveView*>("WaveView1")->state();
  const auto under = view.frameAt(middle.x());
  QWheelEvent wheel(middle, widget("PaintLeft")->mapToGlobal(middle), {}, {0, 120 * 20}, Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget("PaintLeft"), &wheel);
  EXPECT_FALSE(enabled("BWaveZoomIn"));
  EXPECT_EQ(view.frameAt(middle.x()), under);
  // Louder and softer, 1 to 64 times.
  for (int i = 0; i < 7; ++i) press(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_FALSE(enabled("BWaveLouder"));
  EXPECT_TRUE(enabled("BWaveSofter"));
}

// 16-bit PCM of six channels; channel c of frame i holds (c + 1) * 1000.
ByteVector sixChannels(int frames) {
  ByteVector data;
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < 6; ++c) appendLe16(data, static_cast<std::uint16_t>((c + 1) * 1000));
  return riff("WAVE", {waveFormat({.channels = 6, .bitsPerSample = 16}), chunk("data", data)});
}

TEST_F(WaveView, EveryChannelHasABoxWithItsNameAndItsOwnButtons) {
  sound.supportedFormats = {{8000, 1, 16}, {8000, 2, 16}};
  window().resize(900, 400);
  window().show();
  openAndLayOut(write("six.wav", sixChannels(500)));
  for (const char* box : {"PaintLeft", "PaintRight", "PaintChannel3", "PaintChannel6"})
    EXPECT_GE(widget(box)->height(), 60) << box;
  EXPECT_EQ(text("ChannelNameChannel6"), "Channel 6");
  // They do not fit: the channels scroll.
  EXPECT_GT(window().findChild<QScrollArea*>("WaveChannels")->verticalScrollBar()->maximum(), 0);

  QTest::mouseClick(static_cast<QToolButton*>(widget("BPlayChannel5")), Qt::LeftButton);
  ASSERT_EQ(sound.played.size(), 1u);
  EXPECT_EQ(sound.played[0].format, (wave::PcmFormat{8000, 1, 16}));
  ASSERT_EQ(sound.played[0].bytes.size(), 1000u);
  EXPECT_EQ(sound.played[0].bytes[0] | sound.played[0].bytes[1] << 8, 5000);
  EXPECT_TRUE(enabled("BStopChannel5"));
  EXPECT_FALSE(enabled("BPlayLeft"));
  QTest::mouseClick(static_cast<QToolButton*>(widget("BStopChannel5")), Qt::LeftButton);
  EXPECT_TRUE(enabled("BPlayChannel5"));

  // Play mixes every channel down to what the output takes.
  QTest::mouseClick(static_cast<QToolButton*>(widget("BRunPlay")), Qt::LeftButton);
  EXPECT_EQ(sound.played.back().format, (wave::PcmFormat{8000, 2, 16}));
  EXPECT_EQ(sound.played.back().bytes.size(), 2000u);
  sound.finish();

  const auto saved = files.path() / "five.wav";
  prompter.choose(saved.string());
  QTest::mouseClick(static_cast<QToolButton*>(widget("BSaveChannel5")), Qt::LeftButton);
  EXPECT_EQ(prompter.fileRequests.back().caption, "Save only channel 5");
  if (haveProgram("soxi")) {
    EXPECT_EQ(runAndCapture("soxi -c '" + saved.string() + "'"), "1\n");
  }
}

TEST_F(WaveView, WhatCannotBeDecodedOrCutSaysSo) {
  // A well-formed G.726 file: the view says why there is no wave; the tree stays.
  ByteVector g726 =
      riff("WAVE",
           {waveFormat({.formatTag = 0x64, .channels = 1, .bitsPerSample = 4, .blockAlign = 1, .extra = {2, 0, 0, 0}}),
            chunk("data", ByteVector(400, 0x5A))});
  openThroughDialog(write("g726.wav", g726));
  EXPECT_EQ(treeRows().size(), 1u);
  EXPECT_FALSE(enabled("BPlayLeft"));
  const QString message = widget("PaintLeft")->property("message").toString();
  EXPECT_EQ(message, "The wave encoding 0x0064 (G.726 ADPCM) cannot be decoded; its structure is shown.");
  // So does a header that claims more channels than boxes can be made for.
  openThroughDialog(write("many.wav", riff("WAVE", {waveFormat({.channels = 30000, .bitsPerSample = 16}),
                                                    chunk("data", ByteVector(60000 * 4, 1))})));
  EXPECT_EQ(widget("PaintLeft")->property("message").toString(),
            "The wave has 30000 channels; the view draws at most 64.");

  // An ADPCM file is drawn, but Delete says why it cannot cut it.
  const auto corpus = corpusFiles("wav");
  const auto adpcm = std::find_if(corpus.begin(), corpus.end(),
                                  [](const auto& file) { return file.filename() == "sox-ima-adpcm.wav"; });
  if (adpcm == corpus.end()) GTEST_SKIP() << "no corpus";
  window().show();
  openAndLayOut(*adpcm);
  EXPECT_TRUE(enabled("BPlayLeft"));
  clickAt("PaintLeft", 10);
  clickAt("PaintLeft", 20);
  prompter.messages.clear();
  QTest::mouseClick(static_cast<QToolButton*>(widget("BDelete")), Qt::LeftButton);
  ASSERT_FALSE(prompter.messages.empty());
  EXPECT_NE(prompter.messages.back().text.find("cannot be cut"), std::string::npos) << prompter.messages.back().text;
}

}  // namespace
}  // namespace delvix::testing
