// The window tells the truth: the playhead lies on the disc of a picture read through a smaller
// copy, a misread picture shows the converter's warnings and refusals, the window says which
// tune the transport bar holds and why it cannot play, every text is readable whole, a missing
// sound output is said in words, and a close request in the middle of START closes the window.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "adapters/sound/fluid_midi_device.h"
#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/format_choice.h"
#include "programs/window/window/picture_display.h"
#include "tests/app/window_harness.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/sample_melody.h"
#include "tests/support/test_formats.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const std::vector<DiscNote> kNotes = {{4, 300}, {12, 900}, {20, 1500}, {8, 2100}, {16, 2700}};

// A picture with a blue note mark within `reach` pixels of `point`.
bool BlueNear(const Raster& picture, const PixelPointF& point, int reach) {
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      if (picture.Pixel(static_cast<int32_t>(std::lround(point.x)) + dx,
                        static_cast<int32_t>(std::lround(point.y)) + dy) == kBlue) {
        return true;
      }
    }
  }
  return false;
}

// The converter's line for a picture it refuses to read as `format`, without its program's name
// and the picture's.
QString ConverterRefusal(const QString& picture, const QString& format) {
  QProcess converter;
  converter.setWorkingDirectory(QFileInfo(picture).path());
  converter.start(TIVENOR_CONVERT, {"--format", format, "-o", picture + ".converted.mid", picture});
  converter.waitForFinished(60000);
  const QStringList lines =
      QString::fromLocal8Bit(converter.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
  const QString prefix = "tivenor-convert: \"" + picture + "\": ";
  if (converter.exitCode() != 1 || lines.isEmpty() || !lines.last().startsWith(prefix)) return {};
  return lines.last().mid(prefix.size());
}

// An organette disc of 80 notes, with its label, drive holes and spindle hole.
FormatDiscOptions WriteOrganetteDisc(const QString& path, double dpi = 100) {
  const DiscFormat format = Ariston24();
  std::vector<TuneNote> tune;
  tune.reserve(80);
  for (int i = 0; i < 80; ++i) {
    tune.push_back({format.keys[static_cast<std::size_t>((i * 7) % format.TrackCount())], 0.6 * i,
                    0.3 + 0.1 * (i % 9)});
  }
  FormatDiscOptions options;
  options.dpi = dpi;
  options.drawLabel = true;
  options.drawDriveHoles = true;
  options.drawSpindle = true;
  WriteBmp(RenderFormatDisc(format, SlotsOfTune(format, tune, format.turnSeconds), options),
           BmpFormat::Rgb24, path.toStdString());
  return options;
}

// The converter's warnings for the same picture, one per line.
QStringList ConverterWarnings(const QString& picture) {
  QProcess converter;
  converter.setWorkingDirectory(QFileInfo(picture).path());
  converter.start(TIVENOR_CONVERT, {"-o", picture + ".converted.mid", picture});
  converter.waitForFinished(60000);
  QStringList warnings;
  for (const QString& line : QString::fromLocal8Bit(converter.readAllStandardError()).split('\n')) {
    if (line.contains(": warning: ")) warnings << line;
  }
  return warnings;
}

QLabel* LabelNamed(TForm1& form, const char* name) {
  return form.findChild<QLabel*>(name);
}

// Opens devices as slowly as FluidSynth loading its SoundFont on a busy machine.
MediaDeviceFactory SlowDevices(std::shared_ptr<FakeDeviceRecord> record, int milliseconds) {
  return [record, milliseconds](const std::string& file) -> std::unique_ptr<MediaDevice> {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
    return std::make_unique<FakeMediaDevice>(record, file);
  };
}

}  // namespace

class WindowTruthTest : public QObject {
  Q_OBJECT

