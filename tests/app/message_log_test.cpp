// The message line, the log file "musicbox.log" and the error box.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "programs/window/window/setting_spin_box.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

class PaintCounter : public QObject {
 public:
  int paints = 0;
  QString textAtLastPaint;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      textAtLastPaint = static_cast<QLabel*>(watched)->text();
    }
    return false;
  }
};

QByteArray LogBytes() {
  QFile log("musicbox.log");
  return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

}  // namespace

class MessageLogTest : public QObject {
  Q_OBJECT

 private slots:
  void aMessageIsPaintedAndPendingEventsRunBeforeItReturns() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PaintCounter counter;
    form.Berichten->installEventFilter(&counter);
    bool pendingEventRan = false;
    QTimer::singleShot(0, &form, [&] { pendingEventRan = true; });

    form.ShowMessageLine("# Music Notes = 7");
    QCOMPARE(form.Berichten->text(), QString("# Music Notes = 7"));
    QVERIFY(counter.paints > 0);
    QCOMPARE(counter.textAtLastPaint, QString("# Music Notes = 7"));
    QVERIFY(pendingEventRan);
  }

  void theFirstLogLineOfARunStartsTheFileAfreshAndLaterOnesAppend() {
    WindowHarness harness;
    {
      QFile old("musicbox.log");
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("from an earlier run\r\n");
    }
    TForm1& form = harness.Form();
    form.WriteLogLine("ERROR: too many notes");
    form.WriteLogLine("No tone corresponding with pin 7 : -1");
    QCOMPARE(LogBytes(),
             QByteArray("ERROR: too many notes\r\nNo tone corresponding with pin 7 : -1\r\n"));
    QVERIFY(!form.Log().LogFresh);
  }

  void aRunThatLogsNothingLeavesTheOldLogAlone() {
    WindowHarness harness;
    {
      QFile old("musicbox.log");
      QVERIFY(old.open(QIODevice::WriteOnly));
      old.write("from an earlier run\r\n");
    }
    harness.Form().ShowMessageLine("Messages");
    QCOMPARE(LogBytes(), QByteArray("from an earlier run\r\n"));
  }

  void aLogDeletedAfterItsFirstLineIsStartedAgain() {
    WindowHarness harness;
    harness.Form().WriteLogLine("ERROR: too many notes");
    QVERIFY(QFile::remove("musicbox.log"));
    harness.Form().WriteLogLine("No tone corresponding with pin 3 : 30");
    QCOMPARE(LogBytes(), QByteArray("No tone corresponding with pin 3 : 30\r\n"));
  }

  void oversizedHolesOfAStartAreLogged() {
    WindowHarness harness;
    DiscOptions options;
    options.dpi = 300;
    options.holeWidthMm = 1.0;
    options.holeLengthMm = 4.0;  // about 560 pixels: more than a hole can hold
    const QString picture =
        WriteDiscBitmap(harness.PathOf("big.bmp"), {{4, 600}, {12, 1600}}, options);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.SpinEdit3->setValue(900);
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));

    const QList<QByteArray> lines = LogBytes().split('\n');
    QVERIFY(lines.size() > 2);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
      QCOMPARE(lines[i], QByteArray("ERROR: too many pixels in disk hole\r"));
    }
    QVERIFY(lines.last().isEmpty());
  }

  void theErrorBoxIsModalTitledWithAnErrorIconAndOk() {
    WindowHarness harness;
    TForm1 form(FakeDevices(std::make_shared<FakeDeviceRecord>()));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
    // Waits for the box: the window lets pending events run before it shows one.
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, &form, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      watch.stop();
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = box->standardButtons();
      modal = box->isModal();
      box->button(QMessageBox::Ok)->click();
    });
    watch.start();
    form.ShowErrorBox("Range check error");
    QCOMPARE(title, QString("Tivenor"));
    QCOMPARE(text, QString("Range check error"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(modal);
  }
};

QTEST_MAIN(MessageLogTest)
#include "message_log_test.moc"
