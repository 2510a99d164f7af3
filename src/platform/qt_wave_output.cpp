#include "platform/qt_wave_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <limits>
#include <optional>
#include <span>

namespace delvix::platform {

// What the sink pulls from: the source's bytes, read as the sink asks for them, then some silence. After an
// underrun the sound server waits for its buffer to fill before it plays again; the silence fills it, so
// that the last bytes of the sound are played rather than left waiting when the output is closed.
class PcmSourceDevice : public QIODevice {
 public:
  PcmSourceDevice(std::unique_ptr<wave::PcmSource> source, QObject* parent)
      : QIODevice(parent),
        source_(std::move(source)),
        frameBytes_(static_cast<std::size_t>(std::max(source_->format().channels, 1)) *
                    static_cast<std::size_t>(std::max(source_->format().bitsPerSample / 8, 1))),
        silence_(source_->format().bitsPerSample == 8 ? 0x80 : 0) {}

  // How much silence follows the sound: at least `bytes`, in whole frames.
  void setTrailingSilence(std::size_t bytes) { silenceLeft_ = (bytes + frameBytes_ - 1) / frameBytes_ * frameBytes_; }

  // The bytes of the sound handed over so far, without the silence after it.
  std::uint64_t soundBytes() const { return soundBytes_; }

  bool isSequential() const override { return true; }
  bool atEnd() const override { return ended_; }
  qint64 bytesAvailable() const override {
    const auto left = std::min<std::uint64_t>(source_->remaining() + silenceLeft_, std::numeric_limits<qint32>::max());
    return static_cast<qint64>(left) + QIODevice::bytesAvailable();
  }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    // The sink asks for whole periods; less than a frame is not worth an answer.
    if (ended_ || maxSize < static_cast<qint64>(frameBytes_)) return 0;
    const std::span out(reinterpret_cast<std::uint8_t*>(data), static_cast<std::size_t>(maxSize));
    if (!sourceEnded_) {
      if (const std::size_t read = source_->read(out)) {
        soundBytes_ += read;
        return static_cast<qint64>(read);
      }
      sourceEnded_ = true;
    }
    const std::size_t silence = std::min(out.size() / frameBytes_ * frameBytes_, silenceLeft_);
    std::fill_n(out.begin(), silence, silence_);
    silenceLeft_ -= silence;
    if (silence == 0) ended_ = true;
    return static_cast<qint64>(silence);
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  std::unique_ptr<wave::PcmSource> source_;
  std::size_t frameBytes_;
  std::uint8_t silence_;
  std::size_t silenceLeft_ = 0;
  std::uint64_t soundBytes_ = 0;
  bool sourceEnded_ = false;
  bool ended_ = false;
};

namespace {

// Time for the output to play what it still holds after the end was handed over, beyond what its buffer says.
constexpr int drainMarginMs = 150;

std::optional<QAudioFormat> qtFormat(const wave::PcmFormat& pcm) {
  QAudioFormat format;
  switch (pcm.bitsPerSample) {
    case 8: format.setSampleFormat(QAudioFormat::UInt8); break;
    case 16: format.setSampleFormat(QAudioFormat::Int16); break;
    default: return std::nullopt;
  }
  if (pcm.channels < 1 || pcm.sampleRate < 1) return std::nullopt;
  format.setChannelCount(pcm.channels);
  format.setSampleRate(pcm.sampleRate);
  return format;
}

std::string errorText(QAudio::Error error) {
  switch (error) {
    case QAudio::NoError: return "no error";
    case QAudio::OpenError: return "the device refused to open";
    case QAudio::IOError: return "writing to the device failed";
    case QAudio::UnderrunError: return "the device ran out of sound";
    case QAudio::FatalError: return "the sound system is not available";
  }
  return "unknown error " + std::to_string(static_cast<int>(error));
}

std::string formatText(const wave::PcmFormat& pcm) {
  return std::to_string(pcm.sampleRate) + " Hz, " + std::to_string(pcm.channels) + " channel(s), " +
         std::to_string(pcm.bitsPerSample) + " bits";
}

}  // namespace

QtWaveOutput::QtWaveOutput() {
  draining_.setSingleShot(true);
  QObject::connect(&draining_, &QTimer::timeout, &draining_, [this] { end(); });
}

QtWaveOutput::~QtWaveOutput() { release(); }

bool QtWaveOutput::supports(const wave::PcmFormat& pcm) const {
  const std::optional<QAudioFormat> format = qtFormat(pcm);
  if (!format) return false;
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  return !device.isNull() && device.isFormatSupported(*format);
}

bool QtWaveOutput::play(std::unique_ptr<wave::PcmSource> source, std::string& error) {
  stop();
  if (!source) {
    error = "There is no sound to play.";
    return false;
  }
  const wave::PcmFormat pcm = source->format();
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) {
    error = "The sound output could not be opened: there is no sound output device.";
    return false;
  }
  const std::optional<QAudioFormat> format = qtFormat(pcm);
  if (!format || !device.isFormatSupported(*format)) {
    error = "The sound output cannot play this sound (" + formatText(pcm) + ").";
    return false;
  }
  auto sink = std::make_unique<QAudioSink>(device, *format);
  auto* pulled = new PcmSourceDevice(std::move(source), sink.get());
  pulled->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  sink->start(pulled);
  pulled->setTrailingSilence(static_cast<std::size_t>(std::max<qsizetype>(sink->bufferSize(), 0)));
  // A sink that cannot start (no sound server) says so only here, without a change of state.
  if (sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
    error = "The sound output could not be opened: " + errorText(sink->error()) + ".";
    sink->stop();
    sink.release()->deleteLater();
    return false;
  }
  sink_ = std::move(sink);
  device_ = pulled;
  stateConnection_ = QObject::connect(sink_.get(), &QAudioSink::stateChanged, sink_.get(), [this] { stateChanged(); });
  return true;
}

std::uint64_t QtWaveOutput::playedMicroseconds() const {
  if (!sink_) return 0;
  const QAudioFormat format = sink_->format();
  const auto frameBytes = static_cast<std::uint64_t>(std::max(format.bytesPerFrame(), 1));
  const auto rate = static_cast<std::uint64_t>(std::max(format.sampleRate(), 1));
  const std::uint64_t handedOver = device_->soundBytes() / frameBytes * 1'000'000 / rate;
  return std::min(static_cast<std::uint64_t>(std::max<qint64>(sink_->processedUSecs(), 0)), handedOver);
}

void QtWaveOutput::stateChanged() {
  switch (sink_->state()) {
    case QAudio::IdleState:
      // Idle is also what an underrun gives; only with the source at its end is it the end of the sound.
      if (device_->atEnd() && !draining_.isActive()) {
        const qint64 held = std::max<qint64>(sink_->bufferSize() - sink_->bytesFree(), 0);
        draining_.start(static_cast<int>(sink_->format().durationForBytes(static_cast<qint32>(held)) / 1000) +
                        drainMarginMs);
      }
      break;
    case QAudio::StoppedState: end(); break;  // the device went away: our own stop disconnects first
    default: break;
  }
}

void QtWaveOutput::stop() { end(); }

void QtWaveOutput::end() {
  if (!sink_) return;
  release();
  if (finished) finished();
}

void QtWaveOutput::release() {
  draining_.stop();
  if (!sink_) return;
  QObject::disconnect(stateConnection_);
  sink_->stop();
  // Not deleted here: this may run inside the sink's own signal.
  sink_.release()->deleteLater();
  device_ = nullptr;
}

}  // namespace delvix::platform
