#include "programs/window/playback/transport_bar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>

#include <chrono>
#include <future>
#include <utility>

#include "programs/window/playback/transport_button.h"

namespace tivenor {

TransportBar::TransportBar(MediaDeviceFactory devices, QWidget* parent)
    : QWidget(parent), devices_(std::move(devices)) {
  setFocusPolicy(Qt::StrongFocus);
  setFixedSize(141, 20);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const TransportButton kind = kTransportButtons[i];
    auto* button = new TransportButtonWidget(kind, this);
    button->setEnabled(false);
    connect(button, &QAbstractButton::clicked, this, [this, kind] { Press(kind); });
    row->addWidget(button);
    buttons_[i] = button;
  }
}

TransportBar::~TransportBar() {
  Close();
}

void TransportBar::SetErrorReporter(ErrorReporter report) {
  report_ = std::move(report);
}

void TransportBar::Open() {
  Close();
  // Opening loads a SoundFont of some 140 MB and starts the sound server's connection, which can
  // take seconds: the window goes on painting and hears a close request meanwhile.
  std::future<std::unique_ptr<MediaDevice>> opened =
      std::async(std::launch::async, devices_, fileName_);
  opening_ = true;
  while (opened.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  opening_ = false;
  device_ = opened.get();
}

void TransportBar::Close() {
  device_.reset();
}

void TransportBar::SetEnabledButtons(std::initializer_list<TransportButton> buttons) {
  for (TransportButtonWidget* button : buttons_) button->setEnabled(false);
  for (TransportButton kind : buttons) ButtonWidget(kind)->setEnabled(true);
}

bool TransportBar::IsButtonEnabled(TransportButton button) const {
  return ButtonWidget(button)->isEnabled();
}

QAbstractButton* TransportBar::ButtonWidget(TransportButton button) const {
  return buttons_[static_cast<std::size_t>(button)];
}

MediaDevice& TransportBar::OpenDevice() {
  if (!device_) throw MediaDeviceError(kNoDeviceOpen);
  return *device_;
}

void TransportBar::Play() {
  MediaDevice& device = OpenDevice();
  if (device.IsAtEnd()) device.SeekToStart();
  device.Play();
}

void TransportBar::Pause() {
  MediaDevice& device = OpenDevice();
  if (device.IsPlaying()) {
    device.Pause();
  } else if (device.IsPaused() && !device.Resume()) {
    device.Play();
  }
}

void TransportBar::Stop() {
  OpenDevice().Stop();
}
void TransportBar::Next() {
  OpenDevice().SeekToEnd();
}
void TransportBar::Previous() {
  OpenDevice().SeekToStart();
}

void TransportBar::Press(TransportButton button) {
  if (!IsButtonEnabled(button) || opening_) return;
  try {
    switch (button) {
      case TransportButton::kPlay:
        Play();
        break;
      case TransportButton::kPause:
        Pause();
        break;
      case TransportButton::kStop:
        Stop();
        break;
      case TransportButton::kNext:
        Next();
        break;
      case TransportButton::kPrev:
        Previous();
        break;
    }
  } catch (const std::exception& error) {
    if (report_) report_(QString::fromStdString(error.what()));
  }
}

void TransportBar::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      MoveFocus(-1);
      break;
    case Qt::Key_Right:
      MoveFocus(+1);
      break;
    case Qt::Key_Space:
      Press(FocusedButton());
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TransportBar::MoveFocus(int step) {
  focused_ = std::clamp(focused_ + step, 0, static_cast<int>(buttons_.size()) - 1);
  ShowFocus();
}

void TransportBar::ShowFocus() {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetKeyboardFocus(hasFocus() && static_cast<int>(i) == focused_);
  }
}

void TransportBar::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  ShowFocus();
}

void TransportBar::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  ShowFocus();
}

}  // namespace tivenor
