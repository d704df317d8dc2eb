#include "adapters/paint/disc_file.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>

#include "adapters/paint/disc_page.h"
#include "engine/files/save_file.h"
#include "engine/making/disc_layout.h"

namespace tivenor {
namespace {

// Vector outputs draw in units of a hundredth of a millimetre, so that every size is exact.
constexpr int kSvgUnitsPerMm = 100;
constexpr int kPdfDotsPerInch = 1200;
// SVG has no hairline of its own: a thousandth of an inch is what laser cutters' drivers take
// for "cut here". PDF has one, width 0: the thinnest line the device draws.
constexpr double kSvgHairlineMm = 0.0254;

void PaintSvg(QIODevice& device, const DiscLayout& layout, DiscLook look) {
  const int side = static_cast<int>(std::lround(PageSizeMm(layout) * kSvgUnitsPerMm));
  QSvgGenerator svg;
  svg.setOutputDevice(&device);
  svg.setResolution(static_cast<int>(std::lround(kSvgUnitsPerMm * kMmPerInch)));
  svg.setSize(QSize(side, side));
  svg.setViewBox(QRect(0, 0, side, side));
  svg.setTitle("Music-box disc");
  svg.setDescription("Made by tivenor-punch");
  QPainter painter;
  if (!painter.begin(&svg)) throw DiscFileError("cannot start the SVG drawing");
  painter.scale(kSvgUnitsPerMm, kSvgUnitsPerMm);
  look.hairlineMm = kSvgHairlineMm;
  PaintDisc(painter, layout, look);
  painter.end();
}

void PaintPdf(QIODevice& device, const DiscLayout& layout, DiscLook look) {
  QPdfWriter pdf(&device);
  const double page = PageSizeMm(layout);
  pdf.setPageSize(
      QPageSize(QSizeF(page, page), QPageSize::Millimeter, "Disc", QPageSize::ExactMatch));
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setResolution(kPdfDotsPerInch);
  pdf.setTitle("Music-box disc");
  pdf.setCreator("tivenor-punch");
  QPainter painter;
  if (!painter.begin(&pdf)) throw DiscFileError("cannot start the PDF drawing");
  painter.scale(kPdfDotsPerInch / kMmPerInch, kPdfDotsPerInch / kMmPerInch);
  look.hairlineMm = 0.0;
  PaintDisc(painter, layout, look);
  painter.end();
}

void PaintPicture(QIODevice& device, const DiscLayout& layout, const DiscLook& look, double dpi,
                  const char* format) {
  const int side = PicturePixels(layout, dpi);
  QImage picture(side, side, QImage::Format_RGB32);
  if (picture.isNull()) {
    throw DiscFileError("no memory for a picture of " + std::to_string(side) + " x " +
                        std::to_string(side) + " pixels; use a lower --dpi");
  }
  const int dotsPerMeter = static_cast<int>(std::lround(dpi * 1000.0 / kMmPerInch));
  picture.setDotsPerMeterX(dotsPerMeter);
  picture.setDotsPerMeterY(dotsPerMeter);
  {
    QPainter painter(&picture);
    painter.scale(side / PageSizeMm(layout), side / PageSizeMm(layout));
    PaintDisc(painter, layout, look);
  }
  QImageWriter writer(&device, format);
  if (!writer.write(picture)) throw DiscFileError(writer.errorString().toStdString());
}

}  // namespace

std::optional<DiscFileKind> DiscFileKindOf(const std::string& fileName) {
  const QString suffix = QFileInfo(QString::fromStdString(fileName)).suffix().toLower();
  if (suffix == "svg") return DiscFileKind::kSvg;
  if (suffix == "pdf") return DiscFileKind::kPdf;
  if (suffix == "png") return DiscFileKind::kPng;
  if (suffix == "bmp") return DiscFileKind::kBmp;
  return std::nullopt;
}

int PicturePixels(double dpi) {
  return static_cast<int>(std::lround(kPageSizeMm * dpi / kMmPerInch));
}

int PicturePixels(const DiscLayout& layout, double dpi) {
  return static_cast<int>(std::lround(PageSizeMm(layout) * dpi / kMmPerInch));
}

void WriteDiscFile(const DiscLayout& layout, const std::string& fileName, DiscFileKind kind,
                   const DiscLook& look, double dpi) {
  // Qt paints into memory; the file is written only through FileSaver, which checks every write.
  // It is made first, so that a file that cannot be written fails before the painting.
  FileSaver saver({fileName, "disc"});
  QByteArray bytes;
  if (kind == DiscFileKind::kBmp) {
    // Qt writes 24 bits a pixel, rows padded to 4 bytes, after 54 bytes of headers: room for all
    // of it at once, not a copy at each growth.
    const qsizetype side = PicturePixels(dpi);
    bytes.reserve(54 + side * ((3 * side + 3) & ~qsizetype{3}));
  }
  QBuffer file(&bytes);
  file.open(QIODevice::WriteOnly);
  switch (kind) {
    case DiscFileKind::kSvg:
      PaintSvg(file, layout, look);
      break;
    case DiscFileKind::kPdf:
      PaintPdf(file, layout, look);
      break;
    case DiscFileKind::kPng:
      PaintPicture(file, layout, look, dpi, "png");
      break;
    case DiscFileKind::kBmp:
      PaintPicture(file, layout, look, dpi, "bmp");
      break;
  }
  saver.Save({bytes.constData(), static_cast<std::size_t>(bytes.size())});
}

}  // namespace tivenor
