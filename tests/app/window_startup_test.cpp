// The window as it stands when the program starts: caption, components, captions, ranges,
// initial values, tab order and layout.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/format_choice.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "tests/app/window_harness.h"

using namespace tivenor;
using namespace tivenor::testing;

class WindowStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void captionAndSize() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    QCOMPARE(form.objectName(), QString("Form1"));
    QCOMPARE(form.windowTitle(), QString("Tivenor"));
    QCOMPARE(form.size(), QSize(627, 532));
    QCOMPARE(form.plaat->size(), QSize(681, 617));
    QCOMPARE(form.MediaPlayer1->size(), QSize(141, 20));
  }

  void labelsCarryTheirCaptions() {
    WindowHarness harness;
    const std::pair<const char*, const char*> captions[] = {
        {"Label1", "B/W Threshold:"},
        {"Label2", "# Pixels Thresholds:"},
        {"Label3", "Maximum:"},
        {"Label4", "Minimum:"},
        {"Label5", "Hole Length Extrapolation:"},
        {"Label6", ""},
        {"Label7", "Authors:"},
        {"Bestandsnaam", ""},
        {"Berichten", "Messages"},
    };
    for (const auto& [name, caption] : captions) {
      auto* label = harness.Form().findChild<QLabel*>(name);
      QVERIFY2(label != nullptr, name);
      QCOMPARE(label->text(), QString(caption));
    }
    for (const char* credit : {"Label8", "Label9"}) {
      auto* label = harness.Form().findChild<QLabel*>(credit);
      QVERIFY2(label != nullptr && !label->text().isEmpty(), credit);
    }
  }

  void buttonsCarryTheirCaptions() {
    WindowHarness harness;
    QCOMPARE(harness.Form().findChild<QPushButton*>("Button1")->text(), QString("Open file"));
    QCOMPARE(harness.Form().findChild<QPushButton*>("Button2")->text(), QString("START"));
  }

  void spinBoxesHaveTheirRangesAndInitialValues() {
    WindowHarness harness;
    struct Expected {
      const char* name;
      int minimum, maximum, initial;
    };
    for (const Expected& e : {Expected{"SpinEdit1", 0, 255, 100}, Expected{"SpinEdit2", 0, 900, 10},
                              Expected{"SpinEdit3", 0, 900, 75}, Expected{"SpinEdit4", 1, 9, 3}}) {
      auto* box = harness.Form().findChild<SettingSpinBox*>(e.name);
      QVERIFY2(box != nullptr, e.name);
      QCOMPARE(box->minimum(), e.minimum);
      QCOMPARE(box->maximum(), e.maximum);
      QCOMPARE(box->value(), e.initial);
      QCOMPARE(box->ReadSetting(), e.initial);
    }
    TForm1& form = harness.Form();
    QCOMPARE(form.Threshold(), 100);
    QCOMPARE(form.MinimumHoleSize(), 10);
    QCOMPARE(form.MaximumHoleSize(), 75);
    QCOMPARE(form.HoleLengthExtrapolation(), 3);
  }

  void componentsExistByName() {
    WindowHarness harness;
    for (const char* name : {"plaat", "MediaPlayer1", "OpenPictureDialog1", "Button1", "Button2"}) {
      QVERIFY2(harness.Form().findChild<QObject*>(name) != nullptr, name);
    }
  }

  void transportBarStartsWithNoButtonEnabledAndNoDevice() {
    WindowHarness harness;
    TransportBar& bar = *harness.Form().MediaPlayer1;
    QVERIFY(!bar.IsOpen());
    for (TransportButton button : kTransportButtons) QVERIFY(!bar.IsButtonEnabled(button));
  }

  void tabVisitsTheControlsInTheirOrder() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QList<QWidget*> expected = {
        form.SpinEdit1,   form.SpinEdit2, form.SpinEdit3,      form.Button1,
        form.Button2,     form.SpinEdit4, form.FitSettingsBox, form.DiscFormatChoice->Box,
        form.MediaPlayer1};
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.SpinEdit1));
    for (qsizetype i = 1; i <= expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* focused = QApplication::focusWidget();
      // A spin box hands the focus to its line edit.
      if (focused != nullptr && qobject_cast<QLineEdit*>(focused))
        focused = focused->parentWidget();
      QCOMPARE(focused, expected[i % expected.size()]);
    }
  }

  void aSpinBoxCorrectsAnOutOfRangeValueToTheNearerEndOnLeaving() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.SpinEdit4->setFocus();
    form.SpinEdit4->selectAll();
    QTest::keyClicks(form.SpinEdit4, "0");
    form.Button1->setFocus();
    QCOMPARE(form.SpinEdit4->value(), 1);
    QCOMPARE(form.HoleLengthExtrapolation(), 1);
  }

  void aTextThatIsNoIntegerReadsAsTheMinimum() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.SpinEdit1->findChild<QLineEdit*>()->setText("x");
    QCOMPARE(form.Threshold(), 0);
    form.SpinEdit4->findChild<QLineEdit*>()->setText("");
    QCOMPARE(form.HoleLengthExtrapolation(), 1);
    // What the user typed counts at once, before the box is left.
    form.SpinEdit3->findChild<QLineEdit*>()->setText("60");
    QCOMPARE(form.MaximumHoleSize(), 60);
  }

  void thePictureScrollsWhileTheControlsStayInView() {
    WindowHarness harness;
    TForm1& form = harness.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const QSize size : {QSize(627, 532), QSize(900, 700), QSize(400, 300)}) {
      form.resize(size);
      QCoreApplication::processEvents();
      QVERIFY(form.PictureArea->widget() == form.plaat);
      QCOMPARE(form.plaat->size(), QSize(681, 617));
      const QRect visible = form.rect();
      for (QWidget* control :
           {static_cast<QWidget*>(form.Button1), static_cast<QWidget*>(form.Button2),
            static_cast<QWidget*>(form.MediaPlayer1)}) {
        // A window smaller than the column scrolls the column, which brings each control into
        // view; at the layout's size and above every one is in view as it stands.
        if (size.height() < 532) form.ControlsArea->ensureWidgetVisible(control);
        const QRect where(control->mapTo(&form, QPoint(0, 0)), control->size());
        QVERIFY2(visible.contains(where),
                 qPrintable(control->objectName() + " at " + QString::number(size.width())));
      }
      // The picture stands left of the controls.
      QVERIFY(form.PictureArea->geometry().right() < form.Button1->mapTo(&form, QPoint(0, 0)).x());
    }
  }
};

QTEST_MAIN(WindowStartupTest)
#include "window_startup_test.moc"
