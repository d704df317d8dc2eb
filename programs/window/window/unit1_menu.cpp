// The menu bar: File, Disc, View and Help. Every command reports a failure in the error box
// titled "Tivenor", and the window goes on working.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>

#include <exception>
#include <stdexcept>

#include "adapters/sound/fluid_synth_setup.h"
#include "adapters/sound/sound_font.h"
#include "engine/files/file_identity.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/command_guard.h"
#include "programs/window/window/file_name_part.h"
#include "programs/window/window/make_disc_picture.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/picture_view.h"
#include "programs/window/window/save_marked_picture.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

void TForm1::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  OpenFileAction = file->addAction("&Open file…", this, &TForm1::Button1Click);
  OpenFileAction->setShortcut(QKeySequence::Open);
  MakeDiscAction = file->addAction("&Make disc from MIDI…", this, &TForm1::MakeDiscFromMidi);
  file->addSeparator();
  SaveMidiAction = file->addAction("Save &MIDI as…", this, &TForm1::SaveMidiAs);
  SaveSoundAction = file->addAction("Save &sound as…", this, &TForm1::SaveSoundAs);
  // Save As's usual keys; not every desktop gives QKeySequence::SaveAs any.
  SaveSoundAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  SaveMarkedPictureAction =
      file->addAction("Save marked &picture as…", this, &TForm1::SaveMarkedPictureAs);
  file->addSeparator();
  QuitAction = file->addAction("&Quit", this, &QWidget::close);
  QuitAction->setShortcut(QKeySequence::Quit);
  QuitAction->setMenuRole(QAction::QuitRole);

  CreateDiscMenu();

  // Unchecked both, the picture shows as laid out: unscaled and cut off at the display's edges.
  QMenu* view = menuBar()->addMenu("&View");
  FitPictureAction = view->addAction("&Fit picture to window");
  FitPictureAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_9));
  ActualSizeAction = view->addAction("&Actual size");
  ActualSizeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  auto* views = new QActionGroup(this);
  views->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (QAction* action : {FitPictureAction, ActualSizeAction}) {
    action->setCheckable(true);
    views->addAction(action);
  }
  connect(views, &QActionGroup::triggered, this, [this] {
    SetPictureView(FitPictureAction->isChecked()   ? PictureView::kFitToWindow
                   : ActualSizeAction->isChecked() ? PictureView::kActualSize
                                                   : PictureView::kSpecified);
  });

  QMenu* help = menuBar()->addMenu("&Help");
  AboutAction = help->addAction("&About Tivenor", this, [this] { ShowAboutBox(AboutText()); });
  AboutAction->setMenuRole(QAction::AboutRole);

  viewKeeper_ = new PictureViewKeeper(PictureArea, plaat);
  connect(file, &QMenu::aboutToShow, this, &TForm1::UpdateMenuCommands);
  connect(plaat, &PictureDisplay::PictureReplaced, this, &TForm1::UpdateMenuCommands);
  connect(plaat, &PictureDisplay::PictureReplaced, this, &TForm1::UpdateTuneCaption);
  UpdateMenuCommands();
  UpdateTuneCaption();

  RunFileDialog = [this](FileChoice choice, const QString& suggested) {
    return RunFileDialogDefault(choice, suggested);
  };
  ShowAboutBox = [this](const QString& text) { QMessageBox::about(this, "About Tivenor", text); };
}

void TForm1::UpdateMenuCommands() {
  SaveMidiAction->setEnabled(tune_.has_value());
  SaveSoundAction->setEnabled(tune_.has_value());
  SaveMarkedPictureAction->setEnabled(plaat->Picture().width > 0);
  const std::pair<QAction*, TransportButton> transport[] = {{PlayAction, TransportButton::kPlay},
                                                            {PauseAction, TransportButton::kPause},
                                                            {StopAction, TransportButton::kStop},
                                                            {NextAction, TransportButton::kNext},
                                                            {PrevAction, TransportButton::kPrev}};
  for (const auto& [action, button] : transport) {
    action->setEnabled(MediaPlayer1->IsButtonEnabled(button));
  }
}

