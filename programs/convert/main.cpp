// tivenor-convert: turns pictures of music-box discs into MIDI files from a terminal.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "adapters/format_file/find_format.h"
#include "adapters/sound/render_sound_file.h"
#include "engine/files/log_file.h"
#include "engine/reading/scan_state.h"
#include "programs/common/option_bytes.h"
#include "programs/convert/convert_picture.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/fit_option.h"
#include "programs/convert/format_option.h"
#include "programs/convert/plausibility_warnings.h"
#include "programs/convert/sound_output.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// "Black/white threshold, 0 to 255 (default 100)."
QString SettingHelp(const tivenor::SettingInfo& setting) {
  return QString("%1, %2 to %3 (default %4).")
      .arg(setting.description)
      .arg(setting.minimum)
      .arg(setting.maximum)
      .arg(setting.initial);
}

// A bad format file or an unknown format's name: its one line says all there is to say.
int FormatFailure(const std::string& text) {
  std::fprintf(stderr, "tivenor-convert: %s\n", text.c_str());
  return kExitUsage;
}

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

  tivenor::ScanSettings settings;
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Turns pictures of punched music-box discs (dark disc, light holes) into MIDI files.\n"
      "Each MIDI file is written beside its picture, named like it with \"mid\" as extension.\n"
      "Exit status: 0 when every picture gave a MIDI file, 1 when any failed, 2 on a usage "
      "error.");
  parser.addHelpOption();
  parser.addVersionOption();
  for (const tivenor::SettingField& field : tivenor::kSettingFields) {
    parser.addOption({field.info.option, SettingHelp(field.info), "N"});
  }
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
  const QCommandLineOption formatOption(
      "format",
      "The discs' format: a name from --list-formats, a format file, or auto to choose the "
      "format that fits (default disc-114-30).",
      "NAME|FILE");
  const QCommandLineOption listFormatsOption("list-formats", "List the known disc formats.");
  const QCommandLineOption turnSecondsOption(
      "turn-seconds", "Seconds for one turn of the disc, instead of its format's.", "S");
  const QCommandLineOption mirroredOption(
      "mirrored", "The pictures show the discs' backs instead of their label sides.");
  for (const QCommandLineOption* option :
       {&outputOption, &markedOption, &audioOption, &autoOption, &formatOption, &listFormatsOption,
        &turnSecondsOption, &mirroredOption}) {
    parser.addOption(*option);
  }
  parser.addPositionalArgument("PICTURE", "Disc pictures (BMP or PNG).", "PICTURE...");

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
  if (parser.isSet(listFormatsOption)) {
    std::fputs(tivenor::cli::FormatListText(tivenor::ListFormats()).c_str(), stdout);
    return kExitOk;
  }
  for (const tivenor::SettingField& field : tivenor::kSettingFields) {
    const tivenor::SettingInfo& setting = field.info;
    if (!parser.isSet(setting.option)) continue;
    bool ok = false;
    const int value = parser.value(setting.option).toInt(&ok);
    if (!ok || value < setting.minimum || value > setting.maximum) {
      return UsageError(std::string("--") + setting.option + " takes a whole number from " +
                        std::to_string(setting.minimum) + " to " + std::to_string(setting.maximum));
    }
    settings.*field.value = value;
  }
  tivenor::ReadingOptions reading;
  if (parser.isSet(turnSecondsOption)) {
    bool ok = false;
    const double seconds = parser.value(turnSecondsOption).toDouble(&ok);
    if (!ok || !(seconds > 0 && seconds <= tivenor::kLongestTurnSeconds)) {
      return UsageError("--turn-seconds takes a number of seconds above 0 and at most " +
                        QString::number(tivenor::kLongestTurnSeconds).toStdString());
    }
    reading.turnSeconds = seconds;
  }
  reading.mirrored = parser.isSet(mirroredOption);
  if (parser.isSet(formatOption)) {
    try {
      tivenor::cli::ChooseFormat(
          tivenor::cli::OptionBytes(parser.value(formatOption), "format", argc, argv), reading);
    } catch (const tivenor::FormatError& error) {
      return FormatFailure(error.what());
    }
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
  const tivenor::cli::FitRequest fitRequest{
      parser.isSet(autoOption),
      {parser.isSet("threshold"), parser.isSet("minimum"), parser.isSet("maximum")}};
  tivenor::cli::ConverterHost host(settings, fitRequest.given, log, stderr);
  std::vector<std::string> pictureNames;
  for (const QString& picture : pictures) pictureNames.push_back(picture.toStdString());
  tivenor::cli::RunFiles files(pictureNames);
  int exitCode = kExitOk;
  const bool batch = pictures.size() > 1;
  for (qsizetype index = 0; index < pictures.size(); ++index) {
    tivenor::cli::ConversionRequest request;
    request.picture = pictures[index].toStdString();
    request.output = parser.value(outputOption).toStdString();
    request.markedPicture = parser.value(markedOption).toStdString();
    request.reading = reading;
    request.reading.fitSettings = fitRequest.fit;
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
      std::fprintf(
          stderr, "%s%d notes found, %d left out, %d log lines, written %s%s\n",
          batch ? place.c_str() : (request.picture + ": ").c_str(), result.reading.notesFound,
          result.reading.notesLeftOut, result.logLines, result.midiFile.c_str(),
          tivenor::cli::SummarySettings(host.SettingsUsed(), fitRequest, result.reading).c_str());
      tivenor::cli::PrintWarnings(stderr,
                                  batch ? place.substr(0, place.size() - 2) : request.picture,
                                  result.reading.findings, host.SettingsUsed());
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
