// Bulk reflection through the table objects: one seek by primary key, then an insert or an
// update, per record, inside transactions of 10,000 records, as the import does.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "data/database.h"
#include "data/schema.h"

namespace {

namespace fs = std::filesystem;

struct TBenchDb {
  explicit TBenchDb(const char* tag) {
    dir = fs::temp_directory_path() / (std::string("zelk_bench_") + tag);
    fs::remove_all(dir);
    zelk::CreateDatabases(dir);
  }
  ~TBenchDb() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
};

std::string Date(long long i) {
  long long day = i / 1000;  // 1000 races a day
  return "2024-" + std::string(day / 28 % 12 < 9 ? "0" : "") + std::to_string(day / 28 % 12 + 1) + "-" +
         std::string(day % 28 < 9 ? "0" : "") + std::to_string(day % 28 + 1);
}

void Reflect(benchmark::State& state, const char* file, const char* table, const std::vector<std::string>& columns,
             int horses, bool wholeRow = true) {
  TBenchDb db(table);
  zelk::TConnection con("bulk");
  con.Connect(db.dir / file);
  zelk::TTable t(con, table);
  long long n = 0;
  con.BeginTrans();
  for (auto _ : state) {
    // Each record is reflected twice in the run: first an insert, later an update of the same key.
    long long k = (n / 2) % 200000;
    long long race = k / horses;
    zelk::TKey key;
    key.emplace_back(Date(race / 12 / 10));
    key.emplace_back("0" + std::to_string(race / 12 % 10));
    key.emplace_back(race % 12 + 1);
    if (horses > 1) key.emplace_back(k % horses + 1);
    zelk::TRow row;
    for (size_t i = 0; i < columns.size(); ++i) {
      const std::string& c = columns[i];
      if (c == "開催年月日" || c == "競馬場コード" || c == "レース番号" || c == "馬番") {
        row.Set(c, key[c == "開催年月日" ? 0 : c == "競馬場コード" ? 1 : c == "レース番号" ? 2 : 3]);
      } else if (c.find("組番") != std::string::npos || c.find("区分") != std::string::npos) {
        row.Set(c, std::string("0102"));
      } else {
        row.Set(c, static_cast<long long>(i + n % 7));
      }
    }
    static const std::vector<std::string> stamp = {"データ作成年月日"};
    if (auto found = wholeRow ? t.Seek(key) : t.Seek(key, stamp)) {
      t.Update(key, row);
    } else {
      t.Insert(row);
    }
    if (++n % 10000 == 0) {
      con.CommitTrans();
      con.BeginTrans();
    }
  }
  con.CommitTrans();
  state.SetItemsProcessed(state.iterations());
}

void BM_ReflectRA(benchmark::State& s) { Reflect(s, zelk::kRaceDbFile, "レース詳細", zelk::RaceColumns(), 1); }
void BM_ReflectSE(benchmark::State& s) { Reflect(s, zelk::kRaceseDbFile, "馬毎レース情報", zelk::EntryColumns(), 16); }
void BM_ReflectHR(benchmark::State& s) { Reflect(s, zelk::kRaceDbFile, "払戻", zelk::PayoutColumns(), 1); }
// The same with a seek that reads only the creation date of the stored row.
void BM_ReflectHRStampSeek(benchmark::State& s) {
  Reflect(s, zelk::kRaceDbFile, "払戻", zelk::PayoutColumns(), 1, false);
}

BENCHMARK(BM_ReflectRA)->Iterations(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReflectSE)->Iterations(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReflectHR)->Iterations(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReflectHRStampSeek)->Iterations(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