std::optional<QString> TForm1::RunFileDialogDefault(FileChoice choice, const QString& suggested) {
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  switch (choice) {
    case FileChoice::kTuneToPunch:
      dialog.setWindowTitle("Make disc from MIDI");
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(QFileDialog::ExistingFile);
      dialog.setNameFilters({"MIDI files (*.mid *.midi)"});
      break;
    case FileChoice::kDiscPictureToSave:
      dialog.setWindowTitle("Save the disc's picture as");
      dialog.setNameFilters({"Bitmaps (*.bmp)", "PNG pictures (*.png)"});
      dialog.setDefaultSuffix("bmp");
      break;
    case FileChoice::kSoundToSave:
      dialog.setWindowTitle("Save sound as");
      dialog.setNameFilters({"Sound files (*.wav *.flac *.ogg)"});
      dialog.setDefaultSuffix("wav");
      break;
    case FileChoice::kMidiToSave:
      dialog.setWindowTitle("Save MIDI as");
      dialog.setNameFilters({"MIDI files (*.mid)"});
      dialog.setDefaultSuffix("mid");
      break;
    case FileChoice::kMarkedPictureToSave:
      dialog.setWindowTitle("Save marked picture as");
      dialog.setNameFilters({"PNG pictures (*.png)", "Bitmaps (*.bmp)"});
      dialog.setDefaultSuffix("png");
      break;
  }
  dialog.selectFile(suggested);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

void TForm1::MakeDiscFromMidi() {
  if (commandRunning_) return;
  const CommandGuard guard(commandRunning_);
  closing_ = false;
  try {
    const std::optional<QString> tune =
        RunFileDialog(FileChoice::kTuneToPunch,
                      QFileInfo(QString::fromStdString(state_.SourceFileName)).absolutePath());
    if (!tune) return;
    // Beside the tune, but not named like it: START writes its MIDI file beside the picture.
    const std::optional<QString> picture = RunFileDialog(
        FileChoice::kDiscPictureToSave, BesideWithSuffix(tune->toStdString(), "-disc.bmp"));
    if (!picture) return;
    if (IdentityOf(state_.SourceFileName) &&
        SameFile(picture->toStdString(), state_.SourceFileName)) {
      throw std::runtime_error("\"" + picture->toStdString() +
                               "\": will not write over the picture that is open");
    }
    setCursor(Qt::WaitCursor);
    const MadeDisc made = MakeDiscPicture(tune->toStdString(), picture->toStdString());
    unsetCursor();
    if (closing_) return;
    // Shown as if opened: START reads and plays it.
    state_.PictureLoaded = false;
    OpenPicture(*picture);
    ShowMessageLine(MadeDiscText(made));
  } catch (const std::exception& error) {
    unsetCursor();
    ShowErrorBox(QString::fromStdString(error.what()));
  }
}

void TForm1::SaveMarkedPictureAs() {
  if (commandRunning_) return;
  try {
    const std::optional<QString> chosen = RunFileDialog(
        FileChoice::kMarkedPictureToSave, BesideWithSuffix(state_.SourceFileName, "-marked.png"));
    if (!chosen) return;
    SaveMarkedPicture(plaat->Picture(), *chosen, QString::fromStdString(state_.SourceFileName));
  } catch (const std::exception& error) {
    ShowErrorBox(QString::fromStdString(error.what()));
  }
}

void TForm1::SetPictureView(PictureView view) {
  FitPictureAction->setChecked(view == PictureView::kFitToWindow);
  ActualSizeAction->setChecked(view == PictureView::kActualSize);
  viewKeeper_->SetView(view);
}

QString TForm1::AboutText() const {
  const std::optional<std::string> soundFont = FindSoundFont();
  return QString(
             "Tivenor %1\n\n"
             "Turns pictures of punched music-box discs into MIDI files and plays them.\n\n"
             "SoundFont: %2\nSound by FluidSynth %3, window by Qt %4.")
      .arg(TIVENOR_VERSION,
           soundFont ? QString::fromStdString(*soundFont)
                     : QString::fromStdString(NoSoundFontText()),
           QString::fromStdString(FluidSynthVersion()), qVersion());
}

}  // namespace tivenor
