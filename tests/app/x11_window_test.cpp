// The window under a real X server with a window manager: Xvfb and openbox of the test's own,
// real key presses and clicks from xdotool, and screenshots of the whole screen taken with
// ImageMagick's import. The keyboard shortcuts open a disc and fit it to the window, a click on
// START plays it, and the screenshots show the playhead turning, holding on Pause and Stop and
// going back on Prev. Skips (exit code 77) when a tool is missing. The screenshots stay in
// TIVENOR_SCREENSHOT_DIR for a look.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <memory>

#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "tests/app/window_harness.h"
#include "tests/support/sample_melody.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

constexpr int kSkipped = 77;
// How long to wait for the X server, the window manager and the window on a busy machine.
constexpr int kPatienceMs = 30000;

QString g_display;  // ":N", the test's own X server

// Runs a tool on the test's display while the window goes on answering X events.
bool RunTool(const QString& program, const QStringList& arguments) {
  QProcess tool;
  tool.start(program, arguments);
  if (!tool.waitForStarted(5000)) return false;
  while (tool.state() != QProcess::NotRunning) QTest::qWait(10);
  return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// The playhead's pixels on a screenshot: near magenta, which no mark of the analysis is.
struct PlayheadPixels {
  long count = 0;
  QPointF mean;
};

PlayheadPixels FindPlayhead(const QImage& screen) {
  PlayheadPixels found;
  double sx = 0, sy = 0;
  for (int y = 0; y < screen.height(); ++y) {
    for (int x = 0; x < screen.width(); ++x) {
      const QRgb pixel = screen.pixel(x, y);
      if (qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) > 200) {
        ++found.count;
        sx += x;
        sy += y;
      }
    }
  }
  if (found.count > 0) found.mean = {sx / found.count, sy / found.count};
  return found;
}

// The playhead pixel nearest to `point` on the screen, in pixels; a large number when none.
double NearestPlayheadPixel(const QImage& screen, QPoint point) {
  double nearest = 1e9;
  for (int y = std::max(0, point.y() - 40); y < std::min(screen.height(), point.y() + 40); ++y) {
    for (int x = std::max(0, point.x() - 40); x < std::min(screen.width(), point.x() + 40); ++x) {
      const QRgb pixel = screen.pixel(x, y);
      if (qRed(pixel) > 200 && qGreen(pixel) < 90 && qBlue(pixel) > 200) {
        nearest = std::min(nearest, std::hypot(x - point.x(), y - point.y()));
      }
    }
  }
  return nearest;
}

// Opens devices as slowly as FluidSynth loading its SoundFont on a busy machine, then finds no
// sound server.
MediaDeviceFactory SlowDevicesWithoutSound() {
  return [](const std::string&) -> std::unique_ptr<MediaDevice> {
    QThread::msleep(2000);
    throw MediaDeviceError("pa_simple_new() failed with error: Connection refused");
  };
}

class X11WindowTest : public QObject {
  Q_OBJECT

 public:
  QImage Screenshot(const QString& name) {
    QTest::qWait(100);  // let the last repaint reach the server
    const QString file = QDir(TIVENOR_SCREENSHOT_DIR).filePath(name + ".png");
    if (!RunTool("import", {"-display", g_display, "-window", "root", file})) return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
  }

  bool Click(QWidget* widget) {
    const QPoint centre = widget->mapToGlobal(widget->rect().center());
    return RunTool("xdotool", {"mousemove", "--sync", QString::number(centre.x()),
                               QString::number(centre.y()), "click", "1"});
  }

  bool Keys(const QString& keys) { return RunTool("xdotool", {"key", "--clearmodifiers", keys}); }

