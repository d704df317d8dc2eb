#pragma once
// A media device that plays nothing: it records what the transport bar asks of it and keeps the
// state a real device would be in, so that the bar and the window can be checked without sound.

#include <memory>
#include <string>
#include <vector>

#include "app/playback/media_device.h"

namespace tivenor::testing {

class FakeMediaDevice;

// Shared by the factory, its devices and the test.
struct FakeDeviceRecord {
  std::vector<std::string> calls;  // "open <file>", "play", "pause", ..., "close"
  std::string openFailure;         // when set, opening throws MediaDeviceError with it
  bool resumeFails = false;
  FakeMediaDevice* current = nullptr;  // the device open now
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
    playing_ = true;
    paused_ = false;
  }
  void Pause() override {
    record_->calls.push_back("pause");
    playing_ = false;
    paused_ = true;
  }
  bool Resume() override {
    record_->calls.push_back("resume");
    if (record_->resumeFails || !paused_) return false;
    playing_ = true;
    paused_ = false;
    return true;
  }
  void Stop() override {
    record_->calls.push_back("stop");
    playing_ = false;
    paused_ = false;
  }
  void SeekToStart() override {
    record_->calls.push_back("seek start");
    playing_ = paused_ = atEnd_ = false;
  }
  void SeekToEnd() override {
    record_->calls.push_back("seek end");
    playing_ = paused_ = false;
    atEnd_ = true;
  }
  bool IsPlaying() override { return playing_; }
  bool IsPaused() override { return paused_; }
  bool IsAtEnd() override { return atEnd_; }

  // The piece has played to its end.
  void Finish() {
    playing_ = false;
    atEnd_ = true;
  }

 private:
  std::shared_ptr<FakeDeviceRecord> record_;
  bool playing_ = false;
  bool paused_ = false;
  bool atEnd_ = false;
};

inline MediaDeviceFactory FakeDevices(std::shared_ptr<FakeDeviceRecord> record) {
  return [record](const std::string& fileName) -> std::unique_ptr<MediaDevice> {
    if (!record->openFailure.empty()) throw MediaDeviceError(record->openFailure);
    return std::make_unique<FakeMediaDevice>(record, fileName);
  };
}

}  // namespace tivenor::testing
