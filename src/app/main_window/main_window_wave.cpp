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
#include "formats/wave_channels.h"
#include "sound/decoded_source.h"
#include "sound/sample_decoder.h"
#include "wave/mixdown.h"
#include "wave/pcm_source.h"
#include "wave/sample_cut.h"
#include "widgets/command_messages.h"
#include "widgets/wave_view.h"

namespace delvix::app {

namespace {

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
  const bool savable = waveDrawn_ && wave::sampleLayoutOf(document_.wave).has_value();
  for (int channel = 0; channel < WaveView1->channelCount(); ++channel) {
    const WaveView::ChannelButtons buttons = WaveView1->buttons(channel);
    buttons.play->setEnabled(waveDrawn_);
    buttons.stop->setEnabled(false);
    buttons.save->setEnabled(savable);
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

void TFormANI::playSound(std::unique_ptr<wave::PcmSource> source, QToolButton* stop, std::uint64_t first) {
  platform::WaveOutput* output = host_.waveOutput;
  if (!output) return waveError("There is no sound output.");
  stopSound();
  std::string error;
  // What the output cannot take as it is is decoded whole.
  if (!source || !output->supports(source->format())) {
    source = sound::decodedSource(document_, error);
    first = 0;
    if (!source) return waveError(error.empty() ? "The sound cannot be played." : error);
    if (!output->supports(source->format())) return waveError("The sound output cannot play this sound.");
  }
  playFirst_ = first;
  const wave::PcmFormat format = source->format();
  const auto frameBytes = static_cast<std::uint64_t>(std::max(1, format.channels * format.bitsPerSample / 8));
  playEnd_ = first + source->remaining() / frameBytes;
  for (int channel = 0; channel < WaveView1->channelCount(); ++channel) {
    WaveView1->buttons(channel).play->setEnabled(false);
    WaveView1->buttons(channel).save->setEnabled(false);
  }
  BRunPlay->setEnabled(false);
  stop->setEnabled(true);
  if (!output->play(std::move(source), error)) return waveError(error);
  if (output->playing()) playCursorTimer_->start();
}

void TFormANI::movePlayCursor() {
  platform::WaveOutput* output = host_.waveOutput;
  if (!output || !output->playing()) return playCursorTimer_->stop();
  WaveView1->setPlayCursor(
      wave::playedFrame(playFirst_, playEnd_, output->playedMicroseconds(), sampleRateOf(document_.wave)));
}

namespace {

// A source of the frames [first, end) of every channel mixed by `matrix`, or null when the samples cannot be read.
std::unique_ptr<wave::PcmSource> mixedFrames(const model::Document& document, wave::MixMatrix matrix,
                                             std::uint64_t first, std::uint64_t end) {
  auto reader = sound::openSamples(document).reader;
  if (!reader) return nullptr;
  return wave::mixedSource(std::move(reader), sampleRateOf(document.wave), std::move(matrix), first, end);
}

}  // namespace

void TFormANI::playChannel(int channel) {
  const int channels = WaveView1->channelCount();
  if (channel < 0 || channel >= channels) return;
  // 8- and 16-bit left and right channels play as they are; the others through a mix of one channel.
  auto source = channel < 2 ? wave::channelSource(document_, channel == 1) : nullptr;
  if (!source) {
    wave::MixMatrix matrix{channels, 1, std::vector<float>(static_cast<std::size_t>(channels), 0.0f)};
    matrix.gains[static_cast<std::size_t>(channel)] = 1;
    source = mixedFrames(document_, std::move(matrix), 0, waveFrames_);
  }
  playSound(std::move(source), WaveView1->buttons(channel).stop);
}

void TFormANI::BRunPlayClick() {
  // Between the red lines when both are set, otherwise from the first frame shown to the end.
  std::uint64_t first = WaveView1->state().first(), end = waveFrames_;
  if (const auto range = selection_.range()) first = range->first, end = range->second + 1;
  std::unique_ptr<wave::PcmSource> source;
  if (waveDrawn_ && host_.waveOutput) {
    const int rate = sampleRateOf(document_.wave);
    const int outputs = host_.waveOutput->supports({rate, 2, 16}) ? 2 : 1;
    source = mixedFrames(document_,
                         wave::downMixMatrix(WaveView1->channelCount(), wave::channelMaskOf(document_.wave), outputs),
                         first, end);
  }
  playSound(std::move(source), BStopPlay, first);
}

void TFormANI::BStopPlayClick() {
  stopSound();
  setWaveIdleButtons();
}

void TFormANI::saveChannel(int channel) {
  stopSound();
  const auto layout = wave::sampleLayoutOf(document_.wave);
  if (!layout || channel < 0 || channel >= layout->channels) return;
  const formats::ChannelView samples(
      document_.wave.samples, layout->frameBytes,
      static_cast<std::size_t>(channel) * static_cast<std::size_t>(layout->containerBytes),
      static_cast<std::size_t>(layout->containerBytes), layout->bigEndian);
  if (samples.frameCount() == 0) return;
  const QString name = WaveView1->channelName(channel).toLower();
  const std::string caption = "Save only " + (name.startsWith("channel") ? name : name + " channel").toStdString();
  const auto chosen = host_.prompter.saveFile({caption, "Music files (*.wav)|*.wav", folder_});
  if (!chosen) return;
  log_.add("wav-file for saving: " + *chosen);
  ToolBar1->update();
  CommandMessages messages(log_, host_.prompter, std::filesystem::path(*chosen).filename().string(), &commandMessages_);
  try {
    formats::saveSingleChannel(document_.wave.format, samples.gather(), *chosen, messages.reporter());
  } catch (const std::exception& error) {
    report(std::string("The file could not be saved: ") + error.what());
  }
}

}  // namespace delvix::app
