#include "cli/convert_picture.h"

#include "analysis/hole_scan.h"
#include "picture/picture_file.h"
#include "analysis/run_error.h"
#include "midi/write_midi.h"

namespace tivenor::cli {

namespace {

// A scan without notes usually means settings that do not fit the scan's resolution.
std::string NoHolesMessage(const ScanState& state, Host& host) {
  std::string text = "No holes found on the disc: no MIDI file written";
  const ScanState::RejectedPatches& rejected = state.Rejected;
  if (rejected.tooLarge > 0) {
    text += "; " + std::to_string(rejected.tooLarge) +
            " light patches were larger than --maximum " + std::to_string(host.MaximumHoleSize()) +
            " (the largest " + (rejected.largest >= kMaxHolePixels ? "at least " : "") +
            std::to_string(rejected.largest) + " pixels)";
  }
  if (rejected.tooLarge == 0 && rejected.tooSmall == 0) {
    text +=
        "; nothing inside the disc is lighter than --threshold " + std::to_string(host.Threshold());
  }
  if (rejected.tooSmall > 0) {
    text += "; " + std::to_string(rejected.tooSmall) +
            " light patches were smaller than --minimum " + std::to_string(host.MinimumHoleSize());
  }
  return text;
}

}  // namespace

ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host) {
  state.PictureLoaded = false;
  state.SourceFileName = request.picture;
  host.ShowPicture(LoadPicture(request.picture));
  state.PictureLoaded = true;
  state.PictureClean = true;

  ScanDisc(state, host);
  state.PictureClean = false;
  if (state.NoteCount == 0) throw RunError(NoHolesMessage(state, host));

  MidiBuffer buffer;
  BuildMidi(state, host, buffer);
  if (request.output.empty()) {
    SaveMidiFile(state, buffer);
  } else {
    state.MidiFileName = request.output;
    SaveMidiBytes(request.output, buffer);
  }
  if (!request.markedPicture.empty()) SavePicturePng(host.Display(), request.markedPicture);

  ConversionResult result;
  result.notesFound = state.NoteCount;
  for (int32_t j = 1; j <= state.NoteCount; ++j)
    if (!state.NoteHasPin[j]) ++result.notesLeftOut;
  result.logLines = host.LogLinesWritten();
  result.midiFile = state.MidiFileName;
  return result;
}

}  // namespace tivenor::cli
