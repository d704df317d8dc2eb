#include "tests/app/window_harness.h"

#include <QTest>

#include <QLabel>

#include "tests/support/bmp_writer.h"
#include "tests/support/sample_melody.h"

namespace tivenor::testing {

WindowHarness::WindowHarness(MediaDeviceFactory devices)
    : previousFolder_(QDir::currentPath()), devices_(std::make_shared<FakeDeviceRecord>()) {
  QDir::setCurrent(folder_.path());
  form_ = std::make_unique<TForm1>(devices ? std::move(devices) : FakeDevices(devices_));
  windowsErrorBox_ = form_->ShowErrorBox;
  windowsInformationBox_ = form_->ShowInformationBox;
  form_->RunOpenPictureDialog = [this]() -> std::optional<QString> {
    ++dialogRuns;
    if (dialogAnswers.empty()) return std::nullopt;
    const bool confirmed = dialogAnswers.front().has_value();
    const QString path = confirmed ? *dialogAnswers.front() : QString();
    dialogAnswers.pop_front();
    if (!confirmed) return std::nullopt;
    return path;
  };
  form_->ShowErrorBox = [this](const QString& text) { errorTexts << text; };
  form_->RunFileDialog = [this](FileChoice choice,
                                const QString& suggested) -> std::optional<QString> {
    fileQuestions.emplace_back(choice, suggested);
    if (fileAnswers.empty()) return std::nullopt;
    const bool confirmed = fileAnswers.front().has_value();
    const QString path = confirmed ? *fileAnswers.front() : QString();
    fileAnswers.pop_front();
    if (!confirmed) return std::nullopt;
    return path;
  };
  form_->ShowAboutBox = [this](const QString& text) { aboutTexts << text; };
  form_->ShowInformationBox = [this](const QString& text) { informationTexts << text; };
}

WindowHarness::~WindowHarness() {
  form_.reset();
  QDir::setCurrent(previousFolder_);
}

void WindowHarness::OpenFile(const QString& path) {
  dialogAnswers.push_back(path);
  form_->Button1Click();
}

void WindowHarness::UseTheWindowsBoxes() {
  form_->ShowErrorBox = [this](const QString& text) {
    errorTexts << text;
    windowsErrorBox_(text);
  };
  form_->ShowInformationBox = [this](const QString& text) {
    informationTexts << text;
    windowsInformationBox_(text);
  };
}

QString WriteDiscBitmap(const QString& path, const std::vector<DiscNote>& notes,
                        const DiscOptions& options) {
  WriteBmp(RenderDisc(notes, options), BmpFormat::Rgb24, path.toStdString());
  return path;
}

std::vector<DiscNote> SpreadNotes(int firstTick, int lastTick, int spacingTicks) {
  std::vector<DiscNote> notes;
  int pin = 3;
  for (int tick = firstTick; tick <= lastTick; tick += spacingTicks) {
    notes.push_back({pin, tick});
    pin = 3 + (pin + 4) % 24;
  }
  return notes;
}

long CountPixels(const Raster& raster, uint32_t colour) {
  long count = 0;
  for (uint32_t pixel : raster.pixels) count += pixel == colour ? 1 : 0;
  return count;
}

QString WriteMisreadDisc(const QString& path) {
  DiscOptions options = RealSizeScan(150, 4);
  options.darkCornerLight = 0.18;
  Raster picture = RenderDisc(SampleMelody(), options);
  PaintLightPatches(picture, options, 12.0, 0.9, 6);
  PaintLightPatches(picture, options, 44.0, 2.6, 5);
  WriteBmp(picture, BmpFormat::Rgb24, path.toStdString());
  return path;
}

QStringList TextsCutOff(const QWidget& window) {
  QStringList cut;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    const QRect room = label->contentsRect();
    const bool fits = label->wordWrap()
                          ? label->heightForWidth(label->width()) <= label->height()
                          : label->fontMetrics().horizontalAdvance(label->text()) <= room.width();
    if (fits) continue;
    cut << label->objectName() + " cuts off \"" + label->text() + "\" (" +
               QString::number(room.width()) + " x " + QString::number(room.height()) + ")";
  }
  return cut;
}

}  // namespace tivenor::testing
