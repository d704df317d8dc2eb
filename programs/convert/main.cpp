// tivenor-convert: turns pictures of music-box discs into MIDI files from a terminal.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "adapters/sound/render_sound_file.h"
#include "engine/files/log_file.h"
#include "engine/reading/scan_state.h"
#include "programs/convert/convert_picture.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/fit_option.h"
#include "programs/convert/plausibility_warnings.h"
#include "programs/convert/sound_output.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct IntegerOption {
  QCommandLineOption option;
  int minimum;
  int maximum;
  int* target;
};

int UsageError(const std::string& text) {
  std::fprintf(stderr, "tivenor-convert: %s\nTry 'tivenor-convert --help' for more information.\n",
               text.c_str());
  return kExitUsage;
}

// Messages that already name the picture are printed as they are.
std::string FailureLine(const std::string& picture, const std::string& what) {
  if (what.find(picture) != std::string::npos) return "tivenor-convert: " + what;
  return "tivenor-convert: \"" + picture + "\": " + what;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName("tivenor-convert");
  QCoreApplication::setApplicationVersion(TIVENOR_VERSION);

  tivenor::cli::ConverterSettings settings;
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Turns pictures of punched music-box discs (dark disc, light holes) into MIDI files.\n"
      "Each MIDI file is written beside its picture, named like it with \"mid\" as extension.\n"
      "Exit status: 0 when every picture gave a MIDI file, 1 when any failed, 2 on a usage "
      "error.");
  parser.addHelpOption();
  parser.addVersionOption();
  IntegerOption integers[] = {
      {{"threshold", "Black/white threshold, 0 to 255 (default 100).", "N"},
       0,
       255,
       &settings.threshold},
      {{"minimum", "Smallest hole in pixels, 0 to 900 (default 10).", "N"},
       0,
       900,
       &settings.minimum},
      {{"maximum", "Largest hole in pixels, 0 to 900 (default 75).", "N"},
       0,
       900,
       &settings.maximum},
      {{"extrapolation", "Hole length extrapolation, 1 to 9 (default 3).", "N"},
       1,
       9,
       &settings.extrapolation},
  };
  for (const IntegerOption& integer : integers) parser.addOption(integer.option);
  const QCommandLineOption outputOption({"o", "output"},
                                        "Write the MIDI file to FILE (one picture only).", "FILE");
  const QCommandLineOption markedOption(
      "marked",
      "Save the marked picture (outline, holes, notes, start line) as PNG (one picture "
      "only).",
      "FILE.png");
  const QCommandLineOption audioOption(
      "audio", "Write the tune as sound to FILE: .wav, .flac or .ogg (one picture only).", "FILE");
  const QCommandLineOption autoOption(
      "auto", "Fit --threshold, --minimum and --maximum to each picture (those given still win).");
  parser.addOption(outputOption);
  parser.addOption(markedOption);
  parser.addOption(audioOption);
  parser.addOption(autoOption);
  parser.addPositionalArgument("PICTURE", "Disc pictures (BMP, PNG, JPEG or TIFF).", "PICTURE...");

  if (!parser.parse(QCoreApplication::arguments())) {
    return UsageError(parser.errorText().toStdString());
  }
  if (parser.isSet("help")) {
    std::fputs(parser.helpText().toStdString().c_str(), stdout);
    return kExitOk;
  }
  if (parser.isSet("version")) {
    std::printf("tivenor-convert %s\n", TIVENOR_VERSION);
    return kExitOk;
  }
  for (const IntegerOption& integer : integers) {
    if (!parser.isSet(integer.option)) continue;
    bool ok = false;
    const int value = parser.value(integer.option).toInt(&ok);
    if (!ok || value < integer.minimum || value > integer.maximum) {
      return UsageError("--" + integer.option.names().front().toStdString() +
                        " takes a whole number from " + std::to_string(integer.minimum) + " to " +
                        std::to_string(integer.maximum));
    }
    *integer.target = value;
  }
  const QStringList pictures = parser.positionalArguments();
  if (pictures.isEmpty()) return UsageError("no picture given");
  if (pictures.size() > 1 &&
      (parser.isSet(outputOption) || parser.isSet(markedOption) || parser.isSet(audioOption))) {
    return UsageError("-o, --marked and --audio take a single picture");
  }
  const std::string soundFile = parser.value(audioOption).toStdString();
  if (parser.isSet(audioOption) && !tivenor::SoundFileTypeFor(soundFile)) {
    return UsageError(std::string("--audio takes a file name ending in ") +
                      tivenor::SoundFileExtensionsText());
  }

  tivenor::LogFile log;
  tivenor::ScanState state;
  tivenor::cli::ConverterHost host(settings, log, stderr);
  std::vector<std::string> pictureNames;
  for (const QString& picture : pictures) pictureNames.push_back(picture.toStdString());
  tivenor::cli::RunFiles files(pictureNames);
  host.SetFitRequest({parser.isSet(autoOption), parser.isSet("threshold"), parser.isSet("minimum"),
                      parser.isSet("maximum")});
  int exitCode = kExitOk;
  const bool batch = pictures.size() > 1;
  for (qsizetype index = 0; index < pictures.size(); ++index) {
    tivenor::cli::ConversionRequest request;
    request.picture = pictures[index].toStdString();
    request.output = parser.value(outputOption).toStdString();
    request.markedPicture = parser.value(markedOption).toStdString();
    // In a batch every line of a picture says its place: "[12/300] waltz.bmp: ".
    const std::string place = batch ? "[" + std::to_string(index + 1) + "/" +
                                          std::to_string(pictures.size()) + "] " + request.picture +
                                          ": "
                                    : "";
    host.SetLinePrefix(place);
    try {
      if (!soundFile.empty()) tivenor::cli::CheckSoundFile(files, request.picture, soundFile);
      const tivenor::cli::ConversionResult result =
          tivenor::cli::ConvertPicture(request, state, host, files);
      host.EndProgress();
      std::fprintf(stderr, "%s%d notes found, %d left out, %d log lines, written %s%s\n",
                   batch ? place.c_str() : (request.picture + ": ").c_str(), result.notesFound,
                   result.notesLeftOut, result.logLines, result.midiFile.c_str(),
                   tivenor::cli::SummarySettings(host.SettingsUsed(), host.Fitting(), host.Fitted())
                       .c_str());
      tivenor::cli::PrintWarnings(
          stderr, batch ? place.substr(0, place.size() - 2) : request.picture, state, host);
      if (!soundFile.empty()) {
        tivenor::cli::WriteSoundFile(files, request.picture, result.midiFile, soundFile);
        std::fprintf(stderr, "%s: sound written %s\n", request.picture.c_str(), soundFile.c_str());
      }
    } catch (const std::exception& error) {
      host.EndProgress();
      const std::string line =
          batch ? place + error.what() : FailureLine(request.picture, error.what());
      std::fprintf(stderr, "%s\n", line.c_str());
      exitCode = kExitFailed;
    }
  }
  return exitCode;
}
