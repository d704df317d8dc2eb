// Speed of reading a MIDI file into the notes of its tune, beside reading its bytes alone: a
// megabyte of 175,000 notes in one track, as a long tune, and 50 megabytes of 8.4 million notes
// in 16 tracks, far beyond any tune, both under 330 tempo changes at most. Run one size at a time
// (--benchmark_filter) for its peak memory.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "adapters/midi_file/read_tune_notes.h"

namespace {

void AppendBigEndian(std::vector<char>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<char>(value >> (8 * i)));
}

void AppendChunk(std::vector<char>& file, const char* kind, const std::vector<char>& body) {
  file.insert(file.end(), kind, kind + 4);
  AppendBigEndian(file, static_cast<uint32_t>(body.size()), 4);
  file.insert(file.end(), body.begin(), body.end());
}

// A note every 30 pulses, 45 long, under running status with velocity-0 releases: six bytes a
// note, as dense as MIDI files get.
std::vector<char> NoteTrack(int notes, int seed) {
  std::vector<char> body;
  body.reserve(static_cast<std::size_t>(notes) * 6 + 8);
  std::vector<std::pair<int, int>> sounding;  // release pulse, key; at most two at once
  int now = 0;
  const auto event = [&](int pulse, int key, int velocity) {
    body.push_back(static_cast<char>(pulse - now));  // below 128: one byte
    if (body.size() == 1) body.push_back(static_cast<char>(0x90 | seed % 9));
    body.push_back(static_cast<char>(key));
    body.push_back(static_cast<char>(velocity));
    now = pulse;
  };
  for (int i = 0; i < notes; ++i) {
    const int onset = i * 30;
    while (!sounding.empty() && sounding.front().first <= onset) {
      event(sounding.front().first, sounding.front().second, 0);
      sounding.erase(sounding.begin());
    }
    const int key = 60 + (i * 7 + seed) % 25;
    event(onset, key, 64 + i % 40);
    sounding.emplace_back(onset + 45, key);
  }
  for (const auto& [release, key] : sounding) event(release, key, 0);
  body.insert(body.end(), {0, static_cast<char>(0xFF), 0x2F, 0});
  return body;
}

// A tempo change every 100 quarter notes.
std::vector<char> TempoTrack(int pulses) {
  constexpr int kEvery = 48000;
  const std::vector<char> delta = {static_cast<char>(0x80 | kEvery >> 14),
                                   static_cast<char>(0x80 | (kEvery >> 7 & 0x7F)),
                                   static_cast<char>(kEvery & 0x7F)};
  std::vector<char> body;
  for (int pulse = 0; pulse < pulses; pulse += kEvery) {
    if (pulse == 0) {
      body.push_back(0);
    } else {
      body.insert(body.end(), delta.begin(), delta.end());
    }
    body.insert(body.end(), {static_cast<char>(0xFF), 0x51, 3});
    AppendBigEndian(body, 400000 + pulse / kEvery % 5 * 50000, 3);
  }
  body.insert(body.end(), {0, static_cast<char>(0xFF), 0x2F, 0});
  return body;
}

std::vector<char> TuneFile(int notes, int tracks) {
  std::vector<char> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  AppendBigEndian(file, static_cast<uint32_t>(tracks + 1), 2);
  AppendBigEndian(file, 480, 2);
  const int perTrack = notes / tracks;
  AppendChunk(file, "MTrk", TempoTrack(perTrack * 30));
  for (int track = 0; track < tracks; ++track)
    AppendChunk(file, "MTrk", NoteTrack(perTrack, track));
  return file;
}

// The tunes written once in the temporary folder, removed at exit.
class TuneFiles {
 public:
  ~TuneFiles() {
    std::error_code ignored;
    for (const auto& [notes, file] : files_) std::filesystem::remove(file, ignored);
  }
  const std::string& Of(int notes, int tracks) {
    auto found = files_.find(notes);
    if (found == files_.end()) {
      const std::string file = (std::filesystem::temp_directory_path() /
                                ("tivenor-bench-" + std::to_string(notes) + "-notes.mid"))
                                   .string();
      const std::vector<char> bytes = TuneFile(notes, tracks);
      std::ofstream(file, std::ios::binary).write(bytes.data(), std::ssize(bytes));
      found = files_.emplace(notes, file).first;
    }
    return found->second;
  }

 private:
  std::map<int, std::string> files_;
};

TuneFiles& Files() {
  static TuneFiles files;
  return files;
}

void CountBytes(benchmark::State& state, const std::string& file) {
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(file));
  state.SetBytesProcessed(state.iterations() * bytes);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["fileMB"] = static_cast<double>(bytes) / (1 << 20);
  state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

void BM_ReadTuneNotes(benchmark::State& state) {
  const std::string& file =
      Files().Of(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::size_t notes = 0;
  for (auto _ : state) {
    const std::vector<tivenor::TuneNote> tune = tivenor::ReadTuneNotes(file);
    notes = tune.size();
    benchmark::DoNotOptimize(tune.data());
  }
  state.counters["notes"] = static_cast<double>(notes);
  CountBytes(state, file);
}
BENCHMARK(BM_ReadTuneNotes)
    ->Args({175000, 1})
    ->Args({8400000, 16})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The least any reader of the file must do.
void BM_ReadFileBytes(benchmark::State& state) {
  const std::string& file =
      Files().Of(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    benchmark::DoNotOptimize(bytes.data());
  }
  CountBytes(state, file);
}
BENCHMARK(BM_ReadFileBytes)
    ->Args({175000, 1})
    ->Args({8400000, 16})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
