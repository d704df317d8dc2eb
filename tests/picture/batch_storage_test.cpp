// The converter reads each picture of a batch into the storage of the last one, so that only
// the first picture pays for fresh memory.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/files/log_file.h"
#include "engine/reading/scan_state.h"
#include "programs/convert/convert_picture.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/run_files.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

namespace tivenor::testing {
namespace {

TEST(ConverterBatch, EveryPictureIsReadIntoTheStorageOfTheLast) {
  TempFolder folder;
  const auto notes = SampleMelody();
  const Raster picture = RenderDisc(notes, SampleDiscOptions());
  const std::string first = folder.File("first.bmp");
  const std::string second = folder.File("second.bmp");
  WriteBmp(picture, BmpFormat::Rgb24, first);
  WriteBmp(picture, BmpFormat::Rgb32, second);

  LogFile log;
  log.FileName = folder.File("musicbox.log");
  std::FILE* progress = std::tmpfile();
  ASSERT_NE(progress, nullptr);
  cli::ConverterHost host({}, {}, log, progress);
  ScanState state;
  cli::RunFiles files({first, second});
  cli::ConversionRequest request;

  request.picture = first;
  EXPECT_EQ(cli::ConvertPicture(request, state, host, files).reading.notesFound,
            static_cast<int>(notes.size()));
  const uint32_t* storage = host.Display().pixels.data();
  request.picture = second;
  EXPECT_EQ(cli::ConvertPicture(request, state, host, files).reading.notesFound,
            static_cast<int>(notes.size()));
  EXPECT_EQ(host.Display().pixels.data(), storage);
  std::fclose(progress);
}

}  // namespace
}  // namespace tivenor::testing
