// tivenor-punch: makes a music-box disc from a MIDI file, as SVG, PDF or a picture.

#include <QCommandLineParser>
#include <QCoreApplication>

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "adapters/format_file/find_format.h"
#include "adapters/paint/disc_file.h"
#include "engine/files/file_identity.h"
#include "engine/files/save_file.h"
#include "engine/making/layout_disc.h"
#include "engine/making/layout_warnings.h"
#include "engine/midi/midi_buffer.h"
#include "programs/command_line/byte_arguments.h"
#include "programs/making/make_disc_file.h"
#include "programs/punch/punch_format_options.h"
#include "programs/punch/punch_reading_advice.h"
#include "programs/punch/punch_report.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr const char* kProgram = "tivenor-punch";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One line that follows the work on a terminal and is gone when the summary comes.
class Progress {
 public:
  Progress() : shown_(isatty(fileno(stderr)) != 0) {}
  void Show(const std::string& text) {
    if (shown_) std::fprintf(stderr, "\r%s\033[K", text.c_str());
  }
  void End() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }

 private:
  bool shown_;
};

struct RealOption {
  QCommandLineOption option;
  double minimum;
  double maximum;
};

double ReadReal(const QCommandLineParser& parser, const RealOption& real) {
  bool ok = false;
  const double value = parser.value(real.option).toDouble(&ok);
  if (!ok || !(value >= real.minimum && value <= real.maximum)) {
    throw UsageError("--" + real.option.names().front().toStdString() + " takes a number from " +
                     QString::number(real.minimum).toStdString() + " to " +
                     QString::number(real.maximum).toStdString());
  }
  return value;
}

struct PunchRequest {
  std::string midi;
  std::string output;
  std::string report;  // empty: none
  tivenor::DiscFileKind kind = tivenor::DiscFileKind::kSvg;
  tivenor::LayoutOptions options;
  tivenor::DiscLook look;
  double dpi = 150;
};

// The request on the command line, or nothing once --help or --version has answered. Throws
// UsageError, or FormatError for --format.
std::optional<PunchRequest> ParseCommandLine(int argc, char** argv) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Makes a music-box disc from a MIDI file, as the exact inverse of Tivenor's reader.\n"
      "The output's extension chooses its kind: .svg and .pdf at true scale, .png and .bmp as a\n"
      "picture like a scan. Exit status: 0 written, 1 failed, 2 usage error.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption outputOption({"o", "output"}, "Write the disc to DISC.", "DISC");
  const QCommandLineOption cutOption(
      "cut", "Outlines only (rim, centre hole, every slot) for a laser cutter or plotter.");
  const QCommandLineOption transposeOption("transpose",
                                           "Shift by N semitones (default: the shift from -36 to "
                                           "+36 that puts the most notes on the comb).",
                                           "N");
  const QCommandLineOption outerPinOption(
      "outer-pin", "Punch the outermost pin too, which lies outside the ring Tivenor reads.");
  const QCommandLineOption reportOption("report", "Write what was punched and left out as JSON.",
                                        "FILE.json");
  const QCommandLineOption formatOption(
      "format", "The disc's format: a known format's name or a format file (default disc-114-30).",
      "NAME|FILE");
  const RealOption dpi{
      {"dpi", "Resolution of a .png or .bmp picture (default 150).", "N"}, 50, 1200};
  const RealOption slotLength{
      {"slot-length", "Length of a slot along the direction of rotation (default 1.8).", "MM"},
      0.5,
      5.0};
  const RealOption slotWidth{{"slot-width", "Width of a slot (default 0.7).", "MM"}, 0.2, 1.0};
  const RealOption secondsPerTurn{
      {"seconds-per-turn", "Play at this speed instead of spreading the tune over one turn.", "S"},
      1,
      3600};
  for (const QCommandLineOption* option : {&outputOption, &cutOption, &transposeOption,
                                           &outerPinOption, &reportOption, &formatOption}) {
    parser.addOption(*option);
  }
  const RealOption diameter{
      {"diameter",
       "The disc's diameter, for other formats than the built-in disc (default: the format's).",
       "MM"},
      20,
      2000};
  for (const RealOption* real : {&dpi, &slotLength, &slotWidth, &secondsPerTurn, &diameter}) {
    parser.addOption(real->option);
  }
  parser.addPositionalArgument("MIDI", "The tune: a Standard MIDI File, format 0 or 1.");

  if (!parser.parse(tivenor::cli::ByteArguments(argc, argv))) {
    throw UsageError(tivenor::cli::ArgumentBytes(parser.errorText()));
  }
  if (parser.isSet("help")) {
    std::fputs(parser.helpText().toStdString().c_str(), stdout);
    return std::nullopt;
  }
  if (parser.isSet("version")) {
    std::printf("%s %s\n", kProgram, TIVENOR_VERSION);
    return std::nullopt;
  }
  PunchRequest request;
  const QStringList positional = parser.positionalArguments();
  if (positional.size() != 1) throw UsageError("give one MIDI file");
  request.midi = tivenor::cli::ArgumentBytes(positional.front());
  if (!parser.isSet(outputOption)) throw UsageError("give the disc's file with -o DISC");
  request.output = tivenor::cli::ArgumentBytes(parser.value(outputOption));
  const std::optional<tivenor::DiscFileKind> kind = tivenor::DiscFileKindOf(request.output);
  if (!kind) throw UsageError("-o takes a file ending in .svg, .pdf, .png or .bmp");
  request.kind = *kind;
  request.report = tivenor::cli::ArgumentBytes(parser.value(reportOption));
  if (parser.isSet(transposeOption)) {
    bool ok = false;
    const int shift = parser.value(transposeOption).toInt(&ok);
    if (!ok || shift < -48 || shift > 48) {
      throw UsageError("--transpose takes a whole number from -48 to 48");
    }
    request.options.transpose = shift;
  }
  if (parser.isSet(dpi.option)) request.dpi = ReadReal(parser, dpi);
  tivenor::LayoutOptions& options = request.options;
  if (parser.isSet(formatOption)) {
    const std::string format = tivenor::cli::ArgumentBytes(parser.value(formatOption));
    if (format == tivenor::kChooseFormatName) {
      throw UsageError("--format auto chooses a format for reading; a disc is made in one format");
    }
    options.format = tivenor::FindFormat(format);
  }
  if (parser.isSet(slotLength.option)) options.slotLengthMm = ReadReal(parser, slotLength);
  if (parser.isSet(slotWidth.option)) options.slotWidthMm = ReadReal(parser, slotWidth);
  if (options.slotWidthMm >= options.slotLengthMm) {
    throw UsageError("a slot must be longer than it is wide");
  }
  if (parser.isSet(secondsPerTurn.option)) {
    options.secondsPerTurn = ReadReal(parser, secondsPerTurn);
  }
  options.outerPin = parser.isSet(outerPinOption);
  if (parser.isSet(diameter.option)) options.diameterMm = ReadReal(parser, diameter);
  const tivenor::cli::FormatOptionsGiven given{
      parser.isSet(diameter.option),
      parser.isSet(slotLength.option) || parser.isSet(slotWidth.option), options.outerPin};
  if (auto problem = tivenor::cli::FormatOptionProblem(options.format, given)) {
    throw UsageError(*problem);
  }
  request.look.cut = parser.isSet(cutOption);
  return request;
}

