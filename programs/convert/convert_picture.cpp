#include "programs/convert/convert_picture.h"

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/midi/write_midi.h"
#include "engine/reading/hole_scan.h"
#include "engine/reading/no_notes_reason.h"

namespace tivenor::cli {

ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host, RunFiles& files) {
  const NamedFile midiFile{
      request.output.empty() ? MidiFileNameFor(request.picture) : request.output, "MIDI file"};
  const NamedFile markedPicture{request.markedPicture, "marked picture"};
  files.CheckOutput(request.picture, midiFile);
  RefuseForeignMidiFile(midiFile.path);
  if (!markedPicture.path.empty()) {
    files.CheckOutput(request.picture, markedPicture);
    RefuseReplacing(markedPicture, midiFile);
  }

  state.PictureLoaded = false;
  state.SourceFileName = request.picture;
  host.ShowPicture(LoadPicture(request.picture, host.TakeDisplay()));
  state.PictureLoaded = true;
  state.PictureClean = true;

  ScanDisc(state, host);
  state.PictureClean = false;
  if (state.NoteCount == 0) {
    const NoNotesReason reason =
        ExplainNoNotes(state, host.Threshold(), host.MinimumHoleSize(), host.MaximumHoleSize());
    throw RunError(NoNotesText(reason, {"--threshold", "--minimum", "--maximum"}));
  }

  MidiBuffer buffer;
  BuildMidi(state, host, buffer);
  state.MidiFileName = midiFile.path;
  SaveMidiBytes(midiFile.path, buffer);
  files.Written(request.picture, midiFile);
  if (!markedPicture.path.empty()) {
    SavePicturePng(host.Display(), markedPicture.path);
    files.Written(request.picture, markedPicture);
  }

  ConversionResult result;
  result.notesFound = state.NoteCount;
  for (int32_t j = 1; j <= state.NoteCount; ++j)
    if (!state.NoteHasPin[j]) ++result.notesLeftOut;
  result.logLines = host.LogLinesWritten();
  result.midiFile = state.MidiFileName;
  return result;
}

}  // namespace tivenor::cli
