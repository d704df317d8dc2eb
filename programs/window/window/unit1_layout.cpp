// The window's components, their captions, ranges and initial values, where they stand and the
// order in which the Tab key visits them.

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <utility>

#include "programs/window/playback/transport_bar.h"
#include "programs/window/window/format_choice.h"
#include "programs/window/window/open_picture_dialog.h"
#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

namespace {

template <typename Widget, typename... Args>
Widget* Named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(name);
  return widget;
}

// Long texts are cut off rather than widening the column of controls.
QLabel* ClippedLabel(const char* name, const QString& text) {
  auto* label = Named<QLabel>(name, text);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

}  // namespace

TForm1::TForm1(MediaDeviceFactory devices, QWidget* parent) : QMainWindow(parent) {
  setObjectName("Form1");
  setWindowTitle("Tivenor");
  CreateComponents(std::move(devices));
  ArrangeComponents();
  SetTabOrder();
  CreateMenus();
  resize(627, 532);

  RunOpenPictureDialog = [this]() -> std::optional<QString> {
    if (OpenPictureDialog1->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = OpenPictureDialog1->selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
  };
  ShowErrorBox = [this](const QString& text) { ShowErrorBoxDefault(text); };
  ShowInformationBox = [this](const QString& text) {
    QMessageBox box(QMessageBox::Information, "Tivenor", text, QMessageBox::Ok, this);
    box.exec();
  };
  MediaPlayer1->SetErrorReporter([this](const QString& text) { ShowErrorBox(text); });
}

TForm1::~TForm1() = default;

void TForm1::ShowErrorBoxDefault(const QString& text) {
  QMessageBox box(QMessageBox::Critical, "Tivenor", text, QMessageBox::Ok, this);
  box.exec();
}

void TForm1::CreateComponents(MediaDeviceFactory devices) {
  plaat = Named<PictureDisplay>("plaat");
  MediaPlayer1 = Named<TransportBar>("MediaPlayer1", std::move(devices));
  Label1 = Named<QLabel>("Label1", QString(kThresholdSetting.windowLabel) + ":");
  SpinEdit1 = Named<SettingSpinBox>("SpinEdit1", kThresholdSetting);
  Label2 = Named<QLabel>("Label2", "# Pixels Thresholds:");
  Label4 = Named<QLabel>("Label4", QString(kMinimumSetting.windowLabel) + ":");
  SpinEdit2 = Named<SettingSpinBox>("SpinEdit2", kMinimumSetting);
  Label3 = Named<QLabel>("Label3", QString(kMaximumSetting.windowLabel) + ":");
  SpinEdit3 = Named<SettingSpinBox>("SpinEdit3", kMaximumSetting);
  Label5 = Named<QLabel>("Label5", QString(kExtrapolationSetting.windowLabel) + ":");
  SpinEdit4 = Named<SettingSpinBox>("SpinEdit4", kExtrapolationSetting);
  FitSettingsBox = Named<QCheckBox>("FitSettingsBox", "Fit settings to the picture");
  DiscFormatChoice = new FormatChoice;
  DiscFormatChoice->ShowError = [this](const QString& text) { ShowErrorBox(text); };
  Button1 = Named<QPushButton>("Button1", "Open file");
  Label6 = Named<QLabel>("Label6", "");
  Bestandsnaam = ClippedLabel("Bestandsnaam", "");
  Button2 = Named<QPushButton>("Button2", "START");
  Berichten = ClippedLabel("Berichten", "Messages");
  Label7 = Named<QLabel>("Label7", "Authors:");
  Label9 = Named<QLabel>("Label9", "The Tivenor developers");
  Label8 = Named<QLabel>("Label8", "Sound by FluidSynth");
  OpenPictureDialog1 = Named<OpenPictureDialog>("OpenPictureDialog1", this);

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
  column->addWidget(MediaPlayer1, row++, 0, 1, 3, Qt::AlignLeft);
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
  column->setRowMinimumHeight(row++, 12);
  column->addWidget(Label7, row++, 0, 1, 3);
  column->addWidget(Label9, row++, 0, 1, 3);
  column->addWidget(Label8, row++, 0, 1, 3);
  column->setRowStretch(row, 1);

  auto* controls = Named<QWidget>("Controls");
  controls->setLayout(column);
  controls->setFixedWidth(std::max(controls->sizeHint().width(), 200));

  auto* content = new QWidget;
  auto* split = new QHBoxLayout(content);
  split->setContentsMargins(0, 0, 0, 0);
  split->addWidget(PictureArea, 1);
  split->addWidget(controls, 0);
  setCentralWidget(content);
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
