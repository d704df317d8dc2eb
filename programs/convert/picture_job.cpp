#include "programs/convert/picture_job.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include "engine/files/log_file.h"
#include "engine/reading/scan_state.h"

namespace tivenor::cli {

PictureJob ReadPictureAside(const ConversionRequest& request, const ScanSettings& settings,
                            const GivenSettings& given, const std::string& linePrefix,
                            bool progressInPlace) {
  PictureJob job;
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* progress = open_memstream(&buffer, &size);
  if (progress == nullptr) {
    job.failure = "out of memory";
    return job;
  }
  {
    LogFile unused;  // the host defers its log lines, so nothing is written here
    const auto state = std::make_unique<ScanState>();
    ConverterHost host(settings, given, unused, progress);
    // Each thread keeps the storage of its last picture for its next one, as one job does: fresh
    // storage for every picture costs more in page faults than the reading itself.
    thread_local Raster storage;
    host.GiveDisplay(std::move(storage));
    host.DeferLogLines(progressInPlace);
    host.SetLinePrefix(linePrefix);
    try {
      job.result = ReadPicture(request, *state, host);
    } catch (const std::exception& error) {
      job.failure = error.what();
    }
    host.EndProgress();
    job.logLines = host.TakeDeferredLogLines();
    storage = host.TakeDisplay();
  }
  std::fclose(progress);
  job.progress.assign(buffer, size);
  std::free(buffer);  // NOLINT(cppcoreguidelines-no-malloc): open_memstream's own buffer
  return job;
}

}  // namespace tivenor::cli
