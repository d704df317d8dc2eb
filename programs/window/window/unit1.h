#pragma once
// Unit1: the main window TForm1, its two commands "Open file" and "START", and the host through
// which the engine reads the settings, reports, and marks the picture on screen.

#include <QMainWindow>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "adapters/sound/media_device.h"
#include "engine/base/host.h"
#include "engine/files/log_file.h"
#include "engine/fitting/reading_copy.h"
#include "engine/midi/midi_buffer.h"
#include "engine/midi/playhead.h"
#include "engine/reading/scan_state.h"

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTimer;

namespace tivenor {

class DiscFormatBox;
class OpenPictureDialog;
class PictureDisplay;
class PictureViewKeeper;
class SettingSpinBox;
class TransportBar;
enum class PictureView;
struct ReadingOptions;

// The files the menu commands ask for.
enum class FileChoice {
  kSoundToSave,
  kMarkedPictureToSave,
  kTuneToPunch,
  kDiscPictureToSave,
  kMidiToSave
};

// The caption of the fit box, which its advice names too.
inline constexpr const char* kFitSettingsCaption = "Fit settings to the picture";

// The MIDI file the last START wrote: the tune of the transport bar and of the sound and MIDI
// files saved from the menu.
struct Tune {
  std::string midiFile;
  std::string pictureFile;
  std::vector<uint8_t> midi;  // the bytes as written
  PlayheadMap playhead;       // on the picture as given, whatever copy the analysis read
};

class TForm1 : public QMainWindow, public Host {
  Q_OBJECT

 public:
  // `devices` opens the media device of the transport bar on each new MIDI file.
  explicit TForm1(MediaDeviceFactory devices, QWidget* parent = nullptr);
  ~TForm1() override;

  // The window's components, by their names.
  QSplitter* Splitter;  // the picture on the left, the column of controls on the right
  QScrollArea* PictureArea;
  QScrollArea* ControlsArea;
  PictureDisplay* plaat;
  TransportBar* MediaPlayer1;
  QLabel* TimeLabel;  // "0:12 / 0:22": where the tune stands and how long it is
  QLabel* TuneLabel;  // "Tune: waltz.mid": which tune the bar holds
  QLabel* Label1;
  SettingSpinBox* SpinEdit1;
  QLabel* Label2;
  QLabel* Label4;
  SettingSpinBox* SpinEdit2;
  QLabel* Label3;
  SettingSpinBox* SpinEdit3;
  QLabel* Label5;
  SettingSpinBox* SpinEdit4;
  // Off at start; when on, START first fits the settings to the picture and shows them.
  QCheckBox* FitSettingsBox;
  // "Disc format": the format START reads the picture as.
  DiscFormatBox* DiscFormatChoice;
  QPushButton* Button1;
  QLabel* Label6;
  QLabel* Bestandsnaam;
  QPushButton* Button2;
  QLabel* Berichten;
  // What looks wrong in the last START's result, as the converter would warn; hidden when
  // nothing does.
  QLabel* WarningsPanel;
  QLabel* Label7;
  QLabel* Label9;
  QLabel* Label8;
  OpenPictureDialog* OpenPictureDialog1;

  // Shows OpenPictureDialog1 and returns the chosen file's full path, or nullopt when the user
  // cancels. Tests put a scripted choice in its place.
  std::function<std::optional<QString>()> RunOpenPictureDialog;
  // The modal error box titled "Tivenor". Tests record the texts instead.
  std::function<void(const QString&)> ShowErrorBox;
  // Asks where a file goes, starting from `suggested`; nullopt when the user cancels. Tests put
  // a scripted choice in its place.
  std::function<std::optional<QString>(FileChoice, const QString& suggested)> RunFileDialog;
  // The About box. Tests record the text instead.
  std::function<void(const QString&)> ShowAboutBox;

  // The menu bar's commands.
  QAction* OpenFileAction;
  QAction* MakeDiscAction;
  QAction* SaveMidiAction;
  QAction* SaveSoundAction;
  QAction* SaveMarkedPictureAction;
  QAction* QuitAction;
  QAction* FitPictureAction;
  QAction* ActualSizeAction;
  QAction* StartAction;
  QAction* PlayAction;
  QAction* PauseAction;
  QAction* StopAction;
  QAction* NextAction;
  QAction* PrevAction;
  QAction* ResetSettingsAction;
  QAction* AboutAction;
  // A modal box titled "Tivenor" with the information icon. Tests record the texts instead.
  std::function<void(const QString&)> ShowInformationBox;

