// Discs of other formats than the built-in one as files: SVG and PDF at true size, pictures at
// their resolution that read back as a dark disc whose only light places are its holes.

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <numbers>
#include <regex>
#include <string>

#include "adapters/paint/disc_file.h"
#include "adapters/paint/disc_page.h"
#include "engine/making/layout_disc.h"
#include "tests/e2e/temp_folder.h"
#include "tests/punch/punch_run.h"
#include "tests/support/made_disc_formats.h"

namespace tivenor::testing {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;

struct FormatCase {
  std::string name;
  DiscFormat format;
  double diameterMm = 0.0;  // given to the maker; 0: the format's own
};

void PrintTo(const FormatCase& format, std::ostream* out) {
  *out << format.name;
}

std::vector<FormatCase> FormatCases() {
  return {{"Organette", OrganetteFormat(), 0.0},
          {"PianoPlayerAt400mm", PianoPlayerFormat(), 400.0},
          {"ClockwisePlucked", ClockwisePluckedFormat(), 0.0}};
}

// Notes on every track, of every length from short to long.
DiscLayout LayoutOf(const FormatCase& format) {
  std::vector<NoteOnset> tune;
  tune.reserve(120);
  const int tracks = format.format.TrackCount();
  for (int i = 0; i < 120; ++i) {
    tune.push_back({0.2 * i, format.format.keys[(i * 7) % tracks], 0, 0.1 + 0.3 * (i % 4)});
  }
  LayoutOptions options;
  options.format = format.format;
  options.transpose = 0;
  if (format.diameterMm > 0.0) options.diameterMm = format.diameterMm;
  return LayoutDisc(tune, options);
}

double Grey(const QImage& picture, int x, int y) {
  return qGray(picture.pixel(x, y));
}

// Pixels across the dark disc on the row through the picture's centre.
int DiscWidthPixels(const QImage& picture) {
  const int y = picture.height() / 2;
  int left = 0;
  while (left < picture.width() && Grey(picture, left, y) > 128) ++left;
  int right = picture.width() - 1;
  while (right > left && Grey(picture, right, y) > 128) --right;
  return right - left + 1;
}

class FormatDiscFile : public ::testing::TestWithParam<FormatCase> {
 protected:
  void SetUp() override {
    layout_ = LayoutOf(GetParam());
    diameterMm_ = layout_.placement.diameterMm;
  }
  double PageMm() const { return diameterMm_ + 2 * kPageMarginMm; }

