// The two commands of the window. Neither lets an error escape: each failure ends the command
// where it happened and is shown in the error box, and the window goes on working.

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <exception>

#include "analysis/hole_scan.h"
#include "app/playback/transport_bar.h"
#include "app/window/file_name_part.h"
#include "app/window/picture_display.h"
#include "app/window/unit1.h"
#include "fitting/reading_host.h"
#include "midi/write_midi.h"
#include "storage/output_check.h"

namespace tivenor {

namespace {

// Pending events run inside START whenever it shows a message; a click on either command then
// must not start the other one inside it, since both work on the one scan state.
class CommandGuard {
 public:
  explicit CommandGuard(bool& running) : running_(running) { running_ = true; }
  ~CommandGuard() { running_ = false; }
  CommandGuard(const CommandGuard&) = delete;
  CommandGuard& operator=(const CommandGuard&) = delete;

 private:
  bool& running_;
};

QString ErrorText(const std::exception& error) {
  return QString::fromStdString(error.what());
}

}  // namespace

void TForm1::Button1Click() {
  if (commandRunning_) return;
  const CommandGuard guard(commandRunning_);
  state_.PictureLoaded = false;
  try {
    if (const std::optional<QString> chosen = RunOpenPictureDialog()) {
      state_.SourceFileName = chosen->toStdString();
      if (const std::optional<QString> name = FileNamePart(*chosen)) Bestandsnaam->setText(*name);
    }
    // Cancelling retries the name chosen before, so a picture can be loaded afresh.
    if (QString::fromStdString(state_.SourceFileName).size() <= 4) return;
    plaat->LoadPicture(state_.SourceFileName);
    ShowMessageLine("Messages");
    state_.PictureLoaded = true;
    state_.PictureClean = true;
  } catch (const std::exception& error) {
    ShowErrorBox(ErrorText(error));
  }
}

void TForm1::Button2Click() {
  if (commandRunning_ || !state_.PictureLoaded) return;
  const CommandGuard guard(commandRunning_);
  displayMarked_ = false;
  setCursor(Qt::WaitCursor);
  try {
    ScanWriteAndPlay();
    unsetCursor();
  } catch (const std::exception& error) {
    // The next START must reload the picture if this one left marks on it.
    if (displayMarked_) state_.PictureClean = false;
    unsetCursor();
    ShowErrorBox(ErrorText(error));
  }
}

void TForm1::ScanWriteAndPlay() {
  // With the settings fitted, a fine or unevenly lit picture is read through its reading copy.
  ReadingHost readingHost(*this,
                          FitSettingsBox->isChecked() ? FitSettingsToPicture() : ReadingCopy());
  Host& host = readingHost.Active() ? static_cast<Host&>(readingHost) : *this;
  ScanDisc(state_, host);
  if (state_.NoteCount == 0) {
    state_.PictureClean = false;
    return;
  }
  // The MIDI file of an earlier START is released before it is written again.
  MediaPlayer1->Close();
  RefuseUnsafeMidiFile(MidiFileNameFor(state_.SourceFileName), state_.SourceFileName);
  WriteMidi(state_, host);
  MediaPlayer1->SetFileName(state_.MidiFileName);
  MediaPlayer1->Open();
  MediaPlayer1->SetEnabledButtons({TransportButton::Play, TransportButton::Pause,
                                   TransportButton::Stop, TransportButton::Next,
                                   TransportButton::Prev});
  MediaPlayer1->Play();
  ShowMessageLine("MidiFile Ready !!");
  state_.PictureClean = false;
}

void TForm1::closeEvent(QCloseEvent* event) {
  MediaPlayer1->Close();
  QMainWindow::closeEvent(event);
}

}  // namespace tivenor
