// The window as the engine's host: settings read from the spin boxes when asked, the message
// line, the log, and the picture display.

#include <QCoreApplication>
#include <QLabel>

#include <utility>

#include "programs/window/window/picture_display.h"
#include "programs/window/window/setting_spin_box.h"
#include "programs/window/window/unit1.h"

namespace tivenor {

int TForm1::Threshold() {
  return SpinEdit1->ReadSetting();
}
int TForm1::MinimumHoleSize() {
  return SpinEdit2->ReadSetting();
}
int TForm1::MaximumHoleSize() {
  return SpinEdit3->ReadSetting();
}
int TForm1::HoleLengthExtrapolation() {
  return SpinEdit4->ReadSetting();
}

// "Fit settings to the picture": the fitted values go into the spin boxes, where the user sees
// them and can change them for the next START.
void TForm1::UseFittedSettings(const ScanSettings& fitted) {
  SpinEdit1->setValue(fitted.threshold);
  SpinEdit2->setValue(fitted.minimum);
  SpinEdit3->setValue(fitted.maximum);
}

void TForm1::ShowMessageLine(const std::string& text) {
  Berichten->setText(QString::fromStdString(text));
  repaint();
  // The only moment at which the window answers the user while START runs.
  QCoreApplication::processEvents();
}

void TForm1::WriteLogLine(const std::string& text) {
  tivenor::WriteLogLine(log_, text);
}

void TForm1::ReloadPicture(const std::string& fileName) {
  plaat->LoadPicture(fileName);
}

const Raster& TForm1::ShownPicture() {
  return plaat->Picture();
}

void TForm1::CopyDisplayedPicture(Raster& into) {
  plaat->CopyPicture(into);
}

void TForm1::ShowBitmap(const Raster& bitmap) {
  displayMarked_ = true;
  plaat->ShowBitmap(bitmap);
}

void TForm1::TakeBitmap(Raster&& bitmap) {
  displayMarked_ = true;
  plaat->TakeBitmap(std::move(bitmap));
}

void TForm1::DrawStartLine(PixelPoint from, PixelPoint to) {
  displayMarked_ = true;
  plaat->DrawLineOnPicture(from, to, kYellow);
}

}  // namespace tivenor
