#include "data/data_module.h"

#include <cstdio>
#include <exception>
#include <system_error>

#include "common/error_log.h"
#include "common/ui_services.h"
#include "data/schema.h"

namespace zelk {

TdmdOV::TdmdOV() = default;

namespace {

bool FileExists(const std::filesystem::path& file) {
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec);
}

// A code stored as an integer in レース詳細, written as the code master writes it
// (zero-padded to the code's width).
std::string PaddedCode(long long value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, value);
  return buf;
}

}  // namespace

void TdmdOV::ConfigureDatabases(const std::filesystem::path& dbDir, TErrorLog& log, IDialogs& dialogs) {
  log.WriteOperationLog("メインフォーム", "DB設定");
  try {
    dbDir_ = dbDir;
    const auto race = dbDir / kRaceDbFile;
    if (FileExists(race)) {
      conRace.Disconnect();
      conSokuhoRace.Disconnect();
      conRace.Connect(race);
      conSokuhoRace.Connect(race);
    } else {
      dialogs.Error("指定されたデータベースファイルが存在しません ： Race");
    }
    const auto code = dbDir / kCodeDbFile;
    if (FileExists(code)) {
      conCode.Disconnect();
      conCode.Connect(code);
    } else {
      dialogs.Error("指定されたデータベースファイルが存在しません ： Code");
    }
    const auto racese = dbDir / kRaceseDbFile;
    if (FileExists(racese)) {
      conRacese.Disconnect();
      conSokuhoRacese.Disconnect();
      conRacese.Connect(racese);
      conSokuhoRacese.Connect(racese);
    } else {
      dialogs.Error("指定されたデータベースファイルが存在しません ： Racese");
    }
  } catch (const std::exception& e) {
    log.WriteErrorLog(-999, "メインフォーム - データベース設定", "", e.what());
  }
}

void TdmdOV::CloseRaceConnections() {
  conRace.Disconnect();
  conRacese.Disconnect();
}

void TdmdOV::OpenRaceConnections() {
  if (dbDir_.empty()) throw std::runtime_error("データベースフォルダが設定されていません");
  conRace.Connect(dbDir_ / kRaceDbFile);
  conRacese.Connect(dbDir_ / kRaceseDbFile);
}

std::string TdmdOV::CodeName(TTable& table, const std::string& code, const std::string& column) {
  if (!table.Connection().Connected()) return {};
  auto row = table.Seek({code});
  return row ? row->Text(column) : std::string();
}

void TdmdOV::AddRaceReferences(TRow& race) {
  race.Set(kRefJomei, CodeName(tblKeibajo, race.Text("競馬場コード"), "場略名(3文字)"));
  race.Set(kRefShubetsu, CodeName(tblShubetsu, PaddedCode(race.Int("競走種別コード"), 2), "略名(6文字)"));
  race.Set(kRefJoken, CodeName(tblJoken, PaddedCode(race.Int("競走条件コード最若年条件"), 3), "名称"));
  race.Set(kRefJuryo, CodeName(tblJuryo, PaddedCode(race.Int("重量種別コード"), 1), "名称"));
}

std::optional<TRow> TdmdOV::RefRace(const TKey& key) {
  auto row = tblRefRace.Seek(key);
  if (row) AddRaceReferences(*row);
  return row;
}

}  // namespace zelk
