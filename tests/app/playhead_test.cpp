// The playhead over the picture while the disc plays: it starts on the start line, turns
// counter-clockwise with the music at least 20 times a second, holds on Pause and Stop, goes back
// on Prev, rings the notes it has played, and never changes the picture itself.

#include <QElapsedTimer>
#include <QImage>
#include <QTest>

#include <cmath>
#include <set>

#include "engine/transcription/revolution_angle.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/playhead_overlay.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const std::vector<DiscNote> kNotes = {{4, 300}, {12, 900}, {20, 1500}, {8, 2100}, {16, 2700}};

long CountColour(const QImage& image, const QRect& area, QRgb colour) {
  long count = 0;
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) count += image.pixel(x, y) == colour;
  }
  return count;
}

// Direction of the screen point from the centre, a fraction of a revolution counter-clockwise.
double DirectionOf(const PixelPointF& centre, const QPointF& point) {
  return RevolutionAngle(point.x() - centre.x, centre.y - point.y());
}

}  // namespace

class PlayheadTest : public QObject {
  Q_OBJECT

 public:
  // A window that has run START on a disc of kNotes.
  std::unique_ptr<WindowHarness> Started(double ticksPerSecond = 400.0) {
    auto harness = std::make_unique<WindowHarness>();
    harness->Devices().ticksPerSecond = ticksPerSecond;
    harness->OpenFile(WriteDiscBitmap(harness->PathOf("disc.bmp"), kNotes));
    harness->Form().Button2Click();
    return harness;
  }

  static PictureDisplay& Display(WindowHarness& harness) { return *harness.Form().plaat; }

  static void Press(WindowHarness& harness, TransportButton button) {
    harness.Form().MediaPlayer1->Press(button);
  }

  // The playhead stays where it is for a while.
  static bool Holds(WindowHarness& harness) {
    const double before = Display(harness).PlayheadTicks();
    QTest::qWait(250);
    return Display(harness).PlayheadTicks() == before;
  }

 private slots:
  void startShowsThePlayheadOnTheStartLine() {
    auto harness = Started();
    PictureDisplay& display = Display(*harness);
    QVERIFY(harness->errorTexts.isEmpty());
    QVERIFY(display.PlayheadShown());
    QCOMPARE(display.PlayheadTicks(), 0.0);
    QCOMPARE(display.Playhead().notes.size(), kNotes.size());
    QCOMPARE(display.Playhead().startAngle, harness->Form().State().StartAngle);
  }

  void itMovesAtLeastTwentyTimesASecondAndTurnsCounterClockwise() {
    auto harness = Started(200.0);
    PictureDisplay& display = Display(*harness);
    QTRY_VERIFY(display.PlayheadTicks() > 0);  // past the MIDI file's set-up
    const double from = display.PlayheadTicks();
    std::set<double> positions;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
      QTest::qWait(5);
      positions.insert(display.PlayheadTicks());
    }
    QVERIFY2(positions.size() >= 40, qPrintable(QString::number(positions.size())));
    // 200 ticks a second for two seconds.
    const double ticks = display.PlayheadTicks();
    QVERIFY2(ticks - from > 300 && ticks - from < 600, qPrintable(QString::number(ticks - from)));
    const PixelPointF end = PlayheadEnd(display.Playhead(), ticks);
    const double turned =
        DirectionOf(display.Playhead().centre, {end.x, end.y}) - display.Playhead().startAngle;
    QVERIFY(std::abs(turned - ticks / 3600.0) < 1e-9);
  }

  void pauseAndStopHoldItAndPrevPutsItAtTheStart() {
    auto harness = Started();
    QTest::qWait(400);
    QVERIFY(Display(*harness).PlayheadTicks() > 0);

    Press(*harness, TransportButton::kPause);
    QTest::qWait(60);
    QVERIFY(Holds(*harness));
    Press(*harness, TransportButton::kPause);  // resumes
    const double resumedAt = Display(*harness).PlayheadTicks();
    QTRY_VERIFY(Display(*harness).PlayheadTicks() > resumedAt);

    Press(*harness, TransportButton::kStop);
    QTest::qWait(60);
    const double stoppedAt = Display(*harness).PlayheadTicks();
    QVERIFY(stoppedAt > 0);
    QVERIFY(Holds(*harness));

    Press(*harness, TransportButton::kPrev);
    QTRY_COMPARE(Display(*harness).PlayheadTicks(), 0.0);
    QVERIFY(Holds(*harness));
    Press(*harness, TransportButton::kPlay);
    QTRY_VERIFY(Display(*harness).PlayheadTicks() > 0);
  }

  // Drawn over the picture on screen: the picture itself keeps every pixel, and the notes the
  // playhead has passed get a ring.
  void itIsDrawnOverThePictureWithoutChangingIt() {
    auto harness = Started(0.0);  // holds at the start
    PictureDisplay& display = Display(*harness);
    const QImage picture = display.Image();
    const QRgb magenta = kPlayheadColour.rgb();
    QCOMPARE(CountColour(picture, picture.rect(), magenta), 0L);

    const PlayheadNote first = display.Playhead().notes.front();
    const QRect aroundFirst(static_cast<int>(first.point.x) - 8,
                            static_cast<int>(first.point.y) - 8, 17, 17);
    QImage screen = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(CountColour(screen, screen.rect(), magenta) > 50);  // the line
    QCOMPARE(CountColour(screen, aroundFirst, magenta), 0L);

    display.MovePlayhead(first.time + 1.0);
    screen = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(CountColour(screen, aroundFirst, magenta) > 10);  // its ring
    QCOMPARE(display.Image(), picture);
  }

  void aNewPictureDropsThePlayhead() {
    auto harness = Started();
    QVERIFY(Display(*harness).PlayheadShown());
    harness->OpenFile(harness->PathOf("disc.bmp"));
    QVERIFY(!Display(*harness).PlayheadShown());
    harness->Form().Button2Click();
    QVERIFY(Display(*harness).PlayheadShown());
  }
};

QTEST_MAIN(PlayheadTest)
#include "playhead_test.moc"
