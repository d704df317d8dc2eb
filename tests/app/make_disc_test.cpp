// File > Make disc from MIDI, end to end: the window makes the same picture tivenor-punch makes
// for the tune, shows it as if opened, and START reads it back to the MIDI file the converter
// reads from tivenor-punch's disc. Bad tunes and names that would lose a file go to the error
// box.

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include "adapters/paint/disc_file.h"
#include "programs/window/window/make_disc_picture.h"
#include "programs/window/window/picture_display.h"
#include "tests/app/window_harness.h"
#include "tests/support/midi_reader.h"
#include "tests/support/midi_writer.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A tune on the comb's keys, a note every half second, as a sequencer writes it.
QString WriteTune(const QString& path) {
  Song song;
  song.tempos = {{0, 500000}};
  std::vector<SongNote> notes;
  const int keys[] = {64, 71, 76, 81, 88, 76, 71, 64, 68, 73, 78, 83};
  uint32_t tick = 480;
  for (int key : keys) {
    notes.push_back({tick, key, 0, 90, 240});
    tick += 480;
  }
  song.tracks = {notes};
  WriteFileBytes(path.toStdString(), SongFormat0(song));
  return path;
}

// Runs a program in `folder`; its exit code, with what it printed on failure.
int Run(const QString& folder, const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setWorkingDirectory(folder);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) return -1;
  if (process.exitCode() != 0) qWarning() << process.readAllStandardError();
  return process.exitCode();
}

}  // namespace

class MakeDiscTest : public QObject {
  Q_OBJECT

 private slots:
  void theMadeDiscIsShownAndStartReadsItLikeTheMakersDisc() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    const QString tune = WriteTune(harness.PathOf("tune.mid"));
    QCOMPARE(Run(harness.Folder(), TIVENOR_PUNCH, {"-o", "punched.bmp", "tune.mid"}), 0);
    QCOMPARE(Run(harness.Folder(), TIVENOR_CONVERT, {"punched.bmp"}), 0);

    harness.fileAnswers = {tune, harness.PathOf("made.bmp")};
    form.MakeDiscAction->trigger();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(harness.fileQuestions.size(), std::size_t{2});
    QCOMPARE(harness.fileQuestions[0].first, FileChoice::kTuneToPunch);
    QCOMPARE(harness.fileQuestions[1].first, FileChoice::kDiscPictureToSave);
    QCOMPARE(harness.fileQuestions[1].second, harness.PathOf("tune-disc.bmp"));
    QCOMPARE(FileBytes(harness.PathOf("made.bmp")), FileBytes(harness.PathOf("punched.bmp")));

    // As if opened: the picture, its name, and START ready.
    QVERIFY(form.State().PictureLoaded);
    QCOMPARE(form.Bestandsnaam->text(), QString("made.bmp"));
    QCOMPARE(form.Berichten->text(), QString("Disc made: 12 notes punched, 0 left out"));
    QCOMPARE(form.plaat->Picture().width, PicturePixels(kMadeDiscDpi));

    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(form.Berichten->text(), QString("MidiFile Ready !!"));
    const QByteArray started = FileBytes(harness.PathOf("made.mid"));
    QVERIFY(!started.isEmpty());
    QCOMPARE(started, FileBytes(harness.PathOf("punched.mid")));
    const std::vector<MidiNote> notes =
        NoteOns(ReadMidiFile(harness.PathOf("made.mid").toStdString()));
    QCOMPARE(notes.size(), std::size_t{12});
    QVERIFY(form.plaat->PlayheadShown());
  }

  void failuresGoToTheErrorBoxAndLoseNothing() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    const QString tune = WriteTune(harness.PathOf("tune.mid"));
    const QByteArray tuneBytes = FileBytes(tune);
    QFile text(harness.PathOf("notes.mid"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("these are not notes");
    text.close();

    harness.fileAnswers = {harness.PathOf("notes.mid"),
                           harness.PathOf("a.bmp"),
                           tune,
                           harness.PathOf("tune.bmp"),  // START would replace tune.mid
                           tune,
                           harness.PathOf("disc.svg"),
                           tune,
                           std::nullopt};
    for (int i = 0; i < 4; ++i) form.MakeDiscAction->trigger();
    QCOMPARE(harness.errorTexts.size(), 3);
    QVERIFY2(harness.errorTexts[0].contains("notes.mid"), qPrintable(harness.errorTexts[0]));
    QVERIFY2(harness.errorTexts[1].contains("over the tune"), qPrintable(harness.errorTexts[1]));
    QVERIFY2(harness.errorTexts[2].contains(".bmp or .png"), qPrintable(harness.errorTexts[2]));
    for (const char* name : {"a.bmp", "tune.bmp", "disc.svg"}) {
      QVERIFY2(!QFile::exists(harness.PathOf(name)), name);
    }
    QCOMPARE(FileBytes(tune), tuneBytes);
    QVERIFY(!form.State().PictureLoaded);
    // The window goes on working.
    harness.fileAnswers = {tune, harness.PathOf("good.png")};
    form.MakeDiscAction->trigger();
    QCOMPARE(harness.errorTexts.size(), 3);
    QVERIFY(form.State().PictureLoaded);

    // The picture that is open is not made over.
    const QByteArray good = FileBytes(harness.PathOf("good.png"));
    harness.fileAnswers = {tune, harness.PathOf("good.png")};
    form.MakeDiscAction->trigger();
    QCOMPARE(harness.errorTexts.size(), 4);
    QVERIFY2(harness.errorTexts[3].contains("picture that is open"),
             qPrintable(harness.errorTexts[3]));
    QCOMPARE(FileBytes(harness.PathOf("good.png")), good);
  }
};

QTEST_MAIN(MakeDiscTest)
#include "make_disc_test.moc"
