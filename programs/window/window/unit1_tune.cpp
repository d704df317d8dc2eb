// The tune of the last START: which one the transport bar holds, why it cannot play when it
// cannot, and the MIDI and sound files saved from it.

#include <QLabel>

#include <exception>
#include <vector>

#include "adapters/sound/save_sound_file.h"
#include "adapters/sound/sound_error.h"
#include "adapters/sound/sound_font.h"
#include "engine/files/output_check.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/file_name_part.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

namespace {

QString NameOf(const std::string& path) {
  const QString whole = QString::fromStdString(path);
  return FileNamePart(whole).value_or(whole);
}

constexpr const char* kNoTuneYet = "There is no tune to play yet: open a picture and press START";

}  // namespace

void TForm1::UpdateTuneCaption() {
  QString caption = "Tune: none yet";
  if (tune_) {
    caption = "Tune: " + NameOf(tune_->midiFile);
    if (!MediaPlayer1->IsOpen()) {
      caption += " (cannot be played: " + cannotPlayBrief_ + ")";
    } else if (!plaat->PlayheadShown()) {
      // The bar plays on while another picture is shown: say whose tune it is.
      caption += ", from " + NameOf(tune_->pictureFile) + ", not the picture shown";
    }
  }
  TuneLabel->setText(caption);
  TuneLabel->setToolTip(tune_ ? QString::fromStdString(tune_->midiFile) : QString());
}

void TForm1::ReportTransportFailure(const QString& text) {
  // A button of an earlier START with no tune open behind it: say why instead of the device's
  // bare words.
  if (text == kNoDeviceOpen) {
    ShowErrorBox(cannotPlay_.isEmpty() ? kNoTuneYet : cannotPlay_);
    return;
  }
  ShowErrorBox(text);
}

void TForm1::SaveMidiAs() {
  if (commandRunning_) return;
  try {
    if (!tune_) throw SoundError(kNoTuneYet);
    const std::optional<QString> chosen =
        RunFileDialog(FileChoice::kMidiToSave, QString::fromStdString(tune_->midiFile));
    if (!chosen) return;
    const std::string target = chosen->toStdString();
    // Neither the picture shown nor the one the tune came from is ever written over.
    RefuseUnsafeMidiFile(target, tune_->pictureFile);
    RefuseReplacing({target, "MIDI file"}, {state_.SourceFileName, "picture"});
    SaveMidiBytes(target, tune_->midi);
  } catch (const std::exception& error) {
    ShowErrorBox(QString::fromStdString(error.what()));
  }
}

void TForm1::SaveSoundAs() {
  if (commandRunning_) return;
  try {
    if (!tune_) throw SoundError("There is no tune to save yet: press START first");
    // Named after the tune, whichever picture is shown.
    const std::optional<QString> chosen =
        RunFileDialog(FileChoice::kSoundToSave, BesideWithSuffix(tune_->midiFile, ".wav"));
    if (!chosen) return;
    setCursor(Qt::WaitCursor);
    // The bytes START made, not whatever file now has their name.
    const std::vector<char> midi(tune_->midi.begin(), tune_->midi.end());
    SaveSoundFile(midi, tune_->midiFile, chosen->toStdString(), RequireSoundFont(),
                  {tune_->pictureFile, state_.SourceFileName});
    unsetCursor();
  } catch (const std::exception& error) {
    unsetCursor();
    ShowErrorBox(QString::fromStdString(error.what()));
  }
}

}  // namespace tivenor
