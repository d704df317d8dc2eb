// The Disc menu: START and the transport bar's actions from the keyboard and the menu bar, and
// the settings back to the layout's values.

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/setting_spin_box.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

void TForm1::CreateDiscMenu() {
  QMenu* disc = menuBar()->addMenu("&Disc");
  StartAction = disc->addAction("&START", this, &TForm1::Button2Click);
  StartAction->setShortcut(QKeySequence(Qt::Key_F5));
  disc->addSeparator();
  const auto transport = [this, disc](const char* text, TransportButton button, Qt::Key key) {
    QAction* action = disc->addAction(text, this, [this, button] { MediaPlayer1->Press(button); });
    // The keyboards' media keys; the transport bar's own keys work when it has the focus.
    action->setShortcut(QKeySequence(key));
    return action;
  };
  PlayAction = transport("&Play", TransportButton::kPlay, Qt::Key_MediaPlay);
  PauseAction = transport("P&ause", TransportButton::kPause, Qt::Key_MediaPause);
  StopAction = transport("S&top", TransportButton::kStop, Qt::Key_MediaStop);
  NextAction = transport("&Next", TransportButton::kNext, Qt::Key_MediaNext);
  PrevAction = transport("P&rev", TransportButton::kPrev, Qt::Key_MediaPrevious);
  disc->addSeparator();
  ResetSettingsAction = disc->addAction("&Reset settings", this, &TForm1::ResetSettings);
  ResetSettingsAction->setToolTip(
      "B/W Threshold, Minimum, Maximum and Hole Length Extrapolation "
      "back to the values the window starts with");
  connect(disc, &QMenu::aboutToShow, this, &TForm1::UpdateMenuCommands);
}

void TForm1::ResetSettings() {
  for (SettingSpinBox* setting : {SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4}) {
    setting->ResetToInitial();
  }
}

}  // namespace tivenor
