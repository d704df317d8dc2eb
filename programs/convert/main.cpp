// tivenor-convert: turns pictures of music-box discs into MIDI files from a terminal.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "adapters/format_file/find_format.h"
#include "adapters/sound/render_sound_file.h"
#include "engine/files/log_file.h"
#include "engine/reading/scan_state.h"
#include "engine/slots/format_choice.h"
#include "engine/slots/start_angle.h"
#include "programs/command_line/byte_arguments.h"
#include "programs/convert/convert_picture.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/fit_option.h"
#include "programs/convert/format_option.h"
#include "programs/convert/ordered_jobs.h"
#include "programs/convert/picture_job.h"
#include "programs/convert/plausibility_warnings.h"
#include "programs/convert/sound_output.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kMostJobs = 256;

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
      "format that fits (default disc-114-30); with auto, also the format files to choose "
      "among besides the known ones.",
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
  const QCommandLineOption jobsOption(
      {"j", "jobs"}, "Convert N pictures at once (default: the number of processor cores).", "N");
  parser.addOption(jobsOption);
  parser.addPositionalArgument("PICTURE", "Disc pictures (BMP, PNG, JPEG or TIFF).", "PICTURE...");

  if (!parser.parse(tivenor::cli::ByteArguments(argc, argv))) {
    return UsageError(tivenor::cli::ArgumentBytes(parser.errorText()));
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
  int jobs = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  if (parser.isSet(jobsOption)) {
    bool ok = false;
    jobs = parser.value(jobsOption).toInt(&ok);
    if (!ok || jobs < 1 || jobs > kMostJobs) {
      return UsageError("-j takes a whole number from 1 to " + std::to_string(kMostJobs));
    }
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
      std::vector<std::string> formats;
      for (const QString& value : parser.values(formatOption))
        formats.push_back(tivenor::cli::ArgumentBytes(value));
      tivenor::cli::ChooseFormats(formats, reading);
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
  // The marked picture is written as its name says: PNG, or BMP for a name ending in ".bmp".
  if (parser.isSet(markedOption) &&
      !parser.value(markedOption).endsWith(".png", Qt::CaseInsensitive) &&
      !parser.value(markedOption).endsWith(".bmp", Qt::CaseInsensitive)) {
    return UsageError("--marked takes a file name ending in .png or .bmp");
  }
  const std::string soundFile = tivenor::cli::ArgumentBytes(parser.value(audioOption));
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
  for (const QString& picture : pictures) {
    pictureNames.push_back(tivenor::cli::ArgumentBytes(picture));
  }
  tivenor::cli::RunFiles files(pictureNames);
  int exitCode = kExitOk;
  const bool batch = pictures.size() > 1;
  const auto requestFor = [&](std::size_t index) {
    tivenor::cli::ConversionRequest request;
    request.picture = pictureNames[index];
    request.output = tivenor::cli::ArgumentBytes(parser.value(outputOption));
    request.markedPicture = tivenor::cli::ArgumentBytes(parser.value(markedOption));
    request.reading = reading;
    request.reading.fitSettings = fitRequest.fit;
    return request;
  };
  // In a batch every line of a picture says its place: "[12/300] waltz.bmp: ".
  const auto placeOf = [&](std::size_t index) {
    return batch ? "[" + std::to_string(index + 1) + "/" + std::to_string(pictures.size()) + "] " +
                       pictureNames[index] + ": "
                 : std::string();
  };
  std::size_t failed = 0;
  const auto printFailure = [&](std::size_t index, const std::string& what) {
    const std::string line = batch ? placeOf(index) + what : FailureLine(pictureNames[index], what);
    std::fprintf(stderr, "%s\n", line.c_str());
    exitCode = kExitFailed;
    ++failed;
  };
  const auto printSummary = [&](std::size_t index, const tivenor::cli::ConversionResult& result) {
    const std::string place = placeOf(index);
    const std::string& picture = pictureNames[index];
    // With --format auto, which format was read and how well it fitted.
    std::string chosen;
    if (const auto& choice = result.reading.formatChoice; choice && !choice->scores.empty()) {
      chosen = "; " + tivenor::AutoFormatText(choice->format.name, choice->scores.front());
    }
    if (const auto& rule = result.reading.startRule) chosen += "; " + tivenor::StartRuleText(*rule);
    std::fprintf(stderr, "%s%d notes found, %d left out, %d log lines, written %s%s%s\n",
                 batch ? place.c_str() : (picture + ": ").c_str(), result.reading.notesFound,
                 result.reading.notesLeftOut, result.logLines, result.midiFile.c_str(),
                 chosen.c_str(),
                 tivenor::cli::SummarySettings(result.used, fitRequest, result.reading).c_str());
    tivenor::cli::PrintWarnings(stderr, batch ? place.substr(0, place.size() - 2) : picture,
                                result.reading.findings,
                                {result.used, fitRequest.fit && result.reading.fitted.discFound});
  };

  // A long batch's failures scroll away; the last line says whether there were any.
  const auto printTotal = [&] {
    if (!batch) return;
    std::fprintf(stderr, "%zu of %zu converted, %zu failed\n", pictureNames.size() - failed,
                 pictureNames.size(), failed);
  };

  if (jobs == 1 || !batch) {
    for (std::size_t index = 0; index < pictureNames.size(); ++index) {
      const tivenor::cli::ConversionRequest request = requestFor(index);
      host.SetLinePrefix(placeOf(index));
      try {
        if (!soundFile.empty()) tivenor::cli::CheckSoundFile(files, request.picture, soundFile);
        const tivenor::cli::ConversionResult result =
            tivenor::cli::ConvertPicture(request, state, host, files);
        host.EndProgress();
        printSummary(index, result);
        if (!soundFile.empty()) {
          tivenor::cli::WriteSoundFile(files, request.picture, result.midiFile, result.midiBytes,
                                       soundFile);
          std::fprintf(stderr, "%s: sound written %s\n", request.picture.c_str(),
                       soundFile.c_str());
        }
      } catch (const std::exception& error) {
        host.EndProgress();
        printFailure(index, error.what());
      }
    }
    printTotal();
    return exitCode;
  }

  // Several pictures at once: each is read on a thread of its own into memory, then checked,
  // written and reported in the order of the command line, exactly as one job would.
  const bool progressInPlace = isatty(fileno(stderr)) != 0;
  std::vector<tivenor::cli::PictureJob> results(pictureNames.size());
  tivenor::cli::RunInOrder(
      pictureNames.size(), jobs,
      [&](std::size_t index) {
        results[index] = tivenor::cli::ReadPictureAside(
            requestFor(index), settings, fitRequest.given, placeOf(index), progressInPlace);
      },
      [&](std::size_t index) {
        tivenor::cli::PictureJob job = std::move(results[index]);
        const tivenor::cli::ConversionRequest request = requestFor(index);
        try {
          tivenor::cli::CheckOutputs(request, files);
        } catch (const std::exception& error) {
          printFailure(index, error.what());
          return;
        }
        host.Replay(job.progress, job.logLines);
        if (!job.failure.empty()) {
          printFailure(index, job.failure);
          return;
        }
        try {
          tivenor::cli::WriteResults(request, job.result, tivenor::Raster{}, files);
          printSummary(index, job.result);
        } catch (const std::exception& error) {
          printFailure(index, error.what());
        }
      });
  printTotal();
  return exitCode;
}
