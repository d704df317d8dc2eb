// The display during START: it converts only the part of the picture it shows, and repeated
// STARTs reuse the storage of their full-size pictures instead of taking fresh memory.

#include <QTest>

#include "programs/window/window/picture_display.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const std::vector<DiscNote> kNotes = {{2, 200}, {9, 500}, {15, 800}, {22, 1500}, {27, 3000}};

// A disc larger than the display on both sides, its slots within the window's hole sizes.
DiscOptions LargerThanTheDisplay() {
  DiscOptions options;
  options.dpi = 200;
  options.holeWidthMm = 0.6;
  return options;
}

}  // namespace

class DisplayStorageTest : public QObject {
  Q_OBJECT

 private slots:
  void onlyTheShownPartIsConvertedAndItMatchesThePicture() {
    WindowHarness harness;
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes, LargerThanTheDisplay()));
    TForm1& form = harness.Form();
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(form.State().NoteCount, static_cast<int>(kNotes.size()));

    const Raster& picture = form.plaat->Picture();
    const QImage& image = form.plaat->Image();
    QVERIFY(picture.width > PictureDisplay::kWidth && picture.height > PictureDisplay::kHeight);
    QCOMPARE(image.size(), QSize(PictureDisplay::kWidth, PictureDisplay::kHeight));
    int differences = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        const uint32_t expected = picture.Pixel(x, y);
        differences += (qRed(pixel) != static_cast<int>(expected & 0xFF) ||
                        qGreen(pixel) != static_cast<int>((expected >> 8) & 0xFF) ||
                        qBlue(pixel) != static_cast<int>((expected >> 16) & 0xFF))
                           ? 1
                           : 0;
      }
    }
    QCOMPARE(differences, 0);
  }

  void repeatedStartsKeepTheirStorage() {
    WindowHarness harness;
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes, LargerThanTheDisplay()));
    TForm1& form = harness.Form();
    form.Button2Click();
    QCOMPARE(form.State().NoteCount, static_cast<int>(kNotes.size()));
    const uint32_t* storage = form.plaat->Picture().pixels.data();
    const Raster first = form.plaat->Picture();
    for (int start = 2; start <= 3; ++start) {
      form.Button2Click();
      QVERIFY(harness.errorTexts.isEmpty());
      QCOMPARE(form.State().NoteCount, static_cast<int>(kNotes.size()));
      QVERIFY(form.plaat->Picture().pixels.data() == storage);
      QVERIFY(form.plaat->Picture().pixels == first.pixels);
    }
  }

  void aPictureThatFailsToLoadLeavesTheShownOne() {
    WindowHarness harness;
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("disc.bmp"), kNotes));
    const Raster shown = harness.Form().plaat->Picture();
    QVERIFY(!shown.pixels.empty());
    QVERIFY_THROWS_EXCEPTION(std::exception, harness.Form().plaat->LoadPicture(
                                                 harness.PathOf("none.bmp").toStdString()));
    QVERIFY(harness.Form().plaat->Picture().pixels == shown.pixels);
    QCOMPARE(harness.Form().plaat->Picture().width, shown.width);
  }
};

QTEST_MAIN(DisplayStorageTest)
#include "display_storage_test.moc"
