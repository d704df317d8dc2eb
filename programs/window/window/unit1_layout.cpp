// The window's components, their captions, ranges and initial values, where they stand and the
// order in which the Tab key visits them.

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/format_choice.h"
#include "programs/window/window/open_picture_dialog.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

namespace {

// The column of controls: as wide as the settings need at start, never narrower than its
// widest control.
constexpr int kColumnWidth = 250;
constexpr int kColumnMinimumWidth = 200;

template <typename Widget, typename... Args>
Widget* Named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(name);
  return widget;
}

// Whatever the column's width, a long text wraps onto more lines instead of losing its end.
QLabel* WrappedLabel(const char* name, const QString& text) {
  auto* label = Named<QLabel>(name, text);
  label->setWordWrap(true);
  label->setTextFormat(Qt::PlainText);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

// What each setting does and when to change it; the words a user needs for the jargon.
constexpr const char* kThresholdHelp =
    "Black/white threshold, 0 to 255. A pixel inside the disc counts as a hole when its red value "
    "is above it, and as the disc when it is no brighter than this grey.\n"
    "Raise it when background or disc texture is taken for holes; lower it when holes are "
    "missed or the disc's outline runs into a dark background.";
constexpr const char* kMinimumHelp =
    "The smallest hole, in pixels: smaller light patches are dust, not notes.\n"
    "Raise it when specks become notes; lower it for small holes or a coarse scan. At 150 dpi a "
    "hole covers about 44 pixels, at 300 dpi four times as many.";
constexpr const char* kMaximumHelp =
    "The largest hole, in pixels: larger light patches are left out.\n"
    "Raise it for a finer scan (twice the dpi gives four times the pixels); lower it when "
    "patches of background become notes.";
constexpr const char* kExtrapolationHelp =
    "Hole length extrapolation, 1 to 9: how far along its length a hole's note point lies from "
    "its middle; 3 puts it at the end that reaches the comb first.\n"
    "Change it only when every note sounds a little early or late.";
constexpr const char* kFitHelp =
    "START first fits B/W Threshold, Minimum and Maximum to the picture and writes them into "
    "their boxes; a very fine or unevenly lit scan is read through a corrected copy.\n"
    "Tick it for a scan that is not about 150 dpi, a photograph, or uneven light, or when START "
    "finds no notes or warns.";

}  // namespace

TForm1::TForm1(MediaDeviceFactory devices, QWidget* parent) : QMainWindow(parent) {
  setObjectName("Form1");
  setWindowTitle("Tivenor");
  CreateComponents(std::move(devices));
  ArrangeComponents();
  SetTabOrder();
  CreateMenus();
  setAcceptDrops(true);
  resize(627, 532);
  // The column of controls as wide as its settings need; the splitter lets the user widen it.
  Splitter->setSizes({width() - kColumnWidth, kColumnWidth});

  RunOpenPictureDialog = [this]() -> std::optional<QString> {
    if (OpenPictureDialog1->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = OpenPictureDialog1->selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
  };
  ShowErrorBox = [this](const QString& text) { ShowErrorBoxDefault(text); };
  ShowInformationBox = [this](const QString& text) {
    HearCloseRequests();
    if (closing_) return;  // a box would hold a closed window open
    QMessageBox box(QMessageBox::Information, "Tivenor", text, QMessageBox::Ok, this);
    box.exec();
  };
  MediaPlayer1->SetErrorReporter([this](const QString& text) { ReportTransportFailure(text); });
}

TForm1::~TForm1() = default;

void TForm1::ShowErrorBoxDefault(const QString& text) {
  HearCloseRequests();
  if (closing_) return;  // a box would hold a closed window open
  QMessageBox box(QMessageBox::Critical, "Tivenor", text, QMessageBox::Ok, this);
  box.exec();
}

void TForm1::HearCloseRequests() {
  // A close request that came while a command kept the window busy would reach the window only
  // once a modal box blocks it, and be dropped there.
  QCoreApplication::processEvents();
}

void TForm1::CreateComponents(MediaDeviceFactory devices) {
  plaat = Named<PictureDisplay>("plaat");
  MediaPlayer1 = Named<TransportBar>("MediaPlayer1", std::move(devices));
  TimeLabel = Named<QLabel>("TimeLabel", "0:00 / 0:00");
  TuneLabel = WrappedLabel("TuneLabel", "");
  Label1 = Named<QLabel>("Label1", QString(kThresholdSetting.windowLabel) + ":");
  SpinEdit1 = Named<SettingSpinBox>("SpinEdit1", kThresholdSetting);
  Label2 = Named<QLabel>("Label2", "# Pixels Thresholds:");
  Label4 = Named<QLabel>("Label4", QString(kMinimumSetting.windowLabel) + ":");
  SpinEdit2 = Named<SettingSpinBox>("SpinEdit2", kMinimumSetting);
  Label3 = Named<QLabel>("Label3", QString(kMaximumSetting.windowLabel) + ":");
  SpinEdit3 = Named<SettingSpinBox>("SpinEdit3", kMaximumSetting);
  Label5 = WrappedLabel("Label5", QString(kExtrapolationSetting.windowLabel) + ":");
  SpinEdit4 = Named<SettingSpinBox>("SpinEdit4", kExtrapolationSetting);
  FitSettingsBox = Named<QCheckBox>("FitSettingsBox", kFitSettingsCaption);
  DiscFormatChoice = new DiscFormatBox;
  DiscFormatChoice->ShowError = [this](const QString& text) { ShowErrorBox(text); };
  Button1 = Named<QPushButton>("Button1", "Open file");
  Label6 = Named<QLabel>("Label6", "");
  Bestandsnaam = WrappedLabel("Bestandsnaam", "");
  Button2 = Named<QPushButton>("Button2", "START");
  Berichten = WrappedLabel("Berichten", "Messages");
  WarningsPanel = WrappedLabel("WarningsPanel", "");
  Label7 = Named<QLabel>("Label7", "Authors:");
  Label9 = WrappedLabel("Label9", "The Tivenor developers");
  Label8 = WrappedLabel("Label8", "Sound by FluidSynth");
  OpenPictureDialog1 = Named<OpenPictureDialog>("OpenPictureDialog1", this);

  for (QWidget* threshold : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(SpinEdit1)})
    threshold->setToolTip(kThresholdHelp);
  for (QWidget* minimum : {static_cast<QWidget*>(Label4), static_cast<QWidget*>(SpinEdit2)})
    minimum->setToolTip(kMinimumHelp);
  for (QWidget* maximum : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(SpinEdit3)})
    maximum->setToolTip(kMaximumHelp);
  for (QWidget* extrapolation : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(SpinEdit4)})
    extrapolation->setToolTip(kExtrapolationHelp);
  FitSettingsBox->setToolTip(kFitHelp);
  TimeLabel->setToolTip("Where the tune stands, and how long it is");
  WarningsPanel->setStyleSheet("QLabel { color: #8a3b00; }");
  WarningsPanel->hide();

  Button1->setAutoDefault(false);
  Button2->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
}

