// The wave view: every channel drawn, zoomed and scrolled, red lines set by clicks, Delete, playing with a play
// cursor, and saving channels.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "app/main_window/main_window.h"
#include "formats/wav_writer.h"
#include "sound/playback.h"
#include "sound/sample_decoder.h"
#include "wave/mixdown.h"
#include "wave/pcm_source.h"
#include "wave/sample_cut.h"
#include "widgets/command_messages.h"
#include "widgets/wave_view.h"

namespace delvix::app {

namespace {

// More boxes than this would take the window's memory and time for a file whose header may well lie.
constexpr int mostChannelsDrawn = 64;

int sampleRateOf(const model::WaveState& wave) {
  return static_cast<int>(std::min<std::uint32_t>(wave.format.samplesPerSecond, 1'000'000'000));
}

}  // namespace

void TFormANI::clearWaveView() {
  stopSound();
  waveFrames_ = 0;
  waveDrawn_ = false;
  selection_.clear();
  WaveView1->showMessage({});
  PanelForTime->setText(QString::fromStdString(wave::clockText(0)));
  Panel9->setText("0");
  setWaveIdleButtons();
  BRunPlay->setEnabled(false);
  BDelete->setEnabled(false);
}

void TFormANI::prepareWaveView() {
  const bool again = waveDrawn_;  // after a cut, an undo or a redo the view keeps its place and zoom
  sound::OpenedSamples opened = sound::openSamples(document_);
  if (opened.reader && opened.reader->channels() > mostChannelsDrawn) {
    opened.problem = "The wave has " + std::to_string(opened.reader->channels()) +
                     " channels; the view draws at most " + std::to_string(mostChannelsDrawn) + ".";
    opened.reader.reset();
  }
  selection_.clear();
  waveDrawn_ = opened.reader && opened.reader->frames() > 0;
  waveFrames_ = opened.reader ? opened.reader->frames() : 0;
  if (opened.reader) {
    // The summary's thread reads through a reader of its own.
    auto summaryReader = sound::openSamples(document_).reader;
    WaveView1->showSamples(std::move(opened.reader), std::move(summaryReader), wave::channelNamesOf(document_.wave),
                           again);
  } else {
    WaveView1->showMessage(QString::fromStdString(opened.problem));
  }
  WaveView1->setRedLines({}, {});
  Panel9->setText(QString::fromStdString(selection_.countText()));
  BDelete->setEnabled(false);
  waveViewMoved();
  setWaveIdleButtons();
}

void TFormANI::waveViewMoved() {
  const wave::ViewState& view = WaveView1->state();
  PanelForTime->setText(
      QString::fromStdString(wave::frameTimeText(view.first(), waveFrames_, document_.wave.playingTime)));
  BWaveZoomIn->setEnabled(waveDrawn_ && view.canZoomIn());
  BWaveZoomOut->setEnabled(waveDrawn_ && view.canZoomOut());
  BWaveShowAll->setEnabled(waveDrawn_ && view.canZoomOut());
  BWaveLouder->setEnabled(waveDrawn_ && view.canAmplify());
  BWaveSofter->setEnabled(waveDrawn_ && view.canSoften());
}

void TFormANI::waveFrameClicked(std::uint64_t frame) {
  if (document_.kind != model::FileKind::wave || waveFrames_ == 0) return;
  if (!selection_.click(frame, waveFrames_)) return;
  WaveView1->setRedLines(selection_.first(), selection_.second());
  Panel9->setText(QString::fromStdString(selection_.countText()));
  BDelete->setEnabled(selection_.complete());
}

void TFormANI::BDeleteClick() {
  const auto range = selection_.range();
  if (!range) return;
  if (const std::string refusal = wave::cutRefusal(document_.wave); !refusal.empty()) return report(refusal);
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
  // A sound that is playing goes on from the old samples, which it keeps alive; the summary starts again.
  prepareWaveView();
  Panel5->setText(QString::fromStdString(document_.statusText));
  Panel5->setToolTip(Panel5->text());
  if (const model::Node* node = selectedTreeNode(); node && (node->name() == "fact" || node->name() == "data"))
    listSelectedNode(*node);
}

void TFormANI::setWaveIdleButtons() {
  playCursorTimer_->stop();
  WaveView1->setPlayCursor(std::nullopt);
  for (int channel = 0; channel < WaveView1->channelCount(); ++channel) {
    const WaveView::ChannelButtons buttons = WaveView1->buttons(channel);
    buttons.play->setEnabled(waveDrawn_);
    buttons.stop->setEnabled(false);
    buttons.save->setEnabled(waveDrawn_ && formats::singleChannelRefusal(document_.wave, channel).empty());
  }
  BStopPlay->setEnabled(false);
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
  for (int channel = 0; channel < WaveView1->channelCount(); ++channel) {
    WaveView1->buttons(channel).play->setEnabled(false);
    WaveView1->buttons(channel).save->setEnabled(false);
  }
  BRunPlay->setEnabled(false);
  stop->setEnabled(true);
  // Every encoding is decoded, and all channels are mixed down to what the output takes.
  std::string error;
  if (!sound::playOn(*output, document_, range, error)) return waveError(error);
  playFirst_ = range.first;
  playEnd_ = std::min(range.end, waveFrames_);
  if (output->playing()) playCursorTimer_->start();
}

void TFormANI::movePlayCursor() {
  platform::WaveOutput* output = host_.waveOutput;
  if (!output || !output->playing()) return playCursorTimer_->stop();
  WaveView1->setPlayCursor(
      wave::playedFrame(playFirst_, playEnd_, output->playedMicroseconds(), sampleRateOf(document_.wave)));
}

void TFormANI::playChannel(int channel) {
  if (channel < 0 || channel >= WaveView1->channelCount()) return;
  playSound({.channel = channel}, WaveView1->buttons(channel).stop);
}

void TFormANI::BRunPlayClick() {
  // Between the red lines when both are set, otherwise from the first frame shown to the end.
  sound::PlayRange range{.first = WaveView1->state().first()};
  if (const auto selected = selection_.range()) range = {.first = selected->first, .end = selected->second + 1};
  playSound(range, BStopPlay);
}

void TFormANI::BStopPlayClick() {
  stopSound();
  setWaveIdleButtons();
}

void TFormANI::saveChannel(int channel) {
  stopSound();
  if (channel < 0 || channel >= WaveView1->channelCount()) return;
  const QString name = WaveView1->channelName(channel).toLower();
  const std::string caption = "Save only " + (name.startsWith("channel") ? name : name + " channel").toStdString();
  const auto chosen = host_.prompter.saveFile({caption, "Music files (*.wav)|*.wav", folder_});
  if (!chosen) return;
  log_.add("wav-file for saving: " + *chosen);
  ToolBar1->update();
  CommandMessages messages(log_, host_.prompter, std::filesystem::path(*chosen).filename().string(), &commandMessages_);
  try {
    const std::filesystem::path target(*chosen);
    saveInBackground(
        target,
        [wave = document_.wave, channel, target](formats::Reporter& said, const formats::WriteProgress& progress) {
          return formats::saveSingleChannel(wave, channel, target, said, progress);
        },
        messages.reporter());
  } catch (const std::exception& error) {
    report(std::string("The file could not be saved: ") + error.what());
  }
}

}  // namespace delvix::app
