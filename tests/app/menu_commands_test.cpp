// The menu bar, each command end to end on the real window: Open file, Save sound as, Save
// marked picture as, Quit, the two views of the picture and About (Make disc from MIDI has a
// test of its own). A failing command shows the
// error box and the window goes on working.

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QTest>

#include "adapters/picture/picture_file.h"
#include "adapters/sound/sound_font.h"
#include "programs/window/window/picture_display.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const std::vector<DiscNote> kNotes = {{4, 300}, {12, 900}, {20, 1500}, {8, 2100}};

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList MenuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) texts << action->text();
  }
  return texts;
}

}  // namespace

class MenuCommandsTest : public QObject {
  Q_OBJECT

 public:
  std::unique_ptr<WindowHarness> Started(const DiscOptions& options = {}) {
    auto harness = std::make_unique<WindowHarness>();
    harness->OpenFile(WriteDiscBitmap(harness->PathOf("disc.bmp"), kNotes, options));
    harness->Form().Button2Click();
    return harness;
  }

 private slots:
  void theMenusHoldTheCommandsWithTheUsualShortcuts() {
    WindowHarness harness;
    const QList<QMenu*> menus = harness.Form().menuBar()->findChildren<QMenu*>();
    QStringList titles;
    for (const QAction* action : harness.Form().menuBar()->actions()) titles << action->text();
    QCOMPARE(titles, QStringList({"&File", "&Disc", "&View", "&Help"}));
    const QMenu* file = harness.Form().menuBar()->actions()[0]->menu();
    QCOMPARE(MenuTexts(file),
             QStringList({"&Open file…", "&Make disc from MIDI…", "Save &MIDI as…",
                          "Save &sound as…", "Save marked &picture as…", "&Quit"}));
    QCOMPARE(harness.Form().OpenFileAction->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(harness.Form().SaveSoundAction->shortcut(), QKeySequence("Ctrl+Shift+S"));
    QCOMPARE(harness.Form().QuitAction->shortcut(), QKeySequence(QKeySequence::Quit));
    QVERIFY(!harness.Form().FitPictureAction->isChecked());
    QVERIFY(!harness.Form().ActualSizeAction->isChecked());
    // Nothing to save before a picture is shown and a tune written.
    QVERIFY(!harness.Form().SaveSoundAction->isEnabled());
    QVERIFY(!harness.Form().SaveMarkedPictureAction->isEnabled());
  }

  void openFileIsTheButtonsCommand() {
    WindowHarness harness;
    const QString picture = WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes);
    harness.dialogAnswers.push_back(picture);
    harness.Form().OpenFileAction->trigger();
    QCOMPARE(harness.dialogRuns, 1);
    QVERIFY(harness.Form().State().PictureLoaded);
    QCOMPARE(harness.Form().Bestandsnaam->text(), QString("disc.bmp"));
    QVERIFY(harness.Form().SaveMarkedPictureAction->isEnabled());
  }

  void saveSoundWritesTheTuneInTheChosenFormat() {
    auto harness = Started();
    QVERIFY(harness->errorTexts.isEmpty());
    QVERIFY(harness->Form().SaveSoundAction->isEnabled());
    harness->fileAnswers = {harness->PathOf("tune.wav"), harness->PathOf("tune.flac"),
                            harness->PathOf("tune.ogg"), std::nullopt};
    for (int i = 0; i < 4; ++i) harness->Form().SaveSoundAction->trigger();
    QVERIFY2(harness->errorTexts.isEmpty(), qPrintable(harness->errorTexts.join("; ")));
    QCOMPARE(harness->fileQuestions.front().first, FileChoice::kSoundToSave);
    QCOMPARE(harness->fileQuestions.front().second, harness->PathOf("disc.wav"));
    const QByteArray wav = FileBytes(harness->PathOf("tune.wav"));
    QVERIFY(wav.startsWith("RIFF") && wav.mid(8, 4) == "WAVE");
    // 16-bit stereo at 44100 Hz: the last note at about 2100 ticks of 6.25 ms rings out after it.
    QVERIFY(wav.size() > qsizetype{44100} * 4 * 13);
    QVERIFY(FileBytes(harness->PathOf("tune.flac")).startsWith("fLaC"));
    QVERIFY(FileBytes(harness->PathOf("tune.ogg")).startsWith("OggS"));
  }

