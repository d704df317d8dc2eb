#pragma once
// A media device that plays nothing: it records what the transport bar asks of it and keeps the
// state a real device would be in, so that the bar and the window can be checked without sound.

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "adapters/sound/media_device.h"

namespace tivenor::testing {

class FakeMediaDevice;

// Shared by the factory, its devices and the test.
struct FakeDeviceRecord {
  std::vector<std::string> calls;  // "open <file>", "play", "pause", ..., "close"
  std::string openFailure;         // when set, opening throws MediaDeviceError with it
  bool resumeFails = false;
  FakeMediaDevice* current = nullptr;  // the device open now
  double ticksPerSecond = 160.0;       // how fast the piece moves while playing
  double lengthTicks = 4000.0;         // where its end lies
  int openDevices = 0;
};

class FakeMediaDevice : public MediaDevice {
 public:
  FakeMediaDevice(std::shared_ptr<FakeDeviceRecord> record, const std::string& fileName)
      : record_(std::move(record)) {
    record_->calls.push_back("open " + fileName);
    record_->current = this;
    ++record_->openDevices;
  }
  ~FakeMediaDevice() override {
    record_->calls.push_back("close");
    if (record_->current == this) record_->current = nullptr;
    --record_->openDevices;
  }

  void Play() override {
    record_->calls.push_back("play");
    if (atEnd_) return;
    Hold();
    playing_ = true;
    paused_ = false;
  }
  void Pause() override {
    record_->calls.push_back("pause");
    Hold();
    playing_ = false;
    paused_ = true;
  }
  bool Resume() override {
    record_->calls.push_back("resume");
    if (record_->resumeFails || !paused_) return false;
    Hold();
    playing_ = true;
    paused_ = false;
    return true;
  }
  void Stop() override {
    record_->calls.push_back("stop");
    Hold();
    playing_ = false;
    paused_ = false;
  }
  void SeekToStart() override {
    record_->calls.push_back("seek start");
    playing_ = paused_ = atEnd_ = false;
    heldTicks_ = 0.0;
  }
  void SeekToEnd() override {
    record_->calls.push_back("seek end");
    playing_ = paused_ = false;
    atEnd_ = true;
    heldTicks_ = record_->lengthTicks;
  }
  bool IsPlaying() override { return playing_; }
  bool IsPaused() override { return paused_; }
  bool IsAtEnd() override { return atEnd_; }
  // Moves with the clock while playing, at record.ticksPerSecond.
  double PositionTicks() override {
    if (!playing_) return heldTicks_;
    const std::chrono::duration<double> played = std::chrono::steady_clock::now() - since_;
    return std::min(record_->lengthTicks, heldTicks_ + played.count() * record_->ticksPerSecond);
  }

  double LengthTicks() override { return record_->lengthTicks; }

  // The piece has played to its end.
  void Finish() {
    playing_ = false;
    atEnd_ = true;
    heldTicks_ = record_->lengthTicks;
  }

 private:
  std::shared_ptr<FakeDeviceRecord> record_;
  // Keeps the position reached and restarts the clock from it.
  void Hold() {
    heldTicks_ = PositionTicks();
    since_ = std::chrono::steady_clock::now();
  }

  bool playing_ = false;
  bool paused_ = false;
  bool atEnd_ = false;
  double heldTicks_ = 0.0;
  std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
};

inline MediaDeviceFactory FakeDevices(std::shared_ptr<FakeDeviceRecord> record) {
  return [record](const std::string& fileName) -> std::unique_ptr<MediaDevice> {
    if (!record->openFailure.empty()) throw MediaDeviceError(record->openFailure);
    return std::make_unique<FakeMediaDevice>(record, fileName);
  };
}

}  // namespace tivenor::testing
