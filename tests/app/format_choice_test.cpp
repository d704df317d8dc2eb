// "Disc format": the built-in format first, then the bundled ones, then "Open format file…",
// which adds a file's format to the list; START reads with the chosen format, and a bad file
// shows its one line in the error box and changes nothing.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <deque>
#include <optional>

#include "engine/roads/read_disc.h"
#include "programs/window/window/format_choice.h"
#include "tests/app/window_harness.h"
#include "tests/format/format_texts.h"

using namespace tivenor;
using namespace tivenor::testing;

namespace {

const QString kOpenFormatFile = QStringLiteral(u"Open format file\u2026");

QStringList ItemTexts(const QComboBox& box) {
  QStringList texts;
  for (int index = 0; index < box.count(); ++index) texts << box.itemText(index);
  return texts;
}

void WriteText(const QString& path, const std::string& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text.data(), static_cast<qint64>(text.size()));
}

// The format file dialog answers from a script and counts its runs.
struct ScriptedDialog {
  std::deque<std::optional<QString>> answers;
  int runs = 0;
  void Install(DiscFormatBox& choice) {
    choice.RunFileDialog = [this]() -> std::optional<QString> {
      ++runs;
      if (answers.empty()) return std::nullopt;
      const bool confirmed = answers.front().has_value();
      const QString file = confirmed ? *answers.front() : QString();
      answers.pop_front();
      if (!confirmed) return std::nullopt;
      return file;
    };
  }
};

std::string StartFormatName(const TForm1& form) {
  return form.StartReadingOptions().format.name;
}

}  // namespace

class FormatChoiceTest : public QObject {
  Q_OBJECT

 private slots:
  void builtInFirstThenBundledThenOpenInTheSettingsColumn() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    const QComboBox& box = *form.DiscFormatChoice->Box;
    QCOMPARE(form.DiscFormatChoice->Label->text(), QString("Disc format:"));
    QCOMPARE(ItemTexts(box),
             QStringList({"disc-114-30", "ariston-24", "piano-player-36", kOpenFormatFile}));
    QCOMPARE(box.currentIndex(), 0);
    QCOMPARE(box.itemData(1, Qt::ToolTipRole).toString(),
             QString("Ariston organette disc, 24 tracks, 33 cm"));
    QVERIFY(form.DiscFormatChoice->parentWidget() == form.FitSettingsBox->parentWidget());
    QCOMPARE(StartFormatName(form), std::string("disc-114-30"));
    QVERIFY(IsBuiltIn(form.StartReadingOptions().format));
  }

  void startReadsWithTheChosenFormatAndTheFitBox() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.DiscFormatChoice->Box->setCurrentIndex(2);
    QCOMPARE(StartFormatName(form), std::string("piano-player-36"));
    QVERIFY(!form.StartReadingOptions().fitSettings);
    form.FitSettingsBox->setChecked(true);
    QVERIFY(form.StartReadingOptions().fitSettings);
    form.DiscFormatChoice->Box->setCurrentIndex(0);
    QCOMPARE(StartFormatName(form), std::string("disc-114-30"));
  }

  void openingAFormatFileAddsItBeforeTheOpenItemAndChoosesIt() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    ScriptedDialog dialog;
    dialog.Install(*form.DiscFormatChoice);
    const QString file = harness.PathOf("test.json");
    WriteText(file, kTestFormatText);
    QComboBox& box = *form.DiscFormatChoice->Box;

    dialog.answers.push_back(file);
    box.setCurrentIndex(3);
    QCOMPARE(dialog.runs, 1);
    QVERIFY2(harness.errorTexts.isEmpty(), qPrintable(harness.errorTexts.join("; ")));
    QCOMPARE(ItemTexts(box), QStringList({"disc-114-30", "ariston-24", "piano-player-36",
                                          "test-disc", kOpenFormatFile}));
    QCOMPARE(box.currentIndex(), 3);
    QCOMPARE(box.itemData(3, Qt::ToolTipRole).toString(), "Test disc, 4 tracks, 20 cm\n" + file);
    QCOMPARE(StartFormatName(form), std::string("test-disc"));
    QCOMPARE(form.StartReadingOptions().format.trackRadii,
             (std::vector<double>{0.4, 0.5, 0.6, 0.7}));

    // The same file opened again after a change replaces its entry.
    std::string changed = kTestFormatText;
    changed.replace(changed.find("test-disc"), 9, "test-disc-2");
    WriteText(file, changed);
    box.setCurrentIndex(0);
    dialog.answers.push_back(file);
    box.setCurrentIndex(4);
    QCOMPARE(box.count(), 5);
    QCOMPARE(box.currentIndex(), 3);
    QCOMPARE(box.itemText(3), QString("test-disc-2"));
    QCOMPARE(StartFormatName(form), std::string("test-disc-2"));
  }

  void aBadFileShowsItsLineAndKeepsTheChoice() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    ScriptedDialog dialog;
    dialog.Install(*form.DiscFormatChoice);
    std::string text = kTestFormatText;
    text.replace(text.find("\"clockwise\""), 11, "\"sideways\"");
    const QString file = harness.PathOf("bad.json");
    WriteText(file, text);
    QComboBox& box = *form.DiscFormatChoice->Box;
    box.setCurrentIndex(1);

    dialog.answers.push_back(file);
    box.setCurrentIndex(3);
    QCOMPARE(harness.errorTexts,
             QStringList("\"" + file +
                         "\": music: \"sideways\" is not one of \"counter-clockwise\", "
                         "\"clockwise\""));
    QCOMPARE(box.count(), 4);
    QCOMPARE(box.currentIndex(), 1);
    QCOMPARE(StartFormatName(form), std::string("ariston-24"));

    // Cancelling the dialog changes nothing either.
    box.setCurrentIndex(3);
    QCOMPARE(dialog.runs, 2);
    QCOMPARE(box.count(), 4);
    QCOMPARE(box.currentIndex(), 1);
    QCOMPARE(harness.errorTexts.size(), 1);
  }

  // Chosen with the keyboard, as a user without a mouse does.
  void theKeyboardReachesTheOpenItem() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    ScriptedDialog dialog;
    dialog.Install(*form.DiscFormatChoice);
    QComboBox& box = *form.DiscFormatChoice->Box;
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_End);
    QCOMPARE(dialog.runs, 1);
    QCOMPARE(box.currentIndex(), 0);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentIndex(), 1);
  }
};

QTEST_MAIN(FormatChoiceTest)
#include "format_choice_test.moc"
