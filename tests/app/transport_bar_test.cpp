// The transport bar over a recording device: which buttons work when, what each one asks of the
// device, the keyboard, the failure texts and the glyphs.

#include <QAbstractButton>
#include <QImage>
#include <QTest>

#include <memory>

#include "programs/window/playback/transport_bar.h"
#include "tests/app/fake_media_device.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

using Calls = std::vector<std::string>;

constexpr auto kAll = {TransportButton::kPlay, TransportButton::kPause, TransportButton::kStop,
                       TransportButton::kNext, TransportButton::kPrev};

struct Bar {
  std::shared_ptr<FakeDeviceRecord> record = std::make_shared<FakeDeviceRecord>();
  QStringList errors;
  TransportBar bar{FakeDevices(record)};

  Bar() {
    bar.SetErrorReporter([this](const QString& text) { errors << text; });
  }
  void OpenAndEnable() {
    bar.SetFileName("disc.mid");
    bar.Open();
    bar.SetEnabledButtons(kAll);
    record->calls.clear();
  }
  void Click(TransportButton button) {
    QTest::mouseClick(bar.ButtonWidget(button), Qt::LeftButton);
  }
};

// Colour of the middle pixel row of a button, as painted.
bool HasColouredPixel(const QImage& image, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.saturation() > 120 && c.value() > 80) return true;
    }
  }
  return false;
}

}  // namespace

class TransportBarTest : public QObject {
  Q_OBJECT

 private slots:
  void disabledButtonsIgnoreClicks() {
    Bar b;
    for (TransportButton button : kAll) b.Click(button);
    QVERIFY(b.record->calls.empty());
    QVERIFY(b.errors.isEmpty());
  }

  void enabledButtonsWithoutADeviceSayNoDeviceIsOpen() {
    Bar b;
    b.bar.SetEnabledButtons(kAll);
    b.Click(TransportButton::kPlay);
    b.Click(TransportButton::kPrev);
    QCOMPARE(b.errors, QStringList({"No MCI device open", "No MCI device open"}));
  }

  void onlyTheButtonsTheProgramEnablesWork() {
    Bar b;
    b.bar.SetFileName("disc.mid");
    b.bar.Open();
    b.bar.SetEnabledButtons({TransportButton::kStop});
    QVERIFY(b.bar.IsButtonEnabled(TransportButton::kStop));
    QVERIFY(!b.bar.IsButtonEnabled(TransportButton::kPlay));
    b.record->calls.clear();
    b.Click(TransportButton::kPlay);
    b.Click(TransportButton::kStop);
    QCOMPARE(b.record->calls, Calls({"stop"}));
  }

  void openClosesTheDeviceStillOpenFirst() {
    Bar b;
    b.bar.SetFileName("one.mid");
    b.bar.Open();
    b.bar.SetFileName("two.mid");
    b.bar.Open();
    QCOMPARE(b.record->calls, Calls({"open one.mid", "close", "open two.mid"}));
    QCOMPARE(b.record->openDevices, 1);
    b.bar.Close();
    b.bar.Close();
    QCOMPARE(b.record->openDevices, 0);
    QVERIFY(!b.bar.IsOpen());
  }

  void aFailedOpenRaisesTheDevicesTextAndLeavesTheButtons() {
    Bar b;
    b.OpenAndEnable();
    b.record->openFailure = "The device is busy";
    try {
      b.bar.Open();
      QFAIL("open did not fail");
    } catch (const MediaDeviceError& error) {
      QCOMPARE(QString(error.what()), QString("The device is busy"));
    }
    QVERIFY(!b.bar.IsOpen());
    for (TransportButton button : kAll) QVERIFY(b.bar.IsButtonEnabled(button));
  }

  void playPauseResumeStop() {
    Bar b;
    b.OpenAndEnable();
    b.Click(TransportButton::kPlay);
    QVERIFY(b.record->current->IsPlaying());
    b.Click(TransportButton::kPause);
    QVERIFY(b.record->current->IsPaused());
    b.Click(TransportButton::kPause);
    QVERIFY(b.record->current->IsPlaying());
    b.Click(TransportButton::kStop);
    QVERIFY(!b.record->current->IsPlaying());
    QCOMPARE(b.record->calls, Calls({"play", "pause", "resume", "stop"}));
  }

