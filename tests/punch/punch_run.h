#pragma once
// Runs the disc maker and the converter as a user does, and reads the maker's report back.

#include <string>
#include <vector>

#include "tests/e2e/temp_folder.h"

namespace tivenor::testing {

struct ProgramRun {
  int exitCode = -1;
  std::string errors;  // stderr
};

// Runs `command` inside `folder`, stdout dropped.
ProgramRun RunIn(const TempFolder& folder, const std::string& command);
ProgramRun RunPunch(const TempFolder& folder, const std::string& arguments);
ProgramRun RunConvert(const TempFolder& folder, const std::string& arguments);

struct ReportNote {
  double time = 0.0;
  int sourceKey = 0;
  int key = 0;
  int pin = 0;
  int tick = 0;
  // Discs of other formats than the built-in one:
  double length = 0.0;
  int track = 0;  // from 1, the innermost
  double degrees = 0.0;
};

struct ReportLeftOut {
  double time = 0.0;
  int sourceKey = 0;
  std::string reason;
};

struct PunchReport {
  std::string source;
  // Discs of other formats than the built-in one:
  std::string format;
  double diameterMm = 0.0;
  double secondsPerTurn = 0.0;
  double startDegrees = 0.0;
  int transpose = 0;
  int drumNotes = 0;
  std::vector<ReportNote> notes;
  std::vector<ReportLeftOut> leftOut;
  std::vector<std::string> warnings;
};

// Throws std::runtime_error when the file is not the report's JSON.
PunchReport ReadReport(const std::string& fileName);

std::string ReadText(const std::string& fileName);
int LineCount(const std::string& text);

}  // namespace tivenor::testing
