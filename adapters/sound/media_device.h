#pragma once
// A media device opened on one MIDI file: the operations behind the transport bar's buttons.
// Destroying the device closes it: playing stops and the file is released.

#include <functional>
#include <memory>
#include <string>

#include "adapters/sound/sound_error.h"

namespace tivenor {

inline constexpr const char* kNoDeviceOpen = "No MCI device open";

// Opening failed; what() is the media service's description, or kUnknownErrorCode. The device
// and the file renderer share one synthesizer setup, and so one kind of failure.
using MediaDeviceError = SoundError;

class MediaDevice {
 public:
  virtual ~MediaDevice() = default;

  virtual void Play() = 0;    // from the current position; returns at once, the music plays on
  virtual void Pause() = 0;   // keeps the position
  virtual bool Resume() = 0;  // false when there is no paused piece to go on with
  virtual void Stop() = 0;    // keeps the position, like pause
  virtual void SeekToStart() = 0;
  virtual void SeekToEnd() = 0;

  virtual bool IsPlaying() = 0;
  virtual bool IsPaused() = 0;
  virtual bool IsAtEnd() = 0;  // after Next, or once the piece has played to its end

  // Where the piece stands, in MIDI ticks from its start; it holds while paused or stopped.
  virtual double PositionTicks() = 0;
  // Where the piece ends, in MIDI ticks; 0 while the device does not know yet.
  virtual double LengthTicks() = 0;
};

// Opens a device on a MIDI file; throws MediaDeviceError when it cannot.
using MediaDeviceFactory = std::function<std::unique_ptr<MediaDevice>(const std::string& fileName)>;

}  // namespace tivenor