  // Without any audio output START fails to play, yet the tune is written and can be saved.
  void aTuneThatCannotPlayCanStillBeSaved() {
    WindowHarness harness;
    harness.Devices().openFailure = "no audio output";
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes));
    harness.Form().Button2Click();
    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY2(harness.errorTexts.first().startsWith("The tune cannot be played: no audio output"),
             qPrintable(harness.errorTexts.first()));
    QVERIFY(harness.Form().SaveSoundAction->isEnabled());
    harness.fileAnswers = {harness.PathOf("tune.wav")};
    harness.Form().SaveSoundAction->trigger();
    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY(FileBytes(harness.PathOf("tune.wav")).startsWith("RIFF"));
  }

  void saveSoundFailuresGoToTheErrorBox() {
    WindowHarness early;
    early.Form().SaveSoundAs();
    QCOMPARE(early.errorTexts.size(), 1);
    QVERIFY(early.errorTexts.front().contains("START"));

    auto harness = Started();
    const QByteArray picture = FileBytes(harness->PathOf("disc.bmp"));
    QFile::copy(harness->PathOf("disc.bmp"), harness->PathOf("disc-copy.wav"));
    harness->fileAnswers = {harness->PathOf("tune.mp3"), harness->PathOf("no-folder/tune.wav")};
    harness->Form().SaveSoundAction->trigger();
    harness->Form().SaveSoundAction->trigger();
    QCOMPARE(harness->errorTexts.size(), 2);
    QVERIFY(harness->errorTexts[0].contains("tune.mp3"));
    QVERIFY(harness->errorTexts[1].contains("no-folder/tune.wav"));
    QVERIFY(!QFile::exists(harness->PathOf("tune.mp3")));
    QCOMPARE(FileBytes(harness->PathOf("disc.bmp")), picture);
    // The window goes on working.
    harness->Form().Button2Click();
    QCOMPARE(harness->Form().Berichten->text(), QString("MidiFile Ready !!"));
  }

  void saveMarkedPictureWritesWhatTheDisplayHolds() {
    auto harness = Started();
    harness->fileAnswers = {harness->PathOf("marked.png"), harness->PathOf("marked.bmp")};
    harness->Form().SaveMarkedPictureAction->trigger();
    harness->Form().SaveMarkedPictureAction->trigger();
    QVERIFY2(harness->errorTexts.isEmpty(), qPrintable(harness->errorTexts.join("; ")));
    QCOMPARE(harness->fileQuestions.front().first, FileChoice::kMarkedPictureToSave);
    const Raster& shown = harness->Form().plaat->Picture();
    QVERIFY(CountPixels(shown, kBlue) > 0);
    for (const char* name : {"marked.png", "marked.bmp"}) {
      const Raster saved = LoadPicture(harness->PathOf(name).toStdString());
      QCOMPARE(saved.width, shown.width);
      QVERIFY2(saved.pixels == shown.pixels, name);
    }
    QVERIFY(FileBytes(harness->PathOf("marked.bmp")).startsWith("BM"));
  }

  void saveMarkedPictureNeverReplacesThePicture() {
    auto harness = Started();
    const QByteArray picture = FileBytes(harness->PathOf("disc.bmp"));
    harness->fileAnswers = {harness->PathOf("disc.bmp"), harness->PathOf("no-folder/m.png")};
    harness->Form().SaveMarkedPictureAction->trigger();
    harness->Form().SaveMarkedPictureAction->trigger();
    QCOMPARE(harness->errorTexts.size(), 2);
    QVERIFY(harness->errorTexts[0].contains("disc.bmp"));
    QVERIFY(harness->errorTexts[1].contains("no-folder/m.png"));
    QCOMPARE(FileBytes(harness->PathOf("disc.bmp")), picture);
  }

  void theViewsFitOrShowTheWholePicture() {
    DiscOptions large;
    large.dpi = 300.0;  // about 1400 pixels a side: cut off as laid out
    auto harness = Started(large);
    TForm1& form = harness->Form();
    form.show();
    PictureDisplay& display = *form.plaat;
    const QSize picture(display.Picture().width, display.Picture().height);
    QVERIFY(picture.width() > PictureDisplay::kWidth);
    QCOMPARE(display.size(), QSize(PictureDisplay::kWidth, PictureDisplay::kHeight));

    form.FitPictureAction->trigger();
    QCOMPARE(display.View(), PictureView::kFitToWindow);
    const QSize room = form.PictureArea->maximumViewportSize();
    QVERIFY(display.width() <= room.width() && display.height() <= room.height());
    QVERIFY(display.width() == room.width() || display.height() == room.height());
    QVERIFY(display.Scale() < 1.0);
    // Fitted again as the window grows.
    form.resize(form.width() + 200, form.height() + 200);
    QTRY_VERIFY(display.Scale() > std::min(static_cast<double>(room.width()) / picture.width(),
                                           static_cast<double>(room.height()) / picture.height()));

    form.ActualSizeAction->trigger();
    QVERIFY(!form.FitPictureAction->isChecked());
    QCOMPARE(display.View(), PictureView::kActualSize);
    QCOMPARE(display.size(), picture);
    QCOMPARE(display.Scale(), 1.0);

    form.ActualSizeAction->trigger();  // unchecked: back to the layout's view
    QCOMPARE(display.View(), PictureView::kSpecified);
    QCOMPARE(display.size(), QSize(PictureDisplay::kWidth, PictureDisplay::kHeight));
  }

  void aboutNamesTheVersionAndTheSoundFont() {
    WindowHarness harness;
    harness.Form().AboutAction->trigger();
    QCOMPARE(harness.aboutTexts.size(), 1);
    QVERIFY(harness.aboutTexts.front().contains(QString("Tivenor ") + TIVENOR_VERSION));
    QVERIFY(harness.aboutTexts.front().contains(QString::fromStdString(RequireSoundFont())));
  }

  void quitClosesTheWindowAndThePiece() {
    auto harness = Started();
    harness->Form().show();
    QVERIFY(harness->Devices().openDevices == 1);
    harness->Form().QuitAction->trigger();
    QVERIFY(!harness->Form().isVisible());
    QCOMPARE(harness->Devices().openDevices, 0);
  }
};

QTEST_MAIN(MenuCommandsTest)
#include "menu_commands_test.moc"
