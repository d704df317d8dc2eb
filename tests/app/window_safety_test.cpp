// The window keeps what the user has and says why a START gave nothing: a picture whose MIDI
// name is itself stays as it was, so does a tune of the user's where START would write its MIDI
// file, a full disk keeps the old marked picture, and a scan without notes explains which
// setting turned the light patches away.

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <sys/stat.h>

#include "programs/window/window/open_picture_dialog.h"
#include "programs/window/window/setting_spin_box.h"
#include "programs/window/window/unit1.h"
#include "tests/app/window_harness.h"
#include "tests/support/small_disk.h"

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

  // tune.png made from the user's tune.mid: START must not replace the tune, which is no MIDI
  // file the program wrote.
  void startNeverWritesOverTheUsersTune() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("tune.png"), kNotes);
    const QString tune = harness.PathOf("tune.mid");
    QFile file(tune);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("MThd\0\0\0\6\0\1\0\2\1\xe0 the user's own tune", 32));
    file.close();
    const QByteArray before = FileBytes(tune);
    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.Button2Click();

    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY2(harness.errorTexts.first().contains("\"" + tune + "\""),
             qPrintable(harness.errorTexts.first()));
    QCOMPARE(FileBytes(tune), before);
    QVERIFY(form.Berichten->text() != "MidiFile Ready !!");

    // Its own MIDI file it replaces as before.
    QVERIFY(QFile::remove(tune));
    form.Button2Click();
    QCOMPARE(form.Berichten->text(), QString("MidiFile Ready !!"));
    form.Button2Click();
    QCOMPARE(harness.errorTexts.size(), 1);
  }

  // A marked picture a few kilobytes too large for the disk: the old file stays and the error
  // box names it and says the disk is full.
  void aFullDiskKeepsTheOldMarkedPicture() {
    WindowHarness harness;
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    TForm1& form = harness.Form();
    form.Button2Click();
    harness.fileAnswers = {harness.PathOf("sized.png")};
    form.SaveMarkedPictureAction->trigger();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    const qint64 size = QFileInfo(harness.PathOf("sized.png")).size();

    SmallDisk disk(harness.PathOf("disk").toStdString(), 2 * size + (1 << 20));
    if (!disk.Mounted()) QSKIP("cannot mount a small disk");
    const QString target = harness.PathOf("disk/marked.png");
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("an older picture");
    old.close();
    disk.LeaveFree(size - 4096);
    harness.fileAnswers = {target};
    form.SaveMarkedPictureAction->trigger();
    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY2(harness.errorTexts.first().contains("\"" + target + "\": Disk full"),
             qPrintable(harness.errorTexts.first()));
    QCOMPARE(FileBytes(target), QByteArray("an older picture"));
    QCOMPARE(QDir(harness.PathOf("disk"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({".filler", "marked.png"}));
  }

  // A Maximum below the holes' size turns every one of them away: the window says so, naming
  // the setting as its label does, instead of ending in silence.
  void startWithoutNotesSaysWhichSettingTurnedThePatchesAway() {
    WindowHarness harness;
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    TForm1& form = harness.Form();
    form.SpinEdit3->setValue(20);
    form.Button2Click();
    QCOMPARE(harness.informationTexts.size(), 1);
    const QString tooLarge = harness.informationTexts.first();
    QVERIFY2(tooLarge.contains(QString::number(kNotes.size()) + " light patches were larger than "
                                                                "Maximum 20"),
             qPrintable(tooLarge));
    QVERIFY(harness.errorTexts.isEmpty());
    QVERIFY(!QFile::exists(harness.PathOf("waltz.mid")));

    form.SpinEdit3->setValue(900);
    form.SpinEdit2->setValue(800);
    form.Button2Click();
    QVERIFY2(harness.informationTexts.last().contains("smaller than Minimum 800"),
             qPrintable(harness.informationTexts.last()));

    form.SpinEdit1->setValue(254);
    form.Button2Click();
    QVERIFY2(harness.informationTexts.last().contains("lighter than B/W Threshold 254"),
             qPrintable(harness.informationTexts.last()));
    QCOMPARE(harness.informationTexts.size(), 3);
  }

  // "Open file" on a named pipe must not wait for a writer that never comes.
  void openFileRefusesWhatIsNoRegularFile() {
    WindowHarness harness;
    const QString pipe = harness.PathOf("pipe.bmp");
    QCOMPARE(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    harness.OpenFile(pipe);
    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY2(harness.errorTexts.first().contains("not a regular file"),
             qPrintable(harness.errorTexts.first()));
    QVERIFY(!harness.Form().State().PictureLoaded);
  }

  // A typed name previews its picture; a named pipe is never opened, so the dialog never waits.
  void aTypedNamePreviewsItsPicture() {
    WindowHarness harness;
    OpenPictureDialog& dialog = *harness.Form().OpenPictureDialog1;
    const QString picture = WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    auto* nameEdit = dialog.findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(nameEdit != nullptr);
    nameEdit->setText(picture);
    QVERIFY(!dialog.Preview()->pixmap().isNull());

    const QString pipe = harness.PathOf("pipe.bmp");
    QCOMPARE(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    nameEdit->setText(pipe);
    QVERIFY(dialog.Preview()->pixmap().isNull());
  }

  // The completion list is filled in the background; once the dialog has closed it must not
  // stay or come up over the window.
  void theCompletionListClosesWithTheDialog() {
    WindowHarness harness;
    OpenPictureDialog& dialog = *harness.Form().OpenPictureDialog1;
    WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    dialog.setDirectory(harness.Folder());
    dialog.show();
    auto* nameEdit = dialog.findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(nameEdit != nullptr);
    QWidget* popup = nameEdit->completer()->popup();
    popup->show();
    QMetaObject::invokeMethod(&dialog, "reject", Qt::DirectConnection);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!popup->isVisible());
    popup->show();  // as when the list arrives late
    QTRY_VERIFY(!popup->isVisible());
  }
};

QTEST_MAIN(WindowSafetyTest)
#include "window_safety_test.moc"
