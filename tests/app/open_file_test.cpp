// "Open file": a confirmed choice, Cancel before and after a picture was loaded, pictures that
// cannot be loaded, short paths, the shown file name, and the dialog itself.

#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "adapters/picture/picture_file.h"
#include "programs/window/window/file_name_part.h"
#include "programs/window/window/open_picture_dialog.h"
#include "programs/window/window/picture_display.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const std::vector<DiscNote> kNotes = {{3, 300}, {10, 900}, {20, 1800}};

bool SamePicture(const Raster& a, const Raster& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

}  // namespace

class OpenFileTest : public QObject {
  Q_OBJECT

 private slots:
  void aConfirmedPictureIsShownAndLoaded() {
    WindowHarness harness;
    const QString path = WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes);
    harness.Form().Berichten->setText("something else");
    harness.OpenFile(path);

    TForm1& form = harness.Form();
    QVERIFY(harness.errorTexts.isEmpty());
    QCOMPARE(QString::fromStdString(form.State().SourceFileName), path);
    QCOMPARE(form.Bestandsnaam->text(), QString("disc.bmp"));
    QCOMPARE(form.Berichten->text(), QString("Messages"));
    QVERIFY(form.State().PictureLoaded);
    QVERIFY(form.State().PictureClean);
    QVERIFY(SamePicture(form.plaat->Picture(), LoadPicture(path.toStdString())));
  }

  void cancelBeforeAnyPictureLoadsNothing() {
    WindowHarness harness;
    harness.dialogAnswers.push_back(std::nullopt);
    harness.Form().Button1Click();
    QCOMPARE(harness.dialogRuns, 1);
    QVERIFY(!harness.Form().State().PictureLoaded);
    QVERIFY(harness.Form().plaat->Picture().pixels.empty());
    QVERIFY(harness.errorTexts.isEmpty());
    // START then does nothing at all.
    harness.Form().Button2Click();
    QVERIFY(harness.Devices().calls.empty());
    QCOMPARE(harness.Form().Berichten->text(), QString("Messages"));
  }

  void cancelAfterAPictureReloadsItWithoutMarks() {
    WindowHarness harness;
    const QString path = WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes);
    harness.OpenFile(path);
    TForm1& form = harness.Form();
    form.Button2Click();
    QVERIFY(!form.State().PictureClean);
    QVERIFY(!SamePicture(form.plaat->Picture(), LoadPicture(path.toStdString())));

    harness.dialogAnswers.push_back(std::nullopt);
    form.Button1Click();
    QVERIFY(SamePicture(form.plaat->Picture(), LoadPicture(path.toStdString())));
    QCOMPARE(form.Bestandsnaam->text(), QString("disc.bmp"));
    QCOMPARE(form.Berichten->text(), QString("Messages"));
    QVERIFY(form.State().PictureLoaded);
    QVERIFY(form.State().PictureClean);
  }

  void aPictureThatCannotBeLoadedShowsTheErrorBoxNamingIt() {
    WindowHarness harness;
    const QString good = WriteDiscBitmap(harness.PathOf("good.bmp"), kNotes);
    harness.OpenFile(good);
    const Raster shown = harness.Form().plaat->Picture();

    QFile bad(harness.PathOf("broken.bmp"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("BM this is not a bitmap");
    bad.close();
    harness.OpenFile(bad.fileName());

    TForm1& form = harness.Form();
    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY2(harness.errorTexts.first().contains("broken.bmp"),
             qPrintable(harness.errorTexts.first()));
    QVERIFY(!form.State().PictureLoaded);
    QCOMPARE(form.Bestandsnaam->text(), QString("broken.bmp"));
    QCOMPARE(QString::fromStdString(form.State().SourceFileName), bad.fileName());
    QVERIFY(SamePicture(form.plaat->Picture(), shown));

    // START does nothing; Cancel retries the same name and fails again.
    form.Button2Click();
    QVERIFY(harness.Devices().calls.empty());
    harness.dialogAnswers.push_back(std::nullopt);
    form.Button1Click();
    QCOMPARE(harness.errorTexts.size(), 2);
    QVERIFY(!form.State().PictureLoaded);
  }

  void aMissingFileShowsTheErrorBox() {
    WindowHarness harness;
    harness.OpenFile(harness.PathOf("nowhere.bmp"));
    QCOMPARE(harness.errorTexts.size(), 1);
    QVERIFY(harness.errorTexts.first().contains("nowhere.bmp"));
    QVERIFY(!harness.Form().State().PictureLoaded);
  }

  void aPathOfFourCharactersOrFewerIsNeverLoaded() {
    WindowHarness harness;
    harness.OpenFile("/a.b");
    QVERIFY(harness.errorTexts.isEmpty());
    QVERIFY(!harness.Form().State().PictureLoaded);
    QCOMPARE(harness.Form().Bestandsnaam->text(), QString("a.b"));
  }

  void theFileNameIsThePartAfterTheLastSeparator() {
    QCOMPARE(FileNamePart("/home/user/discs/waltz.bmp"), std::optional<QString>("waltz.bmp"));
    QCOMPARE(FileNamePart("/discs/"), std::optional<QString>(""));
    QCOMPARE(FileNamePart("waltz.bmp"), std::optional<QString>());
  }

  void aNameWithoutSeparatorLeavesTheShownNameAlone() {
    WindowHarness harness;
    const QString path = WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes);
    harness.OpenFile(path);
    harness.OpenFile("disc.bmp");  // relative to the current folder, which is the harness's
    QVERIFY(harness.errorTexts.isEmpty());
    QCOMPARE(harness.Form().Bestandsnaam->text(), QString("disc.bmp"));
    QVERIFY(harness.Form().State().PictureLoaded);
  }

  void theDialogIsModalListsBitmapsFirstAndPreviews() {
    WindowHarness harness;
    OpenPictureDialog& dialog = *harness.Form().OpenPictureDialog1;
    QCOMPARE(dialog.objectName(), QString("OpenPictureDialog1"));
    QVERIFY(dialog.isModal());
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog.nameFilters(),
             QStringList({"Bitmaps (*.bmp)", "All pictures (*.bmp *.png *.jpg *.jpeg *.tif *.tiff)",
                          "All files (*)"}));
    QCOMPARE(dialog.selectedNameFilter(), QString("Bitmaps (*.bmp)"));
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);

    const QString path = WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes);
    dialog.ShowPreview(path);
    QVERIFY(!dialog.Preview()->pixmap().isNull());
    QVERIFY(dialog.Preview()->pixmap().width() <= dialog.Preview()->width());
    dialog.ShowPreview(harness.Folder());
    QVERIFY(dialog.Preview()->pixmap().isNull());
  }

  void theRealDialogReturnsTheChosenFile() {
    WindowHarness harness;
    const QString path = WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes);
    TForm1 form(FakeDevices(std::make_shared<FakeDeviceRecord>()));
    OpenPictureDialog& dialog = *form.OpenPictureDialog1;
    dialog.setDirectory(harness.Folder());
    QTimer::singleShot(0, &dialog, [&] {
      dialog.selectFile(path);
      static_cast<QDialog&>(dialog).accept();
    });
    form.Button1Click();
    QCOMPARE(QString::fromStdString(form.State().SourceFileName), path);
    QVERIFY(form.State().PictureLoaded);

    QTimer::singleShot(0, &dialog, [&] { dialog.reject(); });
    form.Button1Click();
    QVERIFY(form.State().PictureLoaded);  // Cancel loaded the same picture again
  }
};

QTEST_MAIN(OpenFileTest)
#include "open_file_test.moc"