 private slots:
  void thePlayheadTurnsHoldsAndGoesBackOnAScreenWithAWindowManager() {
    QDir().mkpath(TIVENOR_SCREENSHOT_DIR);
    WindowHarness harness;
    harness.Devices().ticksPerSecond = 400.0;
    TForm1& form = harness.Form();
    form.resize(900, 700);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, kPatienceMs));
    form.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), kPatienceMs);

    // Alt+F opens the File menu, Escape closes it.
    QVERIFY(Keys("alt+f"));
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() != nullptr, kPatienceMs);
    QVERIFY(!Screenshot("0-file-menu").isNull());
    QVERIFY(Keys("Escape"));
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() == nullptr, kPatienceMs);

    // Ctrl+O is File > Open file; Ctrl+9 fits the picture to the window.
    harness.dialogAnswers.push_back(
        WriteDiscBitmap(harness.PathOf("disc.bmp"), SpreadNotes(200, 3300, 150)));
    QVERIFY(Keys("ctrl+o"));
    QTRY_VERIFY_WITH_TIMEOUT(form.State().PictureLoaded, kPatienceMs);
    QVERIFY(Keys("ctrl+9"));
    QTRY_COMPARE_WITH_TIMEOUT(form.plaat->View(), PictureView::kFitToWindow, kPatienceMs);
    const QImage opened = Screenshot("1-opened");
    QVERIFY(!opened.isNull());
    QCOMPARE(FindPlayhead(opened).count, 0L);

    QVERIFY(Click(form.Button2));
    QTRY_VERIFY_WITH_TIMEOUT(form.plaat->PlayheadShown(), kPatienceMs);
    QVERIFY(harness.errorTexts.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(form.plaat->PlayheadTicks() > 0, kPatienceMs);
    const PlayheadPixels playing1 = FindPlayhead(Screenshot("2-playing"));
    QTest::qWait(600);
    const PlayheadPixels playing2 = FindPlayhead(Screenshot("3-playing-later"));
    QVERIFY2(playing1.count > 30, qPrintable(QString::number(playing1.count)));
    QVERIFY2(playing2.count > 30, qPrintable(QString::number(playing2.count)));
    // It has turned, and left rings on the notes it passed.
    QVERIFY(QLineF(playing1.mean, playing2.mean).length() > 5);

    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::kPause)));
    QTest::qWait(200);
    const PlayheadPixels paused1 = FindPlayhead(Screenshot("4-paused"));
    QTest::qWait(500);
    const PlayheadPixels paused2 = FindPlayhead(Screenshot("5-paused-later"));
    QCOMPARE(paused2.count, paused1.count);
    QCOMPARE(paused2.mean, paused1.mean);

    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::kPlay)));
    QTest::qWait(400);
    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::kStop)));
    QTest::qWait(200);
    const PlayheadPixels stopped1 = FindPlayhead(Screenshot("6-stopped"));
    QTest::qWait(500);
    const PlayheadPixels stopped2 = FindPlayhead(Screenshot("7-stopped-later"));
    QCOMPARE(stopped2.mean, stopped1.mean);
    QVERIFY(QLineF(stopped1.mean, paused1.mean).length() > 2);

    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::kPrev)));
    QTRY_COMPARE_WITH_TIMEOUT(form.plaat->PlayheadTicks(), 0.0, kPatienceMs);
    const PlayheadPixels atStart = FindPlayhead(Screenshot("8-at-start"));
    QVERIFY(atStart.count > 30);
    QVERIFY(atStart.count < stopped1.count);  // no ring yet: only the line

    // Ctrl+Shift+S is File > Save sound as.
    harness.fileAnswers.push_back(harness.PathOf("tune.wav"));
    QVERIFY(Keys("ctrl+shift+s"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(harness.PathOf("tune.wav")).size() > 44, kPatienceMs);
    QVERIFY(harness.errorTexts.isEmpty());
  }

  // A 600 dpi scan read with fitted settings through a copy of half its size: on screen the
  // playhead starts at the disc's own centre. A misread picture then shows the converter's
  // warnings whole, another picture says whose tune plays on, and a long message wraps.
  void whatTheWindowSaysIsTrueAndWholeOnScreen() {
    WindowHarness harness;
    harness.Devices().ticksPerSecond = 0.0;  // the playhead holds on the start line
    TForm1& form = harness.Form();
    form.resize(1000, 760);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, kPatienceMs));
    form.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), kPatienceMs);

    const DiscOptions fine = RealSizeScan(600);
    harness.dialogAnswers.push_back(
        WriteDiscBitmap(harness.PathOf("fine.bmp"), SampleMelody(), fine));
    QVERIFY(Keys("ctrl+o"));
    QTRY_VERIFY_WITH_TIMEOUT(form.State().PictureLoaded, kPatienceMs);
    QVERIFY(Keys("ctrl+9"));
    QTRY_COMPARE_WITH_TIMEOUT(form.plaat->View(), PictureView::kFitToWindow, kPatienceMs);
    QVERIFY(Click(form.FitSettingsBox));
    QTRY_VERIFY_WITH_TIMEOUT(form.FitSettingsBox->isChecked(), kPatienceMs);
    QVERIFY(Click(form.Button2));
    QTRY_VERIFY_WITH_TIMEOUT(form.plaat->PlayheadShown(), kPatienceMs);
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    const QImage fitted = Screenshot("10-fine-scan-playhead");
    const double centre = (form.plaat->Picture().width - 1) / 2.0 * form.plaat->Scale();
    const QPoint discCentre =
        form.plaat->mapToGlobal(QPoint(static_cast<int>(centre), static_cast<int>(centre)));
    const double offCentre = NearestPlayheadPixel(fitted, discCentre);
    QVERIFY2(offCentre < 4,
             qPrintable(QString("the playhead is %1 pixels off the disc's centre").arg(offCentre)));

    // A disc of another kind: three warnings, each readable whole.
    harness.dialogAnswers.push_back(WriteMisreadDisc(harness.PathOf("other.bmp")));
    QVERIFY(Keys("ctrl+o"));
    QTRY_COMPARE_WITH_TIMEOUT(form.Bestandsnaam->text(), QString("other.bmp"), kPatienceMs);
    QVERIFY(Click(form.FitSettingsBox));
    QTRY_VERIFY_WITH_TIMEOUT(!form.FitSettingsBox->isChecked(), kPatienceMs);
    form.SpinEdit1->setValue(100);  // the fit's values away
    form.SpinEdit2->setValue(10);
    form.SpinEdit3->setValue(75);
    QVERIFY(Click(form.Button2));
    QTRY_COMPARE_WITH_TIMEOUT(form.Berichten->text(), QString("MidiFile Ready !!"), kPatienceMs);
    auto* warnings = form.findChild<QLabel*>("WarningsPanel");
    QVERIFY(warnings != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(warnings->isVisible(), kPatienceMs);
    QCOMPARE(warnings->text().count("Warning: "), 3);
    QVERIFY(!Screenshot("11-misread-warnings").isNull());
    QVERIFY2(TextsCutOff(form).isEmpty(), qPrintable(TextsCutOff(form).join("\n")));
    const QRect screen(QPoint(0, 0), QSize(1280, 1024));
    QVERIFY(screen.contains(QRect(warnings->mapToGlobal(QPoint(0, 0)), warnings->size())));

    // Another picture: the bar plays on, and says whose tune it is; no playhead over it.
    harness.dialogAnswers.push_back(WriteDiscBitmap(harness.PathOf("waltz.bmp"), {{4, 300}}));
    QVERIFY(Keys("ctrl+o"));
    QTRY_COMPARE_WITH_TIMEOUT(form.Bestandsnaam->text(), QString("waltz.bmp"), kPatienceMs);
    auto* tune = form.findChild<QLabel*>("TuneLabel");
    QVERIFY(tune != nullptr);
    QCOMPARE(tune->text(), QString("Tune: other.mid, from other.bmp, not the picture shown"));
    form.ShowMessageLine(
        "Disc made: 87 notes punched, 0 left out; 3 notes share a tick with another of their key");
    const QImage other = Screenshot("12-another-picture");
    QCOMPARE(FindPlayhead(other).count, 0L);
    QVERIFY2(TextsCutOff(form).isEmpty(), qPrintable(TextsCutOff(form).join("\n")));
  }

  // The window is closed while START waits for the sound output, which then fails: the error
  // box must not come up over a closed window and hold it open.
  void aCloseRequestLateInStartClosesTheWindow() {
    WindowHarness harness(SlowDevicesWithoutSound());
    harness.UseTheWindowsBoxes();
    TForm1& form = harness.Form();
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), SpreadNotes(200, 3300, 150)));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form, kPatienceMs));
    form.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(form.isActiveWindow(), kPatienceMs);

    // A box that comes up anyway is taken away after a while, so that the test ends.
    bool boxCameUp = false;
    QTimer watchdog;
    watchdog.setInterval(8000);
    QObject::connect(&watchdog, &QTimer::timeout, [&boxCameUp] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        boxCameUp = true;
        box->close();
      }
    });
    watchdog.start();
    // Alt+F4, the window manager's close, while START waits.
    QVERIFY(QProcess::startDetached(
        "sh", {"-c", "sleep 0.8; DISPLAY=" + g_display + " xdotool key --clearmodifiers alt+F4"}));
    QVERIFY(Click(form.Button2));
    QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 20000);
    QVERIFY(!boxCameUp);
    QVERIFY(!form.CommandRunning());
    QVERIFY(!Screenshot("13-closed-during-start").isNull());
  }
};

