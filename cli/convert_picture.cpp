#include "cli/convert_picture.h"

#include "analysis/hole_scan.h"
#include "analysis/picture_file.h"
#include "analysis/run_error.h"
#include "midi/write_midi.h"

namespace tivenor::cli {

ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host) {
  state.PictureLoaded = false;
  state.SourceFileName = request.picture;
  host.ShowPicture(LoadPicture(request.picture));
  state.PictureLoaded = true;
  state.PictureClean = true;

  ScanDisc(state, host);
  state.PictureClean = false;
  if (state.NoteCount == 0) throw RunError("No holes found on the disc: no MIDI file written");

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
