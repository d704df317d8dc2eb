// The playhead and the time: while the tune plays, the display shows where the music is on its
// disc and the time label how far it has gone.

#include <QLabel>
#include <QTimer>

#include <cmath>

#include "engine/midi/playhead.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

namespace {

constexpr int kPlayheadIntervalMs = 33;  // 30 updates a second: smooth to the eye, cheap to draw

// "m:ss".
QString Minutes(double seconds) {
  const int whole = static_cast<int>(std::floor(std::max(seconds, 0.0)));
  return QString("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QChar('0'));
}

}  // namespace

void TForm1::ShowPlayhead() {
  if (playheadTimer_ == nullptr) {
    playheadTimer_ = new QTimer(this);
    playheadTimer_->setInterval(kPlayheadIntervalMs);
    playheadTimer_->setTimerType(Qt::PreciseTimer);
    connect(playheadTimer_, &QTimer::timeout, this, &TForm1::FollowPlayback);
  }
  plaat->ShowPlayhead(tune_->playhead);
  playheadTimer_->start();
  UpdateMenuCommands();
  UpdateTuneCaption();
}

void TForm1::FollowPlayback() {
  MediaDevice* device = MediaPlayer1->Device();
  // The timer rests until the next START opens a tune.
  if (device == nullptr) playheadTimer_->stop();
  // A new picture drops the playhead, while the time goes on.
  if (device != nullptr && plaat->PlayheadShown()) {
    plaat->MovePlayhead(DiscTicksAt(device->PositionTicks()));
  }
  ShowPlayTime();
}

void TForm1::ShowPlayTime() {
  MediaDevice* device = MediaPlayer1->Device();
  const double position = device != nullptr ? device->PositionTicks() : 0.0;
  const double length = device != nullptr ? device->LengthTicks() : 0.0;
  const QString text = Minutes(MidiSecondsAt(position)) + " / " + Minutes(MidiSecondsAt(length));
  if (TimeLabel->text() != text) TimeLabel->setText(text);
}

}  // namespace tivenor
