#include "programs/punch/punch_report.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/making/layout_disc.h"

namespace tivenor::cli {
namespace {

// The length of the UTF-8 sequence at `at`, or 0 where the bytes are no UTF-8 (a file name in
// Latin-1, say).
std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;  // the range of the byte after the lead
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  }
  if (length == 0 || at + length > text.size() || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  }
  return length;
}

// JSON text is UTF-8: a byte that is no part of UTF-8 becomes U+FFFD.
std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (static_cast<unsigned char>(c) >= 0x80) {
      const std::size_t length = Utf8Length(text, at);
      json += length == 0 ? std::string("\xEF\xBF\xBD") : text.substr(at, length);
      if (length > 0) at += length - 1;
    } else if (c == '"' || c == '\\') {
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
