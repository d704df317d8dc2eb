#pragma once
// The real main window with the three outside parts replaced: the open dialog answers from a
// script, the error box records its texts, and the media device is a FakeMediaDevice. The
// harness works in a temporary folder of its own, where the log file lands too.

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/raster.h"
#include "programs/window/window/unit1.h"
#include "tests/app/fake_media_device.h"
#include "tests/support/disc_geometry.h"
#include "tests/support/disc_renderer.h"

namespace tivenor::testing {

class WindowHarness {
 public:
  // With no `devices`, the transport bar gets FakeMediaDevice.
  explicit WindowHarness(MediaDeviceFactory devices = {});
  ~WindowHarness();

  TForm1& Form() { return *form_; }
  FakeDeviceRecord& Devices() { return *devices_; }
  QString Folder() const { return folder_.path(); }
  QString PathOf(const QString& name) const { return folder_.filePath(name); }

  // The next answers of the open dialog: a path, or nullopt for Cancel.
  std::deque<std::optional<QString>> dialogAnswers;
  int dialogRuns = 0;
  QStringList errorTexts;
  // The next answers of the menu commands' file dialogs, and what they were asked.
  std::deque<std::optional<QString>> fileAnswers;
  std::vector<std::pair<FileChoice, QString>> fileQuestions;
  QStringList aboutTexts;
  QStringList informationTexts;

  // "Open file" confirmed with `path`.
  void OpenFile(const QString& path);
  // The window's own modal error and information boxes instead of the recording ones, for a
  // test on a real screen.
  void UseTheWindowsBoxes();

 private:
  QTemporaryDir folder_;
  QString previousFolder_;
  std::shared_ptr<FakeDeviceRecord> devices_;
  std::unique_ptr<TForm1> form_;
  std::function<void(const QString&)> windowsErrorBox_;
  std::function<void(const QString&)> windowsInformationBox_;
};

// A disc picture with `notes` written as a 24-bit bitmap; returns its path.
QString WriteDiscBitmap(const QString& path, const std::vector<DiscNote>& notes,
                        const DiscOptions& options = {});

// Notes on a few pins, one every `spacingTicks` from `firstTick` to `lastTick`.
std::vector<DiscNote> SpreadNotes(int firstTick, int lastTick, int spacingTicks);

// Pixels of exactly `colour` in the raster.
long CountPixels(const Raster& raster, uint32_t colour);

// A disc as another make of box would punch it, photographed against a shadow: patches where no
// pin plays, patches larger than any hole, and a dark corner the outline runs into. The
// converter warns three times about it.
QString WriteMisreadDisc(const QString& path);

// Every visible label of the window whose text is cut off: not wrapped into the label's height,
// or wider than the label. Empty when every text is readable whole.
QStringList TextsCutOff(const QWidget& window);

}  // namespace tivenor::testing
