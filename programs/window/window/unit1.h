#pragma once
// Unit1: the main window TForm1, its two commands "Open file" and "START", and the host through
// which the engine reads the settings, reports, and marks the picture on screen.

#include <QMainWindow>
#include <QString>

#include <functional>
#include <optional>

#include "adapters/sound/media_device.h"
#include "engine/base/host.h"
#include "engine/files/log_file.h"
#include "engine/reading/scan_state.h"

class QAction;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;

namespace tivenor {

class FormatChoice;
class OpenPictureDialog;
class PictureDisplay;
class PictureViewKeeper;
class SettingSpinBox;
class TransportBar;
enum class PictureView;
struct ReadingOptions;

// The files the menu commands ask for.
enum class FileChoice { SoundToSave, MarkedPictureToSave, TuneToPunch, DiscPictureToSave };

class TForm1 : public QMainWindow, public Host {
  Q_OBJECT

 public:
  // `devices` opens the media device of the transport bar on each new MIDI file.
  explicit TForm1(MediaDeviceFactory devices, QWidget* parent = nullptr);
  ~TForm1() override;

  // The window's components, by their names.
  QScrollArea* PictureArea;
  PictureDisplay* plaat;
  TransportBar* MediaPlayer1;
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
  FormatChoice* DiscFormatChoice;
  QPushButton* Button1;
  QLabel* Label6;
  QLabel* Bestandsnaam;
  QPushButton* Button2;
  QLabel* Berichten;
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
  QAction* SaveSoundAction;
  QAction* SaveMarkedPictureAction;
  QAction* QuitAction;
  QAction* FitPictureAction;
  QAction* ActualSizeAction;
  QAction* AboutAction;
  // A modal box titled "Tivenor" with the information icon. Tests record the texts instead.
  std::function<void(const QString&)> ShowInformationBox;

  // "Open file": choose a picture and show it.
  void Button1Click();
  // "START": scan the picture, write the MIDI file and play it.
  void Button2Click();
  // What START reads the picture with: the fit box and the chosen disc format.
  ReadingOptions StartReadingOptions() const;

  // File > Make disc from MIDI: a tune made into a disc picture, then shown as if opened.
  void MakeDiscFromMidi();
  // File > Save sound as: the tune playing in the transport bar, as a sound file.
  void SaveSoundAs();
  // File > Save marked picture as: the picture with the analysis's marks.
  void SaveMarkedPictureAs();
  // View: how the picture fills its part of the window.
  void SetPictureView(PictureView view);
  // Help > About: the version and the SoundFont that playback uses.
  QString AboutText() const;

  ScanState& State() { return state_; }
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

 private:
  void CreateComponents(MediaDeviceFactory devices);
  void ArrangeComponents();
  void SetTabOrder();
  void ScanWriteAndPlay();
  // "Open file" after its dialog: `chosen`, or the name chosen before when nullopt.
  void OpenPicture(const std::optional<QString>& chosen);
  void ShowErrorBoxDefault(const QString& text);
  void CreateMenus();
  void UpdateMenuCommands();
  std::optional<QString> RunFileDialogDefault(FileChoice choice, const QString& suggested);
  // Puts the playhead over the disc just transcribed and follows the transport bar with it.
  void ShowPlayhead();
  void FollowPlayback();

  ScanState state_;
  LogFile log_;
  bool commandRunning_ = false;  // "Open file" or "START" is running
  bool displayMarked_ = false;   // the running START has marked the displayed picture
  PictureViewKeeper* viewKeeper_ = nullptr;
  QTimer* playheadTimer_ = nullptr;
};

}  // namespace tivenor
