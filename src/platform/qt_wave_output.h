#pragma once

#include <QTimer>
#include <memory>

#include "platform/wave_output.h"

class QAudioSink;

namespace delvix::platform {

class PcmSourceDevice;

// The sound output on Qt Multimedia: a QAudioSink on the default output device that pulls from the source.
// Its notifications arrive on the user-interface thread, so `finished` is called there.
class QtWaveOutput : public WaveOutput {
 public:
  QtWaveOutput();
  // Stops what is playing without calling `finished`: whoever listens may be going away too.
  ~QtWaveOutput() override;
  QtWaveOutput(const QtWaveOutput&) = delete;
  QtWaveOutput& operator=(const QtWaveOutput&) = delete;

  bool supports(const wave::PcmFormat& format) const override;
  // A sound that is playing is stopped first (and its `finished` called).
  bool play(std::unique_ptr<wave::PcmSource> source, std::string& error) override;
  void stop() override;
  bool playing() const override { return sink_ != nullptr; }
  // What the sound server says it has played, but never past the sound's own bytes (silence follows them).
  std::uint64_t playedMicroseconds() const override;

 private:
  void stateChanged();
  void end();
  // Stops the sink and lets it go without a word to anyone.
  void release();

  // The sink owns the device it pulls from (a child object), so the source lives as long as the sink.
  std::unique_ptr<QAudioSink> sink_;
  PcmSourceDevice* device_ = nullptr;
  QMetaObject::Connection stateConnection_;
  // Started when the last bytes have been handed over: runs out when they have been heard.
  QTimer draining_;
};

}  // namespace delvix::platform