// Reads the tune, lays it out, writes the disc and the report; returns the summary line. Throws
// with a one-line message.
std::string MakeDisc(const PunchRequest& request, Progress& progress) {
  const std::string& midi = request.midi;
  if (tivenor::SameFile(midi, request.output) ||
      (!request.report.empty() && tivenor::SameFile(midi, request.report))) {
    throw std::runtime_error("\"" + midi + "\": will not write over the tune itself");
  }
  if (!request.report.empty() && tivenor::SameFile(request.output, request.report)) {
    throw std::runtime_error("the disc and the report need two files");
  }
  tivenor::RefuseNonRegularOutput({request.output, "disc"});
  if (!request.report.empty()) tivenor::RefuseNonRegularOutput({request.report, "report"});
  // A picture is read back into a MIDI file beside it, named by its last three characters.
  if ((request.kind == tivenor::DiscFileKind::kPng ||
       request.kind == tivenor::DiscFileKind::kBmp) &&
      tivenor::SameFile(midi, tivenor::MidiFileNameFor(request.output))) {
    throw std::runtime_error("\"" + request.output +
                             "\": reading it back would write its MIDI file over the tune; "
                             "choose another name");
  }
  const tivenor::DiscLayout layout = tivenor::MakeDiscFile(
      {midi, request.output, request.kind, request.options, request.look, request.dpi},
      [&progress](const std::string& text) { progress.Show(text); });
  std::vector<std::string> warnings = tivenor::LayoutWarnings(layout);
  const bool picture =
      request.kind == tivenor::DiscFileKind::kPng || request.kind == tivenor::DiscFileKind::kBmp;
  // The built-in disc is read with hole sizes in pixels; other formats by their own sizes, which
  // need only enough pixels to keep their slots apart.
  if (picture) {
    std::optional<std::string> advice =
        tivenor::IsBuiltIn(request.options.format)
            ? tivenor::cli::ReadingAdvice(request.options.slotLengthMm, request.options.slotWidthMm,
                                          request.dpi)
            : tivenor::cli::FormatReadingAdvice(layout.placement, request.dpi);
    if (advice) warnings.push_back(std::move(*advice));
  }
  if (!request.report.empty()) {
    tivenor::SaveFile({request.report, "report"},
                      tivenor::cli::PunchReportJson(layout, midi, warnings));
  }
  std::string summary = midi + ": " + std::to_string(layout.notes.size()) + " notes punched, " +
                        std::to_string(layout.leftOut.size()) + " left out";
  if (layout.drumNotes > 0) {
    summary += ", " + std::to_string(layout.drumNotes) + " drum notes aside";
  }
  summary += ", transpose " + std::string(layout.transpose >= 0 ? "+" : "") +
             std::to_string(layout.transpose) + ", written " + request.output;
  for (const std::string& warning : warnings) summary += "; " + warning;
  return summary;
}

}  // namespace

int main(int argc, char** argv) {
  const QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName(kProgram);
  QCoreApplication::setApplicationVersion(TIVENOR_VERSION);

  std::optional<PunchRequest> request;
  try {
    request = ParseCommandLine(argc, argv);
    if (!request) return kExitOk;
  } catch (const UsageError& error) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram, error.what(),
                 kProgram);
    return kExitUsage;
  } catch (const tivenor::FormatError& error) {
    // A bad format file or an unknown name: its one line says all there is to say.
    std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
    return kExitUsage;
  }
  Progress progress;
  try {
    const std::string summary = MakeDisc(*request, progress);
    progress.End();
    std::fprintf(stderr, "%s\n", summary.c_str());
  } catch (const std::exception& error) {
    progress.End();
    std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
    return kExitFailed;
  }
  return kExitOk;
}
