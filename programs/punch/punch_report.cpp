#include "programs/punch/punch_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/making/layout_disc.h"

namespace tivenor::cli {
namespace {

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + '"';
}

// Seconds to the microsecond, in the shortest form that reads back as that.
std::string JsonSeconds(double seconds) {
  const double rounded = std::round(seconds * 1e6) / 1e6;
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, rounded).ptr;
  return std::string(text, end);
}

template <typename Item, typename Write>
void AppendList(std::string& json, const char* name, const std::vector<Item>& items, Write write) {
  json += std::string(",\n \"") + name + "\": [";
  for (std::size_t i = 0; i < items.size(); ++i) {
    json += i == 0 ? "\n  " : ",\n  ";
    write(items[i]);
  }
  json += items.empty() ? "]" : "\n ]";
}

// The notes left out and the warnings, and the end of the report.
std::string ReportTail(const DiscLayout& layout, const std::vector<std::string>& warnings) {
  std::string json;
  AppendList(json, "left_out", layout.leftOut, [&](const LeftOutNote& note) {
    json += "{\"time\": " + JsonSeconds(note.seconds) +
            ", \"source_key\": " + std::to_string(note.sourceKey) +
            ", \"reason\": " + JsonString(LeftOutText(note)) + "}";
  });
  AppendList(json, "warnings", warnings,
             [&](const std::string& text) { json += JsonString(text); });
  return json + "}\n";
}

// Degrees and millimetres to a thousandth, in the shortest form that reads back as that.
std::string JsonFine(double value) {
  const double rounded = std::round(value * 1e3) / 1e3;
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, rounded).ptr;
  return std::string(text, end);
}

// Discs of other formats: the format, the disc's size and turn, and each note's track (from 1,
// the innermost), its slot's leading end in degrees from the start in the music's direction,
// and the seconds the slot lasts.
std::string FormatReportJson(const DiscLayout& layout, const std::string& source,
                             const std::vector<std::string>& warnings) {
  const FormatPlacement& placement = layout.placement;
  std::string json = "{\"source\": " + JsonString(source) +
                     ", \"format\": " + JsonString(layout.format.name) +
                     ", \"diameter_mm\": " + JsonFine(placement.diameterMm) +
                     ", \"seconds_per_turn\": " + JsonSeconds(placement.secondsPerTurn) +
                     ", \"start_degrees\": " + JsonFine(placement.startDegrees) +
                     ", \"transpose\": " + std::to_string(layout.transpose) +
                     ", \"drum_notes\": " + std::to_string(layout.drumNotes);
  AppendList(json, "notes", layout.notes, [&](const PunchedNote& note) {
    json += "{\"time\": " + JsonSeconds(note.seconds) +
            ", \"length\": " + JsonSeconds(note.lengthSeconds) +
            ", \"source_key\": " + std::to_string(note.sourceKey) +
            ", \"key\": " + std::to_string(note.key) +
            ", \"track\": " + std::to_string(note.pin + 1) +
            ", \"degrees\": " + JsonFine(note.degrees) + "}";
  });
  return json + ReportTail(layout, warnings);
}

}  // namespace

std::string PunchReportJson(const DiscLayout& layout, const std::string& source,
                            const std::vector<std::string>& warnings) {
  if (!IsBuiltIn(layout.format)) return FormatReportJson(layout, source, warnings);
  std::string json = "{\"source\": " + JsonString(source) +
                     ", \"transpose\": " + std::to_string(layout.transpose) +
                     ", \"drum_notes\": " + std::to_string(layout.drumNotes);
  AppendList(json, "notes", layout.notes, [&](const PunchedNote& note) {
    json += "{\"time\": " + JsonSeconds(note.seconds) +
            ", \"source_key\": " + std::to_string(note.sourceKey) +
            ", \"key\": " + std::to_string(note.key) + ", \"pin\": " + std::to_string(note.pin) +
            ", \"tick\": " + std::to_string(note.tick) + "}";
  });
  return json + ReportTail(layout, warnings);
}

}  // namespace tivenor::cli
