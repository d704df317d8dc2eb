// "START": nothing without a picture, no MIDI file without notes, the MIDI bytes the engine
// gives for a rendered disc, repeated STARTs, settings changed in between, failures half-way,
// the busy cursor and clicks that arrive while START runs.

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "adapters/picture/picture_file.h"
#include "engine/roads/read_disc.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "tests/app/window_harness.h"
#include "tests/support/memory_host.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

using Calls = std::vector<std::string>;

const std::vector<DiscNote> kNotes = {{2, 200},   {9, 500},  {15, 800}, {2, 1100},
                                      {22, 1500}, {5, 2000}, {6, 2400}, {27, 3000}};

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The bytes the engine builds for the picture with the window's initial settings.
QByteArray EngineBytes(const QString& picture, int minimum = 10) {
  MemoryHost host(LoadPicture(picture.toStdString()));
  host.settings.minimum = minimum;
  ScanState state;
  state.SourceFileName = picture.toStdString();
  state.PictureLoaded = true;
  state.PictureClean = true;
  const std::vector<uint8_t> bytes = ReadDisc(state, host, {}).midi;
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

bool AllButtonsEnabled(const TransportBar& bar) {
  for (TransportButton button : kTransportButtons) {
    if (!bar.IsButtonEnabled(button)) return false;
  }
  return true;
}

}  // namespace

class StartCommandTest : public QObject {
  Q_OBJECT

