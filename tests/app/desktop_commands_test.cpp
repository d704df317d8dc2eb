// What a desktop user reaches for besides the two buttons: the Disc menu with START and the
// transport, the time of the tune, help on the settings, Reset settings, Save MIDI as, and a
// picture dropped on the window.

#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const std::vector<DiscNote> kNotes = {{4, 300}, {12, 900}, {20, 1500}, {8, 2100}};

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QMenu* MenuTitled(TForm1& form, const QString& title) {
  for (const QAction* action : form.menuBar()->actions()) {
    if (action->text() == title) return action->menu();
  }
  return nullptr;
}

// Drops `urls` on the window as a file manager would.
bool Drop(TForm1& form, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPointF where(form.width() / 2.0, form.height() / 2.0);
  QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &drop);
  return true;
}

}  // namespace

class DesktopCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void theDiscMenuRunsStartAndTheTransport() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    const QMenu* disc = MenuTitled(form, "&Disc");
    QVERIFY(disc != nullptr);
    QStringList texts;
    for (const QAction* action : disc->actions()) {
      if (!action->isSeparator()) texts << action->text();
    }
    QCOMPARE(texts, QStringList({"&START", "&Play", "P&ause", "S&top", "&Next", "P&rev",
                                 "&Reset settings"}));
    QCOMPARE(form.StartAction->shortcut(), QKeySequence(Qt::Key_F5));
    // Before a tune the transport's commands are as unusable as its buttons.
    QVERIFY(!form.PlayAction->isEnabled());

    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    form.StartAction->trigger();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QVERIFY(QFile::exists(harness.PathOf("waltz.mid")));
    for (QAction* action :
         {form.PlayAction, form.PauseAction, form.StopAction, form.NextAction, form.PrevAction}) {
      QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    }
    harness.Devices().calls.clear();
    form.PauseAction->trigger();
    form.PlayAction->trigger();
    form.StopAction->trigger();
    form.NextAction->trigger();
    form.PrevAction->trigger();
    QCOMPARE(harness.Devices().calls,
             std::vector<std::string>({"pause", "play", "stop", "seek end", "seek start"}));
  }

  // "m:ss / m:ss": 4000 ticks of 6.25 ms are 25 seconds; the fake device plays 160 ticks a
  // second, one second's worth.
  void theTimeShowsWhereTheTuneStandsAndHowLongItIs() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    QCOMPARE(form.TimeLabel->text(), QString("0:00 / 0:00"));
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    form.Button2Click();
    QTRY_COMPARE(form.TimeLabel->text(), QString("0:00 / 0:25"));
    QTRY_COMPARE_WITH_TIMEOUT(form.TimeLabel->text(), QString("0:01 / 0:25"), 3000);
    form.NextAction->trigger();
    QTRY_COMPARE(form.TimeLabel->text(), QString("0:25 / 0:25"));
  }

  // The jargon is explained where it stands: what each setting does and when to change it.
  void theSettingsAndTheFitBoxExplainThemselves() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    const QList<QWidget*> explained = {form.SpinEdit1, form.SpinEdit2, form.SpinEdit3,
                                       form.SpinEdit4, form.FitSettingsBox};
    for (QWidget* widget : explained) {
      const QString help = widget->toolTip();
      QVERIFY2(help.size() > 80, qPrintable(widget->objectName() + ": " + help));
      QVERIFY2(help.contains("Raise") || help.contains("Change") || help.contains("Tick"),
               qPrintable(widget->objectName() + ": " + help));
    }
    // The labels say the same as their boxes.
    QCOMPARE(form.Label1->toolTip(), form.SpinEdit1->toolTip());
    QCOMPARE(form.Label5->toolTip(), form.SpinEdit4->toolTip());
  }

  void resetSettingsGoesBackToTheLayoutsValues() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.SpinEdit1->setValue(130);
    form.SpinEdit2->setValue(27);
    form.SpinEdit3->setValue(461);
    form.SpinEdit4->setValue(5);
    form.ResetSettingsAction->trigger();
    QCOMPARE(form.SpinEdit1->value(), 100);
    QCOMPARE(form.SpinEdit2->value(), 10);
    QCOMPARE(form.SpinEdit3->value(), 75);
    QCOMPARE(form.SpinEdit4->value(), 3);
  }

  // The bytes of the last START under a name of the user's, but never over a picture.
  void saveMidiWritesTheLastStartsBytes() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    QVERIFY(!form.SaveMidiAction->isEnabled());
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    form.Button2Click();
    QVERIFY(form.SaveMidiAction->isEnabled());
    const QByteArray written = FileBytes(harness.PathOf("waltz.mid"));
    QVERIFY(written.startsWith("MThd"));

    const QByteArray picture = FileBytes(harness.PathOf("waltz.bmp"));
    harness.fileAnswers = {harness.PathOf("keep.mid"), harness.PathOf("waltz.bmp"),
                           harness.PathOf("no-folder/x.mid")};
    for (int i = 0; i < 3; ++i) form.SaveMidiAction->trigger();
    QCOMPARE(harness.fileQuestions.front().first, FileChoice::kMidiToSave);
    QCOMPARE(harness.fileQuestions.front().second, harness.PathOf("waltz.mid"));
    QCOMPARE(FileBytes(harness.PathOf("keep.mid")), written);
    QCOMPARE(harness.errorTexts.size(), 2);
    QVERIFY2(harness.errorTexts[0].contains("waltz.bmp"), qPrintable(harness.errorTexts[0]));
    QVERIFY2(harness.errorTexts[1].contains("no-folder/x.mid"), qPrintable(harness.errorTexts[1]));
    QCOMPARE(FileBytes(harness.PathOf("waltz.bmp")), picture);

    // The bytes START made, whatever has become of its file since.
    QFile::remove(harness.PathOf("waltz.mid"));
    harness.fileAnswers = {harness.PathOf("again.mid")};
    form.SaveMidiAction->trigger();
    QCOMPARE(FileBytes(harness.PathOf("again.mid")), written);
  }

  void aPictureDroppedOnTheWindowOpens() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    const QString picture = WriteDiscBitmap(harness.PathOf("dropped.bmp"), kNotes);
    // Two files at once, or something that is no file, are not taken.
    QVERIFY(!Drop(form, {QUrl::fromLocalFile(picture), QUrl::fromLocalFile(picture)}));
    QVERIFY(!Drop(form, {QUrl("https://example.org/disc.bmp")}));
    QVERIFY(!form.State().PictureLoaded);

    QVERIFY(Drop(form, {QUrl::fromLocalFile(picture)}));
    QVERIFY(form.State().PictureLoaded);
    QCOMPARE(form.Bestandsnaam->text(), QString("dropped.bmp"));
    QCOMPARE(form.plaat->Picture().width, QImage(picture).width());

    // A file that is no picture ends in the error box, as with Open file.
    QFile text(harness.PathOf("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    QVERIFY(Drop(form, {QUrl::fromLocalFile(harness.PathOf("notes.txt"))}));
    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY(!form.State().PictureLoaded);
  }

  // The picture named on the command line opens as Open file opens it.
  void aPictureNamedOnTheCommandLineOpens() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes);
    form.OpenPictureFile("waltz.bmp");  // relative to the current folder
    QVERIFY(form.State().PictureLoaded);
    QCOMPARE(QString::fromStdString(form.State().SourceFileName), harness.PathOf("waltz.bmp"));
    form.Button2Click();
    QVERIFY(QFile::exists(harness.PathOf("waltz.mid")));
  }
};

QTEST_MAIN(DesktopCommandsTest)
#include "desktop_commands_test.moc"
