// The window under a real X server with a window manager: Xvfb and openbox of the test's own,
// real key presses and clicks from xdotool, and screenshots of the whole screen taken with
// ImageMagick's import. The keyboard shortcuts open a disc and fit it to the window, a click on
// START plays it, and the screenshots show the playhead turning, holding on Pause and Stop and
// going back on Prev. Skips (exit code 77) when a tool is missing. The screenshots stay in
// TIVENOR_SCREENSHOT_DIR for a look.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <cstdio>
#include <memory>

#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/picture_display.h"
#include "tests/app/window_harness.h"

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
    QTRY_COMPARE_WITH_TIMEOUT(form.plaat->View(), PictureView::FitToWindow, kPatienceMs);
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

    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::Pause)));
    QTest::qWait(200);
    const PlayheadPixels paused1 = FindPlayhead(Screenshot("4-paused"));
    QTest::qWait(500);
    const PlayheadPixels paused2 = FindPlayhead(Screenshot("5-paused-later"));
    QCOMPARE(paused2.count, paused1.count);
    QCOMPARE(paused2.mean, paused1.mean);

    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::Play)));
    QTest::qWait(400);
    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::Stop)));
    QTest::qWait(200);
    const PlayheadPixels stopped1 = FindPlayhead(Screenshot("6-stopped"));
    QTest::qWait(500);
    const PlayheadPixels stopped2 = FindPlayhead(Screenshot("7-stopped-later"));
    QCOMPARE(stopped2.mean, stopped1.mean);
    QVERIFY(QLineF(stopped1.mean, paused1.mean).length() > 2);

    QVERIFY(Click(form.MediaPlayer1->ButtonWidget(TransportButton::Prev)));
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
