// Shows the window after a START on a disc picture and photographs the screen for the README.
// Run under a virtual display:
//   xvfb-run -s '-screen 0 1024x768x24' tivenor_window_screenshot samples/twinkle.bmp shot.png

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <cstdio>

#include "adapters/sound/fluid_midi_device.h"
#include "programs/window/window/unit1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PICTURE.bmp SCREENSHOT.png\n", argv[0]);
    return 2;
  }
  QApplication::setApplicationName("Tivenor");
  QApplication::setApplicationDisplayName("Tivenor");
  const QString picture = QFileInfo(argv[1]).absoluteFilePath();
  const QString screenshot = QFileInfo(argv[2]).absoluteFilePath();
  // The MIDI file and the log are written beside a copy, never into the source tree.
  QTemporaryDir work;
  QDir::setCurrent(work.path());
  const QString copy = work.filePath(QFileInfo(picture).fileName());
  if (!QFile::copy(picture, copy)) {
    std::fprintf(stderr, "cannot copy %s\n", qPrintable(picture));
    return 1;
  }

  // The sound goes nowhere: the picture needs no sound card.
  tivenor::TForm1 form(tivenor::FluidDeviceFactory({{"file", "/dev/null"}}));
  int errors = 0;
  form.ShowErrorBox = [&errors](const QString& text) {
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
    ++errors;
  };
  form.RunOpenPictureDialog = [&copy] { return std::optional<QString>(copy); };
  form.resize(1024, 768);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  form.Button1Click();
  form.Button2Click();
  QTest::qWait(500);
  if (errors > 0) return 1;
  return QProcess::execute("import", {"-window", "root", screenshot});
}
