// Detail entries decoded per second: database lookup and message composition
// with the shipped printer database, unchanged between lookups and touched
// before each lookup.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "platform/path_search.h"
#include "vigilix/alert_decoder.h"
#include "vigilix/printer_database.h"

namespace {

struct Entry {
  vigilix::AlertKey key;
  std::uint8_t deviceClass;
};

// Entries that reach every key form, class sections and the fallback
// section, and a few that nothing matches.
const std::vector<Entry> kEntries = {
    {{0x03, 0x0A, 0x03, 0x00}, 255}, {{0x03, 0x04, 0x04, 0x00}, 1},   {{0x04, 0x01, 0x01, 0x00}, 5},
    {{0x05, 0x00, 0x00, 0x03}, 255}, {{0x05, 0x00, 0x00, 0x06}, 5},   {{0x06, 0x07, 0x00, 0x04}, 5},
    {{0x07, 0x09, 0x09, 0x09}, 1},   {{0x08, 0x00, 0x00, 0x01}, 255}, {{0x0A, 0x50, 0x00, 0x01}, 5},
    {{0x0A, 0x55, 0x00, 0x02}, 5},   {{0x0A, 0x50, 0x51, 0x04}, 255}, {{0x0A, 0x52, 0x00, 0x02}, 1},
    {{0x05, 0x26, 0x00, 0x07}, 5},   {{0x03, 0x01, 0x00, 0x05}, 12},  {{0x0B, 0x00, 0x00, 0x00}, 255},
    {{0x02, 0x01, 0x02, 0x03}, 1},
};

std::string ShippedDatabase() { return platform::ProgramDirectory() + "/VXPrtDb.ini"; }

std::size_t DecodeEntry(const std::string& dbPath, const Entry& entry, const vigilix::PrinterStateList& printers) {
  const vigilix::AlertLookup found = vigilix::LookUpAlert(dbPath, entry.key, entry.deviceClass);
  if (found.value.empty()) return 0;
  const std::string text = vigilix::ComposeMessage(found.value, found.locationByte, 1, printers);
  return text.size() + static_cast<std::size_t>(vigilix::ReadSeverity(found.value));
}

void BM_DecodeEntriesUnchangedDatabase(benchmark::State& state) {
  const std::string dbPath = ShippedDatabase();
  vigilix::PrinterStateList printers;
  printers.Register(1, 5, "Bench");
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeEntry(dbPath, kEntries[i], printers));
    i = (i + 1) % kEntries.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeEntriesUnchangedDatabase);

void BM_DecodeEntriesTouchedDatabase(benchmark::State& state) {
  const auto directory =
      std::filesystem::temp_directory_path() / ("vigilix_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  const std::string dbPath = (directory / "VXPrtDb.ini").string();
  std::filesystem::copy_file(ShippedDatabase(), dbPath, std::filesystem::copy_options::overwrite_existing);
  vigilix::PrinterStateList printers;
  printers.Register(1, 5, "Bench");
  auto stamp = std::filesystem::last_write_time(dbPath);
  std::size_t i = 0;
  for (auto _ : state) {
    stamp += std::chrono::milliseconds(1);
    std::filesystem::last_write_time(dbPath, stamp);
    benchmark::DoNotOptimize(DecodeEntry(dbPath, kEntries[i], printers));
    i = (i + 1) % kEntries.size();
  }
  state.SetItemsProcessed(state.iterations());
  std::filesystem::remove_all(directory);
}
BENCHMARK(BM_DecodeEntriesTouchedDatabase);

}  // namespace

BENCHMARK_MAIN();