 private slots:
  void withoutAPictureStartDoesNothing() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.Button2Click();
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(form.Berichten->text(), QString("Messages"));
    QVERIFY(harness.Devices().calls.empty());
    QVERIFY(harness.errorTexts.isEmpty());
    QVERIFY(form.State().PictureClean);
  }

  void aRenderedDiscGivesTheEnginesMidiFileAndPlaysIt() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.Button2Click();

    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    const QString midi = harness.PathOf("waltz.mid");
    QCOMPARE(QString::fromStdString(form.State().MidiFileName), midi);
    QCOMPARE(form.State().NoteCount, static_cast<int>(kNotes.size()));
    QCOMPARE(FileBytes(midi), EngineBytes(picture));
    QCOMPARE(form.Berichten->text(), QString("MidiFile Ready !!"));
    QVERIFY(!form.State().PictureClean);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(harness.Devices().calls, Calls({"open " + midi.toStdString(), "play"}));
    QCOMPARE(form.MediaPlayer1->FileName(), midi.toStdString());
    QVERIFY(AllButtonsEnabled(*form.MediaPlayer1));

    // The outline, the holes, the note points and the start line are on screen.
    const Raster& shown = form.plaat->Picture();
    QVERIFY(CountPixels(shown, kRed) > 0);
    QVERIFY(CountPixels(shown, kGreen) > 0);
    QVERIFY(CountPixels(shown, kBlue) > 0);
    QVERIFY(CountPixels(shown, kYellow) > 0);
    QCOMPARE(form.plaat->Image().pixel(0, 0) & 0xFFFFFFu, QImage(picture).pixel(0, 0) & 0xFFFFFFu);
  }

  void twoStartsInARowGiveTheSameFileAndPicture() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.Button2Click();
    const QByteArray first = FileBytes(harness.PathOf("waltz.mid"));
    const Raster firstPicture = form.plaat->Picture();
    form.Button2Click();

    QVERIFY(harness.errorTexts.isEmpty());
    QCOMPARE(FileBytes(harness.PathOf("waltz.mid")), first);
    QVERIFY(form.plaat->Picture().pixels == firstPicture.pixels);
    const std::string open = "open " + harness.PathOf("waltz.mid").toStdString();
    // The file of the first START is closed before it is written again.
    QCOMPARE(harness.Devices().calls, Calls({open, "play", "close", open, "play"}));
    QCOMPARE(harness.Devices().openDevices, 1);
  }

  void aSettingChangedBetweenStartsTakesEffect() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.Button2Click();
    QCOMPARE(form.State().NoteCount, static_cast<int>(kNotes.size()));

    // Holes smaller than the minimum are no notes.
    form.SpinEdit2->setValue(900);
    form.Button2Click();
    QCOMPARE(form.State().NoteCount, 0);
    QCOMPARE(form.Berichten->text(), QString("Find Midpoint + Diameter"));

    form.SpinEdit2->setValue(20);
    form.Button2Click();
    QCOMPARE(form.State().NoteCount, static_cast<int>(kNotes.size()));
    QCOMPARE(FileBytes(harness.PathOf("waltz.mid")), EngineBytes(picture, 20));
    QVERIFY(harness.errorTexts.isEmpty());
  }

  void aDiscWithoutNotesWritesNoMidiFile() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("blank.bmp"), {});
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.Button2Click();

    QVERIFY(harness.errorTexts.isEmpty());
    QCOMPARE(form.State().NoteCount, 0);
    QVERIFY(!QFile::exists(harness.PathOf("blank.mid")));
    QCOMPARE(form.Berichten->text(), QString("Find Midpoint + Diameter"));
    QVERIFY(!form.State().PictureClean);
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(harness.Devices().calls.empty());
  }

  void aPictureWithoutADiscEndsInTheErrorBox() {
    WindowHarness harness;
    Raster white;
    white.Resize(200, 200, 0x00FFFFFF);
    SavePicture(white, harness.PathOf("white.png").toStdString());
    harness.OpenFile(harness.PathOf("white.png"));
    TForm1& form = harness.Form();
    QVERIFY(form.State().PictureLoaded);
    form.Button2Click();
    QCOMPARE(harness.errorTexts, QStringList({"No disc found in the picture"}));
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    // The window goes on working.
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    form.Button2Click();
    QCOMPARE(form.Berichten->text(), QString("MidiFile Ready !!"));
  }

  void aFailureWhileWritingLeavesTheDeviceClosedAndTheWindowWorking() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.Button2Click();
    QVERIFY(form.MediaPlayer1->IsOpen());

    // A folder where the MIDI file should go makes the save fail.
    QFile::remove(harness.PathOf("waltz.mid"));
    QVERIFY(QDir(harness.Folder()).mkdir("waltz.mid"));
    form.Berichten->setText("before");
    form.Button2Click();

    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY2(harness.errorTexts.first().contains("waltz.mid"),
             qPrintable(harness.errorTexts.first()));
    QVERIFY(form.Berichten->text() != "MidiFile Ready !!");
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!form.State().PictureClean);
    QVERIFY(!form.MediaPlayer1->IsOpen());
    QVERIFY(AllButtonsEnabled(*form.MediaPlayer1));

    // The buttons of the earlier run are still enabled, but there is no device behind them:
    // Play says why.
    QTest::mouseClick(form.MediaPlayer1->ButtonWidget(TransportButton::kPlay), Qt::LeftButton);
    QCOMPARE(harness.errorTexts.size(), 2);
    QVERIFY2(harness.errorTexts.last().contains("no tune to play") &&
                 harness.errorTexts.last().contains(harness.errorTexts.first()),
             qPrintable(harness.errorTexts.last()));

    QVERIFY(QDir(harness.Folder()).rmdir("waltz.mid"));
    form.Button2Click();
    QCOMPARE(form.Berichten->text(), QString("MidiFile Ready !!"));
    QVERIFY(form.MediaPlayer1->IsOpen());
  }

  void aDeviceThatCannotOpenEndsStartBeforeTheMessage() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    harness.Devices().openFailure = "No audio output";
    TForm1& form = harness.Form();
    form.Button2Click();

    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY(harness.errorTexts.first().startsWith("The tune cannot be played: No audio output"));
    QVERIFY(harness.errorTexts.first().contains("The MIDI file was written: " +
                                                harness.PathOf("waltz.mid")));
    QVERIFY(QFile::exists(harness.PathOf("waltz.mid")));
    QVERIFY(form.Berichten->text() != "MidiFile Ready !!");
    QVERIFY(!form.State().PictureClean);
    for (TransportButton button : kTransportButtons) {
      QVERIFY(!form.MediaPlayer1->IsButtonEnabled(button));
    }
  }

  void theCursorIsBusyAndCommandClicksAreIgnoredWhileStartRuns() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // Runs inside START, at the first message that lets pending events through.
    Qt::CursorShape cursorDuringStart = Qt::ArrowCursor;
    bool settingsEditable = false;
    QTimer::singleShot(0, &form, [&] {
      cursorDuringStart = form.cursor().shape();
      QTest::mouseClick(form.Button1, Qt::LeftButton);
      QTest::mouseClick(form.Button2, Qt::LeftButton);
      settingsEditable = form.SpinEdit1->isEnabled();
    });
    const int dialogRunsBefore = harness.dialogRuns;
    form.Button2Click();

    QCOMPARE(cursorDuringStart, Qt::WaitCursor);
    QVERIFY(settingsEditable);
    QCOMPARE(harness.dialogRuns, dialogRunsBefore);
    QCOMPARE(harness.Devices().calls.size(), std::size_t{2});  // one open and one play
    QVERIFY(!form.CommandRunning());
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
  }

  void closingTheWindowClosesTheDevice() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    harness.OpenFile(picture);
    harness.Form().show();
    harness.Form().Button2Click();
    QCOMPARE(harness.Devices().openDevices, 1);
    harness.Form().close();
    QCOMPARE(harness.Devices().openDevices, 0);
  }
};

QTEST_MAIN(StartCommandTest)
#include "start_command_test.moc"