  void pauseWhenResumingFailsPlays() {
    Bar b;
    b.OpenAndEnable();
    b.record->resumeFails = true;
    b.Click(TransportButton::kPlay);
    b.Click(TransportButton::kPause);
    b.Click(TransportButton::kPause);
    QCOMPARE(b.record->calls, Calls({"play", "pause", "resume", "play"}));
  }

  void pauseOnAStoppedPieceDoesNothing() {
    Bar b;
    b.OpenAndEnable();
    b.Click(TransportButton::kPause);
    QCOMPARE(b.record->calls, Calls({}));
  }

  void nextAndPrevSeekToTheEndsAndPlayRewindsAtTheEnd() {
    Bar b;
    b.OpenAndEnable();
    b.Click(TransportButton::kNext);
    QVERIFY(b.record->current->IsAtEnd());
    b.Click(TransportButton::kPlay);
    QVERIFY(b.record->current->IsPlaying());
    b.Click(TransportButton::kPrev);
    QCOMPARE(b.record->calls, Calls({"seek end", "seek start", "play", "seek start"}));
  }

  void aPiecePlayedToItsEndStartsAgainOnPlay() {
    Bar b;
    b.OpenAndEnable();
    b.bar.Play();
    b.record->current->Finish();
    b.record->calls.clear();
    b.Click(TransportButton::kPlay);
    QCOMPARE(b.record->calls, Calls({"seek start", "play"}));
    QVERIFY(b.record->current->IsPlaying());
  }

  void arrowKeysMoveBetweenTheButtonsAndSpacePresses() {
    Bar b;
    b.OpenAndEnable();
    b.bar.show();
    QVERIFY(QTest::qWaitForWindowActive(&b.bar));
    b.bar.setFocus();
    QCOMPARE(b.bar.FocusedButton(), TransportButton::kPlay);
    QTest::keyClick(&b.bar, Qt::Key_Left);
    QCOMPARE(b.bar.FocusedButton(), TransportButton::kPlay);
    QTest::keyClick(&b.bar, Qt::Key_Space);
    QTest::keyClick(&b.bar, Qt::Key_Right);
    QTest::keyClick(&b.bar, Qt::Key_Right);
    QCOMPARE(b.bar.FocusedButton(), TransportButton::kStop);
    QTest::keyClick(&b.bar, Qt::Key_Space);
    for (int i = 0; i < 5; ++i) QTest::keyClick(&b.bar, Qt::Key_Right);
    QCOMPARE(b.bar.FocusedButton(), TransportButton::kPrev);
    QCOMPARE(b.record->calls, Calls({"play", "stop"}));
  }

  void spaceOnADisabledButtonDoesNothing() {
    Bar b;
    b.bar.show();
    QVERIFY(QTest::qWaitForWindowActive(&b.bar));
    b.bar.setFocus();
    QTest::keyClick(&b.bar, Qt::Key_Space);
    QVERIFY(b.errors.isEmpty());
    QVERIFY(b.record->calls.empty());
  }

  void closingTheBarClosesTheDevice() {
    auto record = std::make_shared<FakeDeviceRecord>();
    {
      TransportBar bar(FakeDevices(record));
      bar.SetFileName("disc.mid");
      bar.Open();
      QCOMPARE(record->openDevices, 1);
    }
    QCOMPARE(record->openDevices, 0);
  }

  void glyphsAreColouredOnlyWhenEnabled() {
    Bar b;
    const QImage disabled = b.bar.grab().toImage();
    b.bar.SetEnabledButtons(kAll);
    const QImage enabled = b.bar.grab().toImage();
    for (TransportButton button : kAll) {
      QAbstractButton* widget = b.bar.ButtonWidget(button);
      const QRect area(widget->geometry().topLeft() * disabled.devicePixelRatio(),
                       widget->size() * disabled.devicePixelRatio());
      QVERIFY(!HasColouredPixel(disabled, area));
      QVERIFY(HasColouredPixel(enabled, area));
    }
    // Left to right: Play, Pause, Stop, Next, Prev.
    QVERIFY(b.bar.ButtonWidget(TransportButton::kPlay)->x() <
            b.bar.ButtonWidget(TransportButton::kPause)->x());
    QVERIFY(b.bar.ButtonWidget(TransportButton::kNext)->x() <
            b.bar.ButtonWidget(TransportButton::kPrev)->x());
  }
};

QTEST_MAIN(TransportBarTest)
#include "transport_bar_test.moc"
