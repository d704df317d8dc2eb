// "Fit settings to the picture": off at start; when on, START fits the settings to the picture,
// shows them in the spin boxes and reads every note of scans the initial settings cannot read.

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTest>

#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "tests/app/window_harness.h"
#include "tests/e2e/note_match.h"
#include "tests/support/midi_reader.h"
#include "tests/support/sample_melody.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

QString NotesDiffer(const QString& midi, const std::vector<DiscNote>& notes, double pixelsPerMm) {
  return QString::fromStdString(
      CompareNotes(ExpectedNotes(notes), DiscNotesOf(ReadMidiFile(midi.toStdString())), pixelsPerMm)
          .differences);
}

}  // namespace

class FitSettingsBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void offAtStartInTheSettingsColumn() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    QCOMPARE(form.FitSettingsBox->text(), QString("Fit settings to the picture"));
    QVERIFY(!form.FitSettingsBox->isChecked());
    QVERIFY(form.FitSettingsBox->parentWidget() == form.SpinEdit4->parentWidget());
  }

  // At 300 dpi every hole is larger than the initial Maximum: nothing is read until the box is
  // ticked; then the fitted values stand in the spin boxes and every note comes back.
  void fittedSettingsReadAFineScanAndStayVisible() {
    WindowHarness harness;
    const std::vector<DiscNote> notes = SampleMelody();
    const DiscOptions options = RealSizeScan(300);
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("fine.bmp"), notes, options));
    TForm1& form = harness.Form();
    form.Button2Click();
    QCOMPARE(form.State().NoteCount, 0);
    QVERIFY(!QFile::exists(harness.PathOf("fine.mid")));

    form.FitSettingsBox->setChecked(true);
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(form.SpinEdit1->value(), 130);
    QCOMPARE(form.SpinEdit2->value(), 27);
    QCOMPARE(form.SpinEdit3->value(), 461);
    QCOMPARE(form.SpinEdit4->value(), 3);
    QCOMPARE(form.Berichten->text(), QString("MidiFile Ready !!"));
    QCOMPARE(NotesDiffer(harness.PathOf("fine.mid"), notes, PixelsPerMm(options)), QString());

    // The user may change a fitted value; with the box off it stays as set.
    form.FitSettingsBox->setChecked(false);
    form.SpinEdit3->setValue(60);
    form.Button2Click();
    QCOMPARE(form.SpinEdit3->value(), 60);
    QCOMPARE(form.State().NoteCount, 0);
  }

  // At 600 dpi the picture is read at half its resolution and marked at its own.
  void aVeryFineScanIsMarkedAtItsOwnSize() {
    WindowHarness harness;
    const std::vector<DiscNote> notes = SampleMelody();
    const DiscOptions options = RealSizeScan(600);
    const QString picture = WriteDiscBitmap(harness.PathOf("finest.bmp"), notes, options);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.FitSettingsBox->setChecked(true);
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(NotesDiffer(harness.PathOf("finest.mid"), notes, PixelsPerMm(options) / 2), QString());
    const Raster& shown = form.plaat->Picture();
    QCOMPARE(shown.width, QImage(picture).width());
    QCOMPARE(shown.height, QImage(picture).height());
    QVERIFY(CountPixels(shown, kGreen) > static_cast<long>(notes.size()) * 200);
    QVERIFY(CountPixels(shown, kBlue) >= static_cast<long>(notes.size()));
    QVERIFY(CountPixels(shown, kYellow) > 500);
  }
};

QTEST_MAIN(FitSettingsBoxTest)
#include "fit_settings_box_test.moc"
