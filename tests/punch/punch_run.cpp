#include "tests/punch/punch_run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tivenor::testing {

ProgramRun RunIn(const TempFolder& folder, const std::string& command) {
  const std::string errorFile = folder.File("stderr.txt");
  const std::string line =
      "cd '" + folder.path().string() + "' && " + command + " >/dev/null 2>'" + errorFile + "'";
  const int status = std::system(line.c_str());
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.errors = ReadText(errorFile);
  return run;
}

ProgramRun RunPunch(const TempFolder& folder, const std::string& arguments) {
  return RunIn(folder, "'" TIVENOR_PUNCH "' " + arguments);
}

ProgramRun RunConvert(const TempFolder& folder, const std::string& arguments) {
  return RunIn(folder, "'" TIVENOR_CONVERT "' " + arguments);
}

std::string ReadText(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

PunchReport ReadReport(const std::string& fileName) {
  // By its bytes: a name need not be UTF-8.
  std::ifstream file(fileName, std::ios::binary);
  if (!file) throw std::runtime_error("no report " + fileName);
  QJsonParseError error;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromStdString(ReadText(fileName)), &error);
  if (document.isNull()) throw std::runtime_error(error.errorString().toStdString());
  const QJsonObject root = document.object();
  for (const char* field : {"source", "transpose", "notes", "left_out"}) {
    if (!root.contains(field)) throw std::runtime_error(std::string("report lacks ") + field);
  }
  PunchReport report;
  report.source = root["source"].toString().toStdString();
  report.transpose = root["transpose"].toInt();
  report.drumNotes = root["drum_notes"].toInt();
  report.format = root["format"].toString().toStdString();
  report.diameterMm = root["diameter_mm"].toDouble();
  report.secondsPerTurn = root["seconds_per_turn"].toDouble();
  report.startDegrees = root["start_degrees"].toDouble();
  for (const auto& value : root["notes"].toArray()) {
    const QJsonObject note = value.toObject();
    report.notes.push_back({note["time"].toDouble(), note["source_key"].toInt(),
                            note["key"].toInt(), note["pin"].toInt(), note["tick"].toInt(),
                            note["length"].toDouble(), note["track"].toInt(),
                            note["degrees"].toDouble()});
  }
  for (const auto& value : root["left_out"].toArray()) {
    const QJsonObject note = value.toObject();
    report.leftOut.push_back({note["time"].toDouble(), note["source_key"].toInt(),
                              note["reason"].toString().toStdString()});
  }
  for (const auto& value : root["warnings"].toArray()) {
    report.warnings.push_back(value.toString().toStdString());
  }
  return report;
}

}  // namespace tivenor::testing
