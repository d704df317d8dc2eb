// The two commands of the window. Neither lets an error escape: each failure ends the command
// where it happened and is shown in the error box, and the window goes on working.

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>

#include <exception>

#include "adapters/sound/sound_error.h"
#include "engine/files/output_check.h"
#include "engine/fitting/plausibility_advice.h"
#include "engine/fitting/reading_copy.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/no_notes_reason.h"
#include "engine/roads/read_disc.h"
#include "engine/slots/format_fit.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/command_guard.h"
#include "programs/window/window/file_name_part.h"
#include "programs/window/window/format_choice.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/playhead_overlay.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

namespace {

QString ErrorText(const std::exception& error) {
  return QString::fromStdString(error.what());
}

// Thrown where a command notices that the window was closed: it ends without a word.
struct CommandCancelled {};

// The one local file a drop carries, or an empty text.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || data->urls().size() != 1 || !data->urls().first().isLocalFile()) {
    return {};
  }
  return data->urls().first().toLocalFile();
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

void TForm1::OpenPictureFile(const QString& path) {
  if (commandRunning_) return;
  const CommandGuard guard(commandRunning_);
  state_.PictureLoaded = false;
  try {
    OpenPicture(QFileInfo(path).absoluteFilePath());
  } catch (const std::exception& error) {
    ShowErrorBox(ErrorText(error));
  }
}

void TForm1::OpenPicture(const std::optional<QString>& chosen) {
  if (chosen) {
    state_.SourceFileName = chosen->toStdString();
    if (const std::optional<QString> name = FileNamePart(*chosen)) Bestandsnaam->setText(*name);
    Bestandsnaam->setToolTip(*chosen);
  }
  // Cancelling retries the name chosen before, so a picture can be loaded afresh.
  if (QString::fromStdString(state_.SourceFileName).size() <= 4) return;
  plaat->LoadPicture(state_.SourceFileName);
  ShowWarnings({});  // they were about another reading
  ShowMessageLine("Messages");
  state_.PictureLoaded = true;
  state_.PictureClean = true;
}

void TForm1::Button2Click() {
  if (commandRunning_ || !state_.PictureLoaded) return;
  const CommandGuard guard(commandRunning_);
  closing_ = false;
  displayMarked_ = false;
  setCursor(Qt::WaitCursor);
  try {
    ScanWriteAndPlay();
    unsetCursor();
  } catch (const CommandCancelled&) {
    unsetCursor();
  } catch (const std::exception& error) {
    // The next START must reload the picture if this one left marks on it.
    if (displayMarked_) state_.PictureClean = false;
    unsetCursor();
    if (!MediaPlayer1->IsOpen()) {
      cannotPlay_ = "There is no tune to play: the last START ended before it could play one:\n" +
                    ErrorText(error);
      cannotPlayBrief_ = "the last START ended with an error";
    }
    ShowErrorBox(ErrorText(error));
  }
  // A tune may have been written even when playing it failed.
  UpdateMenuCommands();
  UpdateTuneCaption();
}

ReadingOptions TForm1::StartReadingOptions() const {
  ReadingOptions options;
  // With the settings fitted, a fine or unevenly lit picture is read through its reading copy.
  options.fitSettings = FitSettingsBox->isChecked();
  options.format = DiscFormatChoice->Chosen();
  options.knownFormats = DiscFormatChoice->Known();
  return options;
}

void TForm1::ScanWriteAndPlay() {
  ShowWarnings({});
  const ReadingOptions options = StartReadingOptions();
  const bool fitted = options.fitSettings;
  const DiscReading reading = ReadDisc(state_, *this, options);
  StopIfClosing();
  if (reading.noNotes) {
    ShowInformationBox(
        QString::fromStdString(NoNotesText(*reading.noNotes, SettingNaming::kWindow)));
    return;
  }
  if (reading.misfit) {
    // Nothing is written of slots the format does not describe; the marks show where they lie.
    ShowWarnings({MisfitText(*reading.misfit)});
    return;
  }
  // The MIDI file of an earlier START is released before it is written again.
  MediaPlayer1->Close();
  RefuseUnsafeMidiFile(MidiFileNameFor(state_.SourceFileName), state_.SourceFileName);
  Tune tune;
  tune.midi = reading.midi;
  SaveMidiFile(state_, tune.midi);
  tune.midiFile = state_.MidiFileName;
  tune.pictureFile = state_.SourceFileName;
  tune.playhead = PlayheadOnPicture(
      MakePlayheadMap(state_),
      ReadingCopy(reading.fitted.discFound ? reading.fitted.reading : ReadingPlan{}));
  tune_ = std::move(tune);
  state_.PictureClean = false;

  // What looks wrong, in the converter's words, beside the result rather than in its way.
  const AdvisedSettings used{
      {Threshold(), MinimumHoleSize(), MaximumHoleSize(), HoleLengthExtrapolation()},
      fitted && reading.fitted.discFound};
  const AdviceNames names{SettingNaming::kWindow, std::string("\"") + kFitSettingsCaption + "\"",
                          "\"Disc format\""};
  ShowWarnings(PlausibilityWarnings(reading.findings, used, names));
  if (!PlayTune()) return;
  ShowMessageLine("MidiFile Ready !!");
}

bool TForm1::PlayTune() {
  MediaPlayer1->SetFileName(tune_->midiFile);
  try {
    MediaPlayer1->Open();
  } catch (const SoundError& error) {
    // The MIDI file is there all the same: say so, and where, in words rather than the sound
    // library's alone.
    const QString written =
        "\n\nThe MIDI file was written: " + QString::fromStdString(tune_->midiFile);
    if (dynamic_cast<const NoSoundOutputError*>(&error) != nullptr) {
      cannotPlay_ = "There is no sound output, so the tune cannot be played." + written +
                    "\n\n(The sound system said: " + ErrorText(error) + ")";
      cannotPlayBrief_ = "no sound output";
    } else {
      cannotPlay_ = "The tune cannot be played: " + ErrorText(error) + written;
      cannotPlayBrief_ = ErrorText(error);
    }
    UpdateTuneCaption();
    ShowErrorBox(cannotPlay_);
    return false;
  }
  // The window was closed while the device opened: nothing is to play any more.
  if (closing_) MediaPlayer1->Close();
  StopIfClosing();
  cannotPlay_.clear();
  cannotPlayBrief_.clear();
  MediaPlayer1->SetEnabledButtons({TransportButton::kPlay, TransportButton::kPause,
                                   TransportButton::kStop, TransportButton::kNext,
                                   TransportButton::kPrev});
  MediaPlayer1->Play();
  ShowPlayhead();
  return true;
}

void TForm1::ShowWarnings(const std::vector<std::string>& warnings) {
  QStringList lines;
  for (const std::string& warning : warnings) {
    lines << "Warning: " + QString::fromStdString(warning);
  }
  WarningsPanel->setText(lines.join("\n\n"));
  WarningsPanel->setVisible(!lines.isEmpty());
}

void TForm1::StopIfClosing() {
  if (closing_) throw CommandCancelled();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // A command still running ends at its next step; the window closes now either way.
  if (commandRunning_) closing_ = true;
  MediaPlayer1->Close();
  QMainWindow::closeEvent(event);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QString file = DroppedFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  OpenPictureFile(file);
}

}  // namespace tivenor
