// Throughput of the record writers: RA, SE and HR records per second into the SQLite databases
// (bulk import inside transactions committed every 1000 records) and odds lines per second
// into the day files.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "../tests/support/fakes.h"
#include "../tests/support/record_builder.h"
#include "common/config.h"
#include "common/error_log.h"
#include "data/data_module.h"
#include "data/record_tables.h"
#include "data/schema.h"

namespace zelk {
namespace {
namespace fs = std::filesystem;
using test::TRecordBuilder;

constexpr int kCommitEvery = 1000;

// The n-th race: 12 races at each of 10 courses per day, days counted from 2020-01-01.
struct TRaceId {
  std::string ymd, course;
  int race;
};
TRaceId RaceOf(long long n) {
  TRaceId id;
  id.race = static_cast<int>(n % 12) + 1;
  char course[3];
  std::snprintf(course, sizeof course, "%02d", static_cast<int>(n / 12 % 10) + 1);
  id.course = course;
  id.ymd = FormatYmd(AddDays(MakeDate(2020, 1, 1), n / 120));
  return id;
}

std::string RA(long long n, char kind, std::string_view created) {
  TRaceId id = RaceOf(n);
  return TRecordBuilder("RA", kRecordLengthRA - 2)
      .Header(kind, created, id.ymd, id.course, id.race)
      .Set(614, "B").Set(616, "13").Set(618, "A00").Set(621, "3").Set(634, "005").Set(697, "1600")
      .Set(705, "11").Set(709, "A ").Set(873, "1540").Set(881, "16").Set(883, "15").Set(887, "1")
      .Set(888, "2").Set(889, "1")
      .Delivered();
}

std::string SE(long long n, char kind, std::string_view created) {
  TRaceId id = RaceOf(n / 16);
  int horse = static_cast<int>(n % 16) + 1;
  return TRecordBuilder("SE", kRecordLengthSE - 2)
      .Header(kind, created, id.ymd, id.course, id.race)
      .Num(27, 1, (horse + 1) / 2).Num(28, 2, horse).Num(30, 10, 2019100000 + n % 100000)
      .Set(40, "\x83\x65\x83\x58\x83\x67\x83\x6E\x81\x5B\x83\x58") .Set(296, "01126").Set(331, "0").Set(334, "03")
      .Delivered();
}

std::string HR(long long n, char kind, std::string_view created) {
  TRaceId id = RaceOf(n);
  TRecordBuilder b("HR", kRecordLengthHR - 2);
  b.Header(kind, created, id.ymd, id.course, id.race).Set(21, "02").Set(23, "08").Set(27, "16").Set(29, "15");
  b.Set(49, std::string(53, '0')).Set(102, "07000000350" "01").Set(245, "0307000001230" "002");
  return b.Delivered();
}

// A temporary application folder with the three databases and a central writer on them.
struct THome {
  THome() {
    dir = fs::temp_directory_path() / ("zelk_reflection_bench_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    CreateDatabases(dir / "db");
    log = std::make_unique<TErrorLog>(dir, false, clock, nullptr);
    config = std::make_unique<TConfig>(dir, clock, nullptr, nullptr);
    dmd.ConfigureDatabases(dir / "db", *log, dialogs);
    writer = std::make_unique<TJVTables>(*config, dmd, *log);
  }
  ~THome() {
    writer.reset();
    fs::remove_all(dir);
  }
  fs::path dir;
  test::TFakeClock clock;
  test::TRecordingDialogs dialogs;
  std::unique_ptr<TErrorLog> log;
  std::unique_ptr<TConfig> config;
  TdmdOV dmd;
  std::unique_ptr<TJVTables> writer;
};

using TMaker = std::string (*)(long long, char, std::string_view);

// Reflects `count` records of one kind as new rows, then the same records again as a newer
// delivery (the update path).
void RunRows(benchmark::State& state, const char* kind, TMaker make) {
  const long long count = state.range(0);
  std::vector<std::string> inserts, updates;
  for (long long i = 0; i < count; ++i) {
    inserts.push_back(make(i, '2', "20240101"));
    updates.push_back(make(i, '7', "20240102"));
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto home = std::make_unique<THome>();
    state.ResumeTiming();
    for (const auto* batch : {&inserts, &updates}) {
      int n = 0;
      home->writer->OpenTables(kind);
      for (const auto& r : *batch) {
        if (home->writer->ReflectRecord(r) != 0) state.SkipWithError("record refused");
        if (++n == kCommitEvery) {
          home->writer->CloseTables(kind, true);
          home->writer->OpenTables(kind);
          n = 0;
        }
      }
      home->writer->CloseTables(kind, true);
    }
    state.PauseTiming();
    home.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count * 2);
}

void BM_ReflectRA(benchmark::State& state) { RunRows(state, "RA", RA); }
void BM_ReflectSE(benchmark::State& state) { RunRows(state, "SE", SE); }
void BM_ReflectHR(benchmark::State& state) { RunRows(state, "HR", HR); }
BENCHMARK(BM_ReflectRA)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReflectSE)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReflectHR)->Arg(20000)->Unit(benchmark::kMillisecond);

// O1 lines of 120 races per day over consecutive days, each file written back when the day
// changes; kind O1 (960 characters) or O6 (83283 characters).
void RunOdds(benchmark::State& state, const char* kind, size_t length) {
  const long long count = state.range(0);
  std::vector<std::string> lines;
  for (long long i = 0; i < count; ++i) {
    TRaceId id = RaceOf(i);
    lines.push_back(
        TRecordBuilder(kind, length).Header('1', "20240101", id.ymd, id.course, id.race).Set(27, "01011200").Delivered());
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto home = std::make_unique<THome>();
    state.ResumeTiming();
    home->writer->OpenTables(kind);
    for (const auto& l : lines)
      if (home->writer->ReflectRecord(l) != 0) state.SkipWithError("line refused");
    home->writer->CloseTables(kind, true);
    state.PauseTiming();
    home.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_OddsLinesO1(benchmark::State& state) { RunOdds(state, "O1", 960); }
void BM_OddsLinesO6(benchmark::State& state) { RunOdds(state, "O6", 83283); }
BENCHMARK(BM_OddsLinesO1)->Arg(12000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OddsLinesO6)->Arg(1200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelk

BENCHMARK_MAIN();