  // "Open file": choose a picture and show it.
  void Button1Click();
  // "START": scan the picture, write the MIDI file and play it.
  void Button2Click();
  // "Open file" without the dialog: the picture named on the command line or dropped on the
  // window.
  void OpenPictureFile(const QString& path);
  // What START reads the picture with: the fit box and the chosen disc format.
  ReadingOptions StartReadingOptions() const;

  // File > Make disc from MIDI: a tune made into a disc picture, then shown as if opened.
  void MakeDiscFromMidi();
  // File > Save MIDI as: the last START's MIDI file under another name.
  void SaveMidiAs();
  // File > Save sound as: the tune in the transport bar, as a sound file.
  void SaveSoundAs();
  // File > Save marked picture as: the picture with the analysis's marks.
  void SaveMarkedPictureAs();
  // View: how the picture fills its part of the window.
  void SetPictureView(PictureView view);
  // Disc > Reset settings: the four settings back to their values of the layout.
  void ResetSettings();
  // Help > About: the version and the SoundFont that playback uses.
  QString AboutText() const;

  ScanState& State() { return state_; }
  const std::optional<Tune>& CurrentTune() const { return tune_; }
  const LogFile& Log() const { return log_; }
  bool CommandRunning() const { return commandRunning_; }

  // Host: what the engine reaches while START runs.
  int Threshold() override;
  int MinimumHoleSize() override;
  int MaximumHoleSize() override;
  int HoleLengthExtrapolation() override;
  void UseFittedSettings(const ScanSettings& fitted) override;
  void ShowMessageLine(const std::string& text) override;
  void WriteLogLine(const std::string& text) override;
  void ReloadPicture(const std::string& fileName) override;
  const Raster& ShownPicture() override;
  void CopyDisplayedPicture(Raster& into) override;
  void ShowBitmap(const Raster& bitmap) override;
  void TakeBitmap(Raster&& bitmap) override;
  void DrawStartLine(PixelPoint from, PixelPoint to) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateComponents(MediaDeviceFactory devices);
  void ArrangeComponents();
  void SetTabOrder();
  void ScanWriteAndPlay();
  // Opens the transport bar on the tune just written and plays it. When it cannot be played,
  // says why and where the MIDI file is, and returns false.
  bool PlayTune();
  // Shows `warnings` under the message line, or hides the panel when there are none.
  void ShowWarnings(const std::vector<std::string>& warnings);
  // Ends the running command when the window was closed meanwhile.
  void StopIfClosing();
  // "Open file" after its dialog: `chosen`, or the name chosen before when nullopt.
  void OpenPicture(const std::optional<QString>& chosen);
  void ShowErrorBoxDefault(const QString& text);
  // Lets window events that are waiting run, so that a pending close request is seen.
  void HearCloseRequests();
  void CreateMenus();
  void CreateDiscMenu();
  void UpdateMenuCommands();
  // "Tune: waltz.mid", and whether it belongs to the picture shown or cannot be played.
  void UpdateTuneCaption();
  // A transport button's failure, or why there is nothing to play.
  void ReportTransportFailure(const QString& text);
  std::optional<QString> RunFileDialogDefault(FileChoice choice, const QString& suggested);
  // Puts the playhead over the disc just transcribed and follows the transport bar with it.
  void ShowPlayhead();
  void FollowPlayback();
  void ShowPlayTime();

  ScanState state_;
  LogFile log_;
  bool commandRunning_ = false;  // "Open file" or "START" is running
  bool closing_ = false;         // the window was closed while a command ran
  bool displayMarked_ = false;   // the running START has marked the displayed picture
  std::optional<Tune> tune_;
  // Why the transport bar has no tune open, for a press on one of its buttons, and in a few
  // words for the tune's caption.
  QString cannotPlay_;
  QString cannotPlayBrief_;
  PictureViewKeeper* viewKeeper_ = nullptr;
  QTimer* playheadTimer_ = nullptr;
};

}  // namespace tivenor
