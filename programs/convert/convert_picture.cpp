#include "programs/convert/convert_picture.h"

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/no_notes_reason.h"
#include "engine/slots/format_fit.h"

namespace tivenor::cli {

namespace {

NamedFile MidiFileOf(const ConversionRequest& request) {
  return {request.output.empty() ? MidiFileNameFor(request.picture) : request.output, "MIDI file"};
}

NamedFile MarkedPictureOf(const ConversionRequest& request) {
  return {request.markedPicture, "marked picture"};
}

}  // namespace

void CheckOutputs(const ConversionRequest& request, const RunFiles& files) {
  const NamedFile midiFile = MidiFileOf(request);
  const NamedFile markedPicture = MarkedPictureOf(request);
  files.CheckOutput(request.picture, midiFile);
  RefuseForeignMidiFile(midiFile.path);
  if (!markedPicture.path.empty()) {
    files.CheckOutput(request.picture, markedPicture);
    RefuseReplacing(markedPicture, midiFile);
  }
}

ConversionResult ReadPicture(const ConversionRequest& request, ScanState& state,
                             ConverterHost& host) {
  state.PictureLoaded = false;
  state.SourceFileName = request.picture;
  ReadingOptions options = request.reading;
  options.markSlots = !request.markedPicture.empty();
  options.shownReduction =
      host.LoadPicture(request.picture, !request.markedPicture.empty(), options.fitSettings);
  state.PictureLoaded = true;
  state.PictureClean = true;

  ConversionResult result;
  result.reading = ReadDisc(state, host, options);
  if (result.reading.noNotes) {
    throw RunError(NoNotesText(*result.reading.noNotes, SettingNaming::kCommandLine));
  }
  if (result.reading.misfit) throw RunError(MisfitText(*result.reading.misfit));
  result.used = host.SettingsUsed();
  result.midiBytes.assign(result.reading.midi.begin(), result.reading.midi.end());
  result.logLines = host.LogLinesWritten();
  result.midiFile = MidiFileOf(request).path;
  return result;
}

void WriteResults(const ConversionRequest& request, const ConversionResult& result,
                  const Raster& marked, RunFiles& files) {
  const NamedFile midiFile = MidiFileOf(request);
  SaveMidiBytes(midiFile.path, result.reading.midi);
  files.Written(request.picture, midiFile);
  const NamedFile markedPicture = MarkedPictureOf(request);
  if (!markedPicture.path.empty()) {
    SavePicture(marked, markedPicture.path, "marked picture");
    files.Written(request.picture, markedPicture);
  }
}

ConversionResult ConvertPicture(const ConversionRequest& request, ScanState& state,
                                ConverterHost& host, RunFiles& files) {
  CheckOutputs(request, files);
  ConversionResult result = ReadPicture(request, state, host);
  state.MidiFileName = result.midiFile;
  WriteResults(request, result, host.Display(), files);
  return result;
}

}  // namespace tivenor::cli
