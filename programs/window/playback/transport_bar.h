#pragma once
// The transport bar: five buttons, Play, Pause, Stop, Next and Prev, over one media device.
// The program alone decides which buttons are enabled. The bar is one stop in the tab order;
// inside it the arrow keys move between the buttons and the space bar presses one.

#include <QWidget>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "adapters/sound/media_device.h"
#include "programs/window/playback/transport_glyphs.h"

class QAbstractButton;

namespace tivenor {

class TransportButtonWidget;

class TransportBar : public QWidget {
  Q_OBJECT

 public:
  using ErrorReporter = std::function<void(const QString&)>;

  explicit TransportBar(MediaDeviceFactory devices, QWidget* parent = nullptr);
  ~TransportBar() override;  // closes the device

  // Where a failure of a pressed button is shown.
  void SetErrorReporter(ErrorReporter report);

  void SetFileName(const std::string& fileName) { fileName_ = fileName; }
  const std::string& FileName() const { return fileName_; }

  // Closes a device still open, then opens one on FileName(), letting window events run until
  // it is open; clicks on the buttons meanwhile do nothing. Throws MediaDeviceError; the buttons
  // keep their state either way.
  void Open();
  // Closes the device, stopping what plays; nothing happens when none is open.
  void Close();
  bool IsOpen() const { return device_ != nullptr; }
  MediaDevice* Device() const { return device_.get(); }

  void SetEnabledButtons(std::initializer_list<TransportButton> buttons);
  bool IsButtonEnabled(TransportButton button) const;

  // The buttons' actions; each throws MediaDeviceError(kNoDeviceOpen) when no device is open.
  void Play();   // from the start again when the piece is at its end; returns at once
  void Pause();  // pauses while playing; while paused, resumes (or plays when it cannot)
  void Stop();
  void Next();      // to the end of the piece
  void Previous();  // to the start of the piece

  // A click: a disabled button does nothing, and a failure goes to the error reporter.
  void Press(TransportButton button);

  QAbstractButton* ButtonWidget(TransportButton button) const;
  TransportButton FocusedButton() const { return kTransportButtons[focused_]; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  MediaDevice& OpenDevice();
  void MoveFocus(int step);
  void ShowFocus();

  MediaDeviceFactory devices_;
  ErrorReporter report_;
  std::string fileName_;
  std::unique_ptr<MediaDevice> device_;
  std::array<TransportButtonWidget*, 5> buttons_{};
  int focused_ = 0;
  bool opening_ = false;
};

}  // namespace tivenor