  TempFolder folder_;
  DiscLayout layout_;
  double diameterMm_ = 0.0;
};

TEST_P(FormatDiscFile, VectorFilesHaveTheDiscsTrueSize) {
  const double dpi = 100.0;
  const int expected = static_cast<int>(std::lround(diameterMm_ / kMmPerInch * dpi));

  WriteDiscFile(layout_, folder_.File("disc.svg"), DiscFileKind::kSvg, {}, dpi);
  const std::string svg = ReadText(folder_.File("disc.svg"));
  const std::string side = std::to_string(static_cast<int>(PageMm()));
  EXPECT_NE(svg.find("width=\"" + side + "mm\" height=\"" + side + "mm\""), std::string::npos);
  ASSERT_EQ(RunIn(folder_, "rsvg-convert -d 100 -p 100 disc.svg -o svg.png").exitCode, 0);
  EXPECT_NEAR(DiscWidthPixels(QImage(QString::fromStdString(folder_.File("svg.png")))), expected,
              2);

  WriteDiscFile(layout_, folder_.File("disc.pdf"), DiscFileKind::kPdf, {}, dpi);
  const std::string pdf = ReadText(folder_.File("disc.pdf"));
  std::smatch box;
  ASSERT_TRUE(std::regex_search(pdf, box, std::regex(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])")));
  // A PDF page has whole points; the drawing on it keeps its millimetres.
  EXPECT_NEAR(std::stod(box[1]), PageMm() / kMmPerInch * kPointsPerInch, 0.5);
  EXPECT_NEAR(std::stod(box[2]), PageMm() / kMmPerInch * kPointsPerInch, 0.5);
  ASSERT_EQ(RunIn(folder_, "pdftoppm -r 100 -png -singlefile disc.pdf pdf").exitCode, 0);
  EXPECT_NEAR(DiscWidthPixels(QImage(QString::fromStdString(folder_.File("pdf.png")))), expected,
              2);
}

// Whether page point (x, y), in mm from the disc centre with y upwards, lies within `slack` mm
// of a slot or a punched hole.
bool InAHole(const DiscLayout& layout, double x, double y, double slack) {
  const double rim = layout.placement.diameterMm / 2;
  const double radius = std::hypot(x, y);
  if (radius <= kSpindleHoleRadius * rim + slack) return true;
  const DiscFormat& format = layout.format;
  for (int hole = 0; hole < format.driveHoles; ++hole) {
    const double at = (layout.placement.startDegrees + (hole + 0.5) * 360.0 / format.driveHoles) *
                      std::numbers::pi / 180.0;
    const double centre = format.driveHoleRadius * rim;
    if (std::hypot(x - centre * std::cos(at), y - centre * std::sin(at)) <=
        kDriveHoleDiameter * rim / 2 + slack) {
      return true;
    }
  }
  double degrees = std::atan2(y, x) * 180.0 / std::numbers::pi;
  for (const PunchedNote& note : layout.notes) {
    const ArcSlot& slot = note.arc;
    if (std::abs(radius - slot.radiusMm) > slot.widthMm / 2 + slack) continue;
    const double slackDegrees = slack / radius * 180.0 / std::numbers::pi;
    const double after = degrees - slot.fromDegrees + slackDegrees;
    const double turned = after - 360.0 * std::floor(after / 360.0);
    if (turned <= slot.toDegrees - slot.fromDegrees + 2 * slackDegrees) return true;
  }
  return false;
}

TEST_P(FormatDiscFile, APictureIsDarkButForItsHolesAndShowsItsStart) {
  const double dpi = 150.0;
  WriteDiscFile(layout_, folder_.File("disc.png"), DiscFileKind::kPng, {}, dpi);
  const QImage picture(QString::fromStdString(folder_.File("disc.png")));
  ASSERT_EQ(picture.width(), PicturePixels(layout_, dpi));
  ASSERT_EQ(picture.width(), static_cast<int>(std::lround(PageMm() / kMmPerInch * dpi)));
  EXPECT_EQ(picture.dotsPerMeterX(), static_cast<int>(std::lround(dpi * 1000.0 / kMmPerInch)));
  const double pixelMm = kMmPerInch / dpi;
  const double centre = PageMm() / 2;
  const auto pixelAt = [&](double x, double y) {
    return QPoint(static_cast<int>((centre + x) / pixelMm),
                  static_cast<int>((centre - y) / pixelMm));
  };
  // The middle of every slot is light.
  for (const PunchedNote& note : layout_.notes) {
    const double middle = (note.arc.fromDegrees + note.arc.toDegrees) / 2 * std::numbers::pi / 180;
    const QPoint at =
        pixelAt(note.arc.radiusMm * std::cos(middle), note.arc.radiusMm * std::sin(middle));
    ASSERT_GT(Grey(picture, at.x(), at.y()), 200) << "slot at " << note.degrees << " degrees";
  }
  // Nothing else on the disc is light enough for a reader's threshold: not the label, not what
  // is printed on it.
  const double rim = diameterMm_ / 2;
  int light = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const double mmX = (x + 0.5) * pixelMm - centre;
      const double mmY = centre - (y + 0.5) * pixelMm;
      if (std::hypot(mmX, mmY) > rim - 2 * pixelMm || Grey(picture, x, y) <= 100) continue;
      ++light;
      ASSERT_TRUE(InAHole(layout_, mmX, mmY, 1.5 * pixelMm)) << "light pixel at " << x << "," << y;
    }
  }
  EXPECT_GT(light, 0);
  // The printed start line runs out from the label, grey on the black card.
  const DiscFormat& format = layout_.format;
  if (format.start == StartRule::kLine) {
    const double start = layout_.placement.startDegrees * std::numbers::pi / 180;
    const double along = (format.labelRadius + format.trackRadii.front()) / 2 * rim;
    const QPoint at = pixelAt(along * std::cos(start), along * std::sin(start));
    EXPECT_NEAR(Grey(picture, at.x(), at.y()), kPrintGrey, 20);
  }
}

TEST_P(FormatDiscFile, CutOutlinesHaveNothingPrinted) {
  DiscLook cut;
  cut.cut = true;
  WriteDiscFile(layout_, folder_.File("cut.svg"), DiscFileKind::kSvg, cut, 150);
  WriteDiscFile(layout_, folder_.File("print.svg"), DiscFileKind::kSvg, {}, 150);
  const std::string outlines = ReadText(folder_.File("cut.svg"));
  EXPECT_EQ(outlines.find("#505050"), std::string::npos);
  EXPECT_NE(outlines.find("stroke-width=\"0.0254\""), std::string::npos);
  const bool printed = layout_.format.start == StartRule::kLine || layout_.format.labelRadius > 0;
  EXPECT_EQ(ReadText(folder_.File("print.svg")).find("#505050") != std::string::npos, printed);
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatDiscFile, ::testing::ValuesIn(FormatCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tivenor::testing
