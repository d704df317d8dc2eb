#pragma once
// A media device opened on one MIDI file: the operations behind the transport bar's buttons.
// Destroying the device closes it: playing stops and the file is released.

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace tivenor {

inline constexpr const char* kNoDeviceOpen = "No MCI device open";
inline constexpr const char* kUnknownErrorCode = "Unknown error code";

// Opening failed; what() is the media service's description, or kUnknownErrorCode.
class MediaDeviceError : public std::runtime_error {
 public:
  explicit MediaDeviceError(const std::string& text) : std::runtime_error(text) {}
};

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
};

// Opens a device on a MIDI file; throws MediaDeviceError when it cannot.
using MediaDeviceFactory = std::function<std::unique_ptr<MediaDevice>(const std::string& fileName)>;

}  // namespace tivenor
