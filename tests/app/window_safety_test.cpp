// The window keeps what the user has and says why a START gave nothing: a picture whose MIDI
// name is itself stays as it was, and a scan without notes explains which setting turned the
// light patches away.

#include <QFile>
#include <QLabel>
#include <QTest>

#include "app/window/unit1.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const std::vector<DiscNote> kNotes = {{2, 200}, {9, 500}, {15, 800}, {22, 1500}, {27, 3000}};

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

class WindowSafetyTest : public QObject {
  Q_OBJECT

 private slots:
  // "pyramid" minus its last three characters plus "mid" is "pyramid" again.
  void startNeverWritesOverThePicture() {
    for (const QString name : {"pyramid", "tune.mid"}) {
      WindowHarness harness;
      const QString picture = WriteDiscBitmap(harness.PathOf(name), kNotes);
      const QByteArray before = FileBytes(picture);
      harness.OpenFile(picture);
      TForm1& form = harness.Form();
      form.Button2Click();

      QCOMPARE(harness.errorTexts.size(), 1);
      const QString text = harness.errorTexts.first();
      QVERIFY2(text.count(picture) == 2, qPrintable(text));
      QCOMPARE(FileBytes(picture), before);
      QVERIFY(form.Berichten->text() != "MidiFile Ready !!");
      QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    }
  }
};

QTEST_MAIN(WindowSafetyTest)
#include "window_safety_test.moc"