// Starts the program of `arguments` and keeps it until the end of the test.
class Background {
 public:
  bool Start(const QString& program, const QStringList& arguments) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(program, arguments);
    return process_.waitForStarted(5000);
  }
  ~Background() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(5000);
  }
  QProcess& Process() { return process_; }

 private:
  QProcess process_;
};

bool ToolsMissing() {
  for (const char* tool : {"Xvfb", "openbox", "xdotool", "import", "xprop"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      std::printf("SKIP: %s is not installed\n", tool);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (ToolsMissing()) return kSkipped;
  // The X server picks a free display itself and says which on its standard output.
  Background server;
  if (!server.Start("Xvfb",
                    {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"})) {
    std::printf("SKIP: Xvfb did not start\n");
    return kSkipped;
  }
  QByteArray number;
  while (!number.contains('\n') && server.Process().waitForReadyRead(kPatienceMs)) {
    number += server.Process().readAllStandardOutput();
  }
  if (!number.contains('\n')) {
    std::printf("SKIP: Xvfb gave no display\n");
    return kSkipped;
  }
  g_display = ":" + QString::fromLatin1(number.trimmed());
  qputenv("DISPLAY", g_display.toLatin1());
  qputenv("QT_QPA_PLATFORM", "xcb");

  Background windowManager;
  if (!windowManager.Start("openbox", {"--sm-disable"})) return 1;
  // The window manager is up once it has announced itself on the root window.
  for (int tries = 0; tries < kPatienceMs / 50; ++tries) {
    QProcess xprop;
    xprop.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
    xprop.waitForFinished(5000);
    if (xprop.readAllStandardOutput().contains("window id")) break;
    QThread::msleep(50);
  }

  QApplication application(argc, argv);
  X11WindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "x11_window_test.moc"
