#include "adapters/picture/available_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>

namespace tivenor {

namespace {

// A "Name: 1234 kB" line of a /proc file, in bytes; 0 when the file or line is not there.
uint64_t ProcKilobytes(const char* fileName, const std::string& name) {
  std::ifstream file(fileName);
  std::string line;
  while (std::getline(file, line)) {
    if (line.rfind(name + ":", 0) == 0) return std::stoull(line.substr(name.size() + 1)) * 1024;
  }
  return 0;
}

// Memory the system can give without swapping: the kernel's own estimate, which counts caches
// it can drop; where there is none, the free pages.
uint64_t SystemAvailable() {
  const uint64_t available = ProcKilobytes("/proc/meminfo", "MemAvailable");
  if (available > 0) return available;
  const long pages = sysconf(_SC_AVPHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return std::numeric_limits<uint64_t>::max();
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

// What a limit of the process (ulimit -v, ulimit -d) still leaves, given what it has used.
uint64_t LimitLeft(int resource, const char* usedLine) {
  rlimit limit{};
  if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return std::numeric_limits<uint64_t>::max();
  const uint64_t used = ProcKilobytes("/proc/self/status", usedLine);
  const auto allowed = static_cast<uint64_t>(limit.rlim_cur);
  return allowed > used ? allowed - used : 0;
}

}  // namespace

uint64_t AvailableMemoryBytes() {
  return std::min(
      {SystemAvailable(), LimitLeft(RLIMIT_AS, "VmSize"), LimitLeft(RLIMIT_DATA, "VmData")});
}

}  // namespace tivenor