 private slots:
  // At 600 dpi with the settings fitted the engine reads a copy of half the size; the playhead
  // and its rings must still lie on the picture's own disc and notes.
  void thePlayheadLiesOnTheDiscOfAPictureReadSmaller() {
    WindowHarness harness;
    const DiscOptions options = RealSizeScan(600);
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("fine.bmp"), SampleMelody(), options));
    TForm1& form = harness.Form();
    form.FitSettingsBox->setChecked(true);
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QVERIFY(form.plaat->PlayheadShown());

    const PlayheadMap& map = form.plaat->Playhead();
    const Raster& picture = form.plaat->Picture();
    const double centre = (picture.width - 1) / 2.0;  // the renderer's disc is centred
    QVERIFY2(std::abs(map.centre.x - centre) < 3 && std::abs(map.centre.y - centre) < 3,
             qPrintable(QString("centre %1, %2").arg(map.centre.x).arg(map.centre.y)));
    const double rim = 57.0 * PixelsPerMm(options);
    QVERIFY2(std::abs(map.radius - rim) < 0.02 * rim, qPrintable(QString::number(map.radius)));
    QCOMPARE(map.notes.size(), SampleMelody().size());
    for (const PlayheadNote& note : map.notes) {
      QVERIFY2(BlueNear(picture, note.point, 3),
               qPrintable(QString("no note mark at %1, %2").arg(note.point.x).arg(note.point.y)));
    }
  }

  // An organette disc large enough that the built-in disc would be read at half its size: its
  // slots are read on the picture itself, and the playhead turns about the picture's own centre.
  void thePlayheadTurnsAboutAFormatDiscsOwnCentre() {
    WindowHarness harness;
    const FormatDiscOptions options = WriteOrganetteDisc(harness.PathOf("large.bmp"), 150);
    harness.OpenFile(harness.PathOf("large.bmp"));
    TForm1& form = harness.Form();
    form.FitSettingsBox->setChecked(true);
    form.DiscFormatChoice->Box->setCurrentText("ariston-24");
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QVERIFY(form.plaat->PlayheadShown());
    const PlayheadMap& map = form.plaat->Playhead();
    const DiscFormat format = Ariston24();
    const double x = CentreXPx(format, options), y = CentreYPx(format, options);
    QVERIFY2(std::abs(map.centre.x - x) < 2 && std::abs(map.centre.y - y) < 2,
             qPrintable(QString("centre %1, %2 instead of %3, %4")
                            .arg(map.centre.x)
                            .arg(map.centre.y)
                            .arg(x)
                            .arg(y)));
  }

  // The converter warns three times about this picture; the window shows the same warnings,
  // whole, beside the result, while the tune plays.
  void aMisreadPictureShowsTheConvertersWarnings() {
    WindowHarness harness;
    const QString picture = WriteMisreadDisc(harness.PathOf("other.bmp"));
    const QStringList converter = ConverterWarnings(picture);
    QCOMPARE(converter.size(), 3);

    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.resize(900, 700);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(harness.Devices().calls.back(), std::string("play"));

    QLabel* panel = LabelNamed(form, "WarningsPanel");
    QVERIFY(panel != nullptr);
    QVERIFY(panel->isVisible());
    const QString shown = panel->text();
    QCOMPARE(shown.count("Warning: "), converter.size());
    // Word for word, but for the names of the settings and of the fit.
    for (QString warning : converter) {
      warning = warning.mid(warning.indexOf(picture + ": ") + picture.size() + 2);
      warning.replace("--threshold", "B/W Threshold")
          .replace("--minimum", "Minimum")
          .replace("--maximum", "Maximum")
          .replace("--auto", "\"Fit settings to the picture\"");
      QVERIFY2(shown.contains("Warning: " + warning), qPrintable(warning + "\n\n" + shown));
    }
    QVERIFY2(shown.contains("light patches inside the disc were larger than Maximum 75"),
             qPrintable(shown));
    QVERIFY2(shown.contains("notes lie outside the pins' radii"), qPrintable(shown));
    QVERIFY2(shown.contains("outline touches the edge of the picture"), qPrintable(shown));
    QVERIFY2(TextsCutOff(form).isEmpty(), qPrintable(TextsCutOff(form).join("\n")));

    // A new picture takes the warnings away; they were about the other one.
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("good.bmp"), kNotes));
    QVERIFY(!panel->isVisible());
    form.Button2Click();
    QVERIFY(!panel->isVisible());
  }

  // A disc read with a format it is not: the window shows the converter's refusal word for word
  // among its warnings, and writes and plays nothing; read with its own format it plays.
  void slotsThatDoNotFitTheFormatShowTheConvertersRefusal() {
    WindowHarness harness;
    const QString picture = harness.PathOf("organette.bmp");
    WriteOrganetteDisc(picture);
    const QString refusal = ConverterRefusal(picture, "piano-player-36");
    QVERIFY2(refusal.startsWith("the slots do not fit piano-player-36 ("), qPrintable(refusal));
    QVERIFY2(refusal.endsWith("closest ariston-24, 0% of slots off-track"), qPrintable(refusal));

    harness.OpenFile(picture);
    TForm1& form = harness.Form();
    form.resize(900, 700);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.DiscFormatChoice->Box->setCurrentText("piano-player-36");
    form.Button2Click();
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QVERIFY2(harness.informationTexts.isEmpty(), qPrintable(harness.informationTexts.join("; ")));
    QLabel* panel = LabelNamed(form, "WarningsPanel");
    QVERIFY(panel != nullptr);
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->text(), "Warning: " + refusal);
    QVERIFY2(TextsCutOff(form).isEmpty(), qPrintable(TextsCutOff(form).join("\n")));
    QVERIFY(!QFile::exists(harness.PathOf("organette.mid")));
    QVERIFY(std::find(harness.Devices().calls.begin(), harness.Devices().calls.end(), "play") ==
            harness.Devices().calls.end());

    form.DiscFormatChoice->Box->setCurrentText("ariston-24");
    form.Button2Click();
    QVERIFY(!panel->isVisible());
    QVERIFY(QFile::exists(harness.PathOf("organette.mid")));
    QCOMPARE(harness.Devices().calls.back(), std::string("play"));
  }

  // The bar keeps the last tune when another picture is opened or a disc is made; the window
  // says whose it is, keeps the playhead off the other picture and names the sound after it.
  void theWindowSaysWhichTuneTheBarHolds() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    QLabel* caption = LabelNamed(form, "TuneLabel");
    QVERIFY(caption != nullptr);
    QCOMPARE(caption->text(), QString("Tune: none yet"));

    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    form.Button2Click();
    QCOMPARE(caption->text(), QString("Tune: waltz.mid"));

    harness.OpenFile(WriteDiscBitmap(harness.PathOf("polka.bmp"), {{3, 400}, {9, 1800}}));
    QVERIFY(!form.plaat->PlayheadShown());
    QCOMPARE(caption->text(), QString("Tune: waltz.mid, from waltz.bmp, not the picture shown"));
    form.SaveSoundAs();
    QCOMPARE(harness.fileQuestions.back().second, harness.PathOf("waltz.wav"));

    form.Button2Click();
    QCOMPARE(caption->text(), QString("Tune: polka.mid"));
    QVERIFY(form.plaat->PlayheadShown());
  }

  // A START that closed the tune and then failed leaves nothing to play: Play says so and why,
  // in place of the device's bare "No MCI device open".
  void playAlwaysPlaysOrSaysWhyNot() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    form.Button2Click();
    QFile::remove(harness.PathOf("waltz.mid"));
    QVERIFY(QDir(harness.Folder()).mkdir("waltz.mid"));  // the MIDI file cannot be written
    form.Button2Click();
    QCOMPARE(harness.errorTexts.size(), 1);

    QTest::mouseClick(form.MediaPlayer1->ButtonWidget(TransportButton::kPlay), Qt::LeftButton);
    QCOMPARE(harness.errorTexts.size(), 2);
    const QString why = harness.errorTexts.last();
    QVERIFY2(why.contains("no tune to play") && why.contains("START") &&
                 why.contains(harness.errorTexts.first()),
             qPrintable(why));
    QVERIFY2(LabelNamed(form, "TuneLabel")->text().contains("cannot be played"),
             qPrintable(LabelNamed(form, "TuneLabel")->text()));
  }

  // At the window's size as laid out, with long messages, a long file name and warnings.
  void everyTextIsReadableWhole() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    harness.OpenFile(WriteDiscBitmap(
        harness.PathOf("a scan of the waltz disc from the box in the attic.bmp"), kNotes));
    form.ShowMessageLine(
        "Disc made: 87 notes punched, 0 left out; 3 notes share a tick with another of their key");
    QApplication::processEvents();
    QVERIFY2(TextsCutOff(form).isEmpty(), qPrintable(TextsCutOff(form).join("\n")));

    form.Button2Click();
    QApplication::processEvents();
    QVERIFY2(TextsCutOff(form).isEmpty(), qPrintable(TextsCutOff(form).join("\n")));
  }

  // No sound server: the words say there is no sound output and where the MIDI file went.
  void noSoundOutputIsSaidInWords() {
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse/native");
    WindowHarness harness(FluidDeviceFactory({{"pulseaudio", ""}}));
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    harness.Form().Button2Click();
    qunsetenv("PULSE_SERVER");
    QCOMPARE(harness.errorTexts.size(), 1);
    const QString text = harness.errorTexts.first();
    QVERIFY2(text.startsWith("There is no sound output"), qPrintable(text));
    QVERIFY2(text.contains("The MIDI file was written: " + harness.PathOf("waltz.mid")),
             qPrintable(text));
    QVERIFY(QFile::exists(harness.PathOf("waltz.mid")));
  }

  // The device takes a second to open; the window is closed meanwhile. START stops there: the
  // window closes and nothing plays behind it.
  void aCloseRequestDuringStartClosesTheWindow() {
    auto record = std::make_shared<FakeDeviceRecord>();
    WindowHarness harness(SlowDevices(record, 1500));
    TForm1& form = harness.Form();
    harness.OpenFile(WriteDiscBitmap(harness.PathOf("waltz.bmp"), kNotes));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTimer::singleShot(
        500, &form, [&form] { QCoreApplication::postEvent(form.windowHandle(), new QCloseEvent); });
    form.Button2Click();
    QTRY_VERIFY(!form.isVisible());
    QVERIFY(!form.CommandRunning());
    QVERIFY(std::find(record->calls.begin(), record->calls.end(), "play") == record->calls.end());
    QCOMPARE(record->openDevices, 0);
  }
};

QTEST_MAIN(WindowTruthTest)
#include "window_truth_test.moc"