void TForm1::ArrangeComponents() {
  PictureArea = Named<QScrollArea>("PictureArea");
  PictureArea->setWidget(plaat);
  PictureArea->setWidgetResizable(false);
  PictureArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PictureArea->setFocusPolicy(Qt::NoFocus);

  // The controls in one column, in the order they stand from top to bottom.
  auto* column = new QGridLayout;
  column->setColumnStretch(2, 1);
  int row = 0;
  auto* transportRow = new QHBoxLayout;
  transportRow->addWidget(MediaPlayer1);
  transportRow->addSpacing(8);
  transportRow->addWidget(TimeLabel);
  transportRow->addStretch(1);
  column->addLayout(transportRow, row++, 0, 1, 3);
  column->addWidget(TuneLabel, row++, 0, 1, 3);
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Label1, row, 0);
  column->addWidget(SpinEdit1, row++, 1);
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Label2, row++, 0, 1, 3);
  column->addWidget(Label4, row, 0);
  column->addWidget(SpinEdit2, row++, 1);
  column->addWidget(Label3, row, 0);
  column->addWidget(SpinEdit3, row++, 1);
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Label5, row, 0);
  column->addWidget(SpinEdit4, row++, 1);
  column->addWidget(FitSettingsBox, row++, 0, 1, 3);
  column->addWidget(DiscFormatChoice, row++, 0, 1, 3);
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Button1, row++, 0, Qt::AlignLeft);
  auto* fileNameRow = new QHBoxLayout;
  fileNameRow->addWidget(Label6);
  fileNameRow->addSpacing(12);
  fileNameRow->addWidget(Bestandsnaam, 1);
  column->addLayout(fileNameRow, row++, 0, 1, 3);
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Button2, row++, 0, Qt::AlignLeft);
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Berichten, row++, 0, 1, 3);
  column->addWidget(WarningsPanel, row++, 0, 1, 3);
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Label7, row++, 0, 1, 3);
  column->addWidget(Label9, row++, 0, 1, 3);
  column->addWidget(Label8, row++, 0, 1, 3);
  column->setRowStretch(row, 1);

  auto* controls = Named<QWidget>("Controls");
  controls->setLayout(column);

  // The column scrolls when its texts grow taller than the window.
  ControlsArea = Named<QScrollArea>("ControlsArea");
  ControlsArea->setWidget(controls);
  ControlsArea->setWidgetResizable(true);
  ControlsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ControlsArea->setFrameShape(QFrame::NoFrame);
  ControlsArea->setFocusPolicy(Qt::NoFocus);
  ControlsArea->setMinimumWidth(std::max(
      kColumnMinimumWidth,
      controls->minimumSizeHint().width() + ControlsArea->verticalScrollBar()->sizeHint().width()));

  Splitter = Named<QSplitter>("Splitter", Qt::Horizontal);
  Splitter->addWidget(PictureArea);
  Splitter->addWidget(ControlsArea);
  Splitter->setStretchFactor(0, 1);
  Splitter->setStretchFactor(1, 0);
  Splitter->setChildrenCollapsible(false);
  setCentralWidget(Splitter);
}

void TForm1::SetTabOrder() {
  setTabOrder(SpinEdit1, SpinEdit2);
  setTabOrder(SpinEdit2, SpinEdit3);
  setTabOrder(SpinEdit3, Button1);
  setTabOrder(Button1, Button2);
  setTabOrder(Button2, SpinEdit4);
  setTabOrder(SpinEdit4, FitSettingsBox);
  setTabOrder(FitSettingsBox, DiscFormatChoice->Box);
  setTabOrder(DiscFormatChoice->Box, MediaPlayer1);
  SpinEdit1->setFocus();
}

}  // namespace tivenor
