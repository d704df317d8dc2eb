// The playhead: while the disc plays, the display shows where the music is.

#include <QTimer>

#include "engine/midi/playhead.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

namespace {
constexpr int kPlayheadIntervalMs = 33;  // 30 updates a second: smooth to the eye, cheap to draw
}

void TForm1::ShowPlayhead() {
  if (playheadTimer_ == nullptr) {
    playheadTimer_ = new QTimer(this);
    playheadTimer_->setInterval(kPlayheadIntervalMs);
    playheadTimer_->setTimerType(Qt::PreciseTimer);
    connect(playheadTimer_, &QTimer::timeout, this, &TForm1::FollowPlayback);
  }
  plaat->ShowPlayhead(MakePlayheadMap(state_));
  playheadTimer_->start();
  UpdateMenuCommands();
}

void TForm1::FollowPlayback() {
  // A new picture drops the playhead; the timer rests until the next START shows one.
  if (!plaat->PlayheadShown()) {
    playheadTimer_->stop();
    return;
  }
  if (MediaDevice* device = MediaPlayer1->Device()) {
    plaat->MovePlayhead(DiscTicksAt(device->PositionTicks()));
  }
}

}  // namespace tivenor
