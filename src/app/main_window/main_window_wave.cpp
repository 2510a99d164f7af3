// The wave view: the channels drawn and scrolled, red lines set by clicks, Delete, playing and saving channels.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "app/main_window/main_window.h"
#include "formats/wav_writer.h"
#include "sound/playback.h"
#include "wave/pcm_source.h"
#include "wave/sample_cut.h"
#include "widgets/command_messages.h"
#include "widgets/waveform_box.h"

namespace delvix::app {

void TFormANI::prepareWaveView() {
  channels_ = formats::prepareChannels(document_.wave);
  waveFrames_ = channels_.frameCount;
  const bool drawn = waveFrames_ > 0;
  PaintLeft->setChannel(drawn ? &channels_.left : nullptr);
  PaintRight->setChannel(drawn && channels_.layout.channels == 2 ? &channels_.right : nullptr);
  selection_.clear();
  PaintLeft->setRedLines({}, {});
  PaintRight->setRedLines({}, {});
  Panel9->setText(QString::fromStdString(selection_.countText()));
  BDelete->setEnabled(false);
  TrackBar1->setEnabled(drawn);
  applyTrackScale();
  TrackBar1Change(TrackBar1->value());
  setWaveIdleButtons();
}

void TFormANI::applyTrackScale() {
  trackScale_ = wave::trackScale(waveFrames_, PaintLeft->width());
  const QSignalBlocker quiet(TrackBar1);
  TrackBar1->setMaximum(trackScale_.maximum);
  TrackBar1->setTickInterval(trackScale_.tickInterval);
  TrackBar1->setTickPosition(trackScale_.tickInterval > 0 ? QSlider::TicksBelow : QSlider::NoTicks);
  // Page Up and Page Down move by a box's width.
  TrackBar1->setPageStep(static_cast<int>(std::max<std::uint64_t>(
      1, static_cast<std::uint64_t>(PaintLeft->width()) / std::max<std::uint64_t>(1, trackScale_.step))));
}

void TFormANI::TrackBar1Change(int position) {
  const std::uint64_t first = trackScale_.firstFrameAt(position);
  PaintLeft->setFirstFrame(first);
  PaintRight->setFirstFrame(first);
  PanelForTime->setText(QString::fromStdString(wave::frameTimeText(first, waveFrames_, document_.wave.playingTime)));
}

void TFormANI::PaintLeftMouseUp(int x) {
  if (document_.kind != model::FileKind::wave || waveFrames_ == 0) return;
  if (!selection_.click(trackScale_.firstFrameAt(TrackBar1->value()) + static_cast<std::uint64_t>(x), waveFrames_))
    return;
  for (WaveformBox* box : {PaintLeft, PaintRight}) box->setRedLines(selection_.first(), selection_.second());
  Panel9->setText(QString::fromStdString(selection_.countText()));
  BDelete->setEnabled(selection_.complete());
}

void TFormANI::BDeleteClick() {
  const auto range = selection_.range();
  if (!range) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::uint64_t frames = range->second - range->first + 1;
  const bool cut =
      history_.perform(document_, "Delete " + std::to_string(frames) + (frames == 1 ? " sample" : " samples"),
                       [&] { return wave::cutFrames(document_, range->first, range->second); });
  QApplication::restoreOverrideCursor();
  if (!cut) {
    report("The samples could not be deleted.");
    return;
  }
  // A sound that is playing goes on from the old samples, which it keeps alive.
  prepareWaveView();
  Panel5->setText(QString::fromStdString(document_.statusText));
  Panel5->setToolTip(Panel5->text());
  if (const model::Node* node = selectedTreeNode(); node && (node->name() == "fact" || node->name() == "data"))
    listSelectedNode(*node);
}

void TFormANI::setWaveIdleButtons() {
  const bool pcm = waveFrames_ > 0;
  const bool stereo = pcm && channels_.layout.channels == 2;
  for (QToolButton* stop : {BStopLeft, BStopRight, BStopPlay}) stop->setEnabled(false);
  BPlayLeft->setEnabled(pcm);
  BSaveLeft->setEnabled(pcm);
  BPlayRight->setEnabled(stereo);
  BSaveRight->setEnabled(stereo);
  BRunPlay->setEnabled(document_.kind == model::FileKind::wave && document_.wave.dataSize > 0);
}

void TFormANI::stopSound() {
  if (host_.waveOutput && host_.waveOutput->playing()) host_.waveOutput->stop();
}

void TFormANI::waveError(const std::string& text) {
  host_.prompter.show({text, platform::MessageButtons::ok, platform::MessageIcon::error, "Wave Error"});
  log_.add(text);
  setWaveIdleButtons();
}

void TFormANI::playSound(const sound::PlayRange& range, QToolButton* stop) {
  platform::WaveOutput* output = host_.waveOutput;
  if (!output) return waveError("There is no sound output.");
  stopSound();
  for (QToolButton* button : {BPlayLeft, BPlayRight, BRunPlay, BSaveLeft, BSaveRight}) button->setEnabled(false);
  stop->setEnabled(true);
  // Every encoding is decoded, and all channels are mixed down to what the output takes.
  std::string error;
  if (!sound::playOn(*output, document_, range, error)) waveError(error);
}

void TFormANI::playChannel(bool right) { playSound({.channel = right ? 1 : 0}, right ? BStopRight : BStopLeft); }

void TFormANI::BPlayLeftClick() { playChannel(false); }
void TFormANI::BPlayRightClick() { playChannel(true); }
void TFormANI::BRunPlayClick() { playSound({}, BStopPlay); }

void TFormANI::BStopLeftClick() {
  stopSound();
  setWaveIdleButtons();
}
void TFormANI::BStopRightClick() { BStopLeftClick(); }
void TFormANI::BStopPlayClick() { BStopLeftClick(); }

void TFormANI::saveChannel(bool right) {
  stopSound();
  const formats::ChannelView& channel = right ? channels_.right : channels_.left;
  if (channel.frameCount() == 0) return;
  const auto chosen = host_.prompter.saveFile(
      {right ? "Save only right channel" : "Save only left channel", "Music files (*.wav)|*.wav", folder_});
  if (!chosen) return;
  log_.add("wav-file for saving: " + *chosen);
  ToolBar1->update();
  CommandMessages messages(log_, host_.prompter, std::filesystem::path(*chosen).filename().string(), &commandMessages_);
  try {
    formats::saveSingleChannel(document_, right ? 1 : 0, *chosen, messages.reporter());
  } catch (const std::exception& error) {
    report(std::string("The file could not be saved: ") + error.what());
  }
}

void TFormANI::BSaveLeftClick() { saveChannel(false); }
void TFormANI::BSaveRightClick() { saveChannel(true); }

}  // namespace delvix::app
