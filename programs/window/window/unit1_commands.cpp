// The two commands of the window. Neither lets an error escape: each failure ends the command
// where it happened and is shown in the error box, and the window goes on working.

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <exception>

#include "engine/files/output_check.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/no_notes_reason.h"
#include "engine/roads/read_disc.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/command_guard.h"
#include "programs/window/window/file_name_part.h"
#include "programs/window/window/format_choice.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

namespace {

QString ErrorText(const std::exception& error) {
  return QString::fromStdString(error.what());
}

}  // namespace

void TForm1::Button1Click() {
  if (commandRunning_) return;
  const CommandGuard guard(commandRunning_);
  state_.PictureLoaded = false;
  try {
    OpenPicture(RunOpenPictureDialog());
  } catch (const std::exception& error) {
    ShowErrorBox(ErrorText(error));
  }
}

void TForm1::OpenPicture(const std::optional<QString>& chosen) {
  if (chosen) {
    state_.SourceFileName = chosen->toStdString();
    if (const std::optional<QString> name = FileNamePart(*chosen)) Bestandsnaam->setText(*name);
  }
  // Cancelling retries the name chosen before, so a picture can be loaded afresh.
  if (QString::fromStdString(state_.SourceFileName).size() <= 4) return;
  plaat->LoadPicture(state_.SourceFileName);
  ShowMessageLine("Messages");
  state_.PictureLoaded = true;
  state_.PictureClean = true;
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
  // A tune may have been written even when playing it failed.
  UpdateMenuCommands();
}

ReadingOptions TForm1::StartReadingOptions() const {
  ReadingOptions options;
  // With the settings fitted, a fine or unevenly lit picture is read through its reading copy.
  options.fitSettings = FitSettingsBox->isChecked();
  options.format = DiscFormatChoice->Chosen();
  return options;
}

void TForm1::ScanWriteAndPlay() {
  const DiscReading reading = ReadDisc(state_, *this, StartReadingOptions());
  if (reading.noNotes) {
    ShowInformationBox(
        QString::fromStdString(NoNotesText(*reading.noNotes, SettingNaming::kWindow)));
    return;
  }
  // The MIDI file of an earlier START is released before it is written again.
  MediaPlayer1->Close();
  RefuseUnsafeMidiFile(MidiFileNameFor(state_.SourceFileName), state_.SourceFileName);
  SaveMidiFile(state_, reading.midi);
  MediaPlayer1->SetFileName(state_.MidiFileName);
  MediaPlayer1->Open();
  MediaPlayer1->SetEnabledButtons({TransportButton::Play, TransportButton::Pause,
                                   TransportButton::Stop, TransportButton::Next,
                                   TransportButton::Prev});
  MediaPlayer1->Play();
  ShowPlayhead();
  ShowMessageLine("MidiFile Ready !!");
  state_.PictureClean = false;
}

void TForm1::closeEvent(QCloseEvent* event) {
  MediaPlayer1->Close();
  QMainWindow::closeEvent(event);
}

}  // namespace tivenor
