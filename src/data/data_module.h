#pragma once
// The data module: every connection to the racing databases and the shared table objects.
// Created with all connections closed; ConfigureDatabases points them at the files of the
// database folder at start-up.
#include <filesystem>
#include <optional>

#include "data/database.h"

namespace zelk {

class IDialogs;
class TErrorLog;

// Reference fields joined onto a race row from the code masters.
inline const char* const kRefJomei = "RefJomei";        // 場略名(3文字) of 競馬場コード
inline const char* const kRefShubetsu = "RefShubetsu";  // 略名(6文字) of 競走種別コード
inline const char* const kRefJoken = "RefJoken";        // 名称 of 競走条件コード最若年条件
inline const char* const kRefJuryo = "RefJuryo";        // 名称 of 重量種別コード

class TdmdOV {
 public:
  TdmdOV();
  TdmdOV(const TdmdOV&) = delete;
  TdmdOV& operator=(const TdmdOV&) = delete;

  // Connections first: table objects must not outlive them.
  TConnection conRace{"conRace"};                  // race.db: bulk import, all reading
  TConnection conRacese{"conRacese"};              // racese.db: bulk import, all reading
  TConnection conCode{"conCode"};                  // code.db: code masters
  TConnection conSokuhoRace{"conSokuhoRace"};      // race.db: real-time updates
  TConnection conSokuhoRacese{"conSokuhoRacese"};  // racese.db: real-time updates

  TTable tblRA{conRace, "レース詳細"};
  TTable tblHR{conRace, "払戻"};
  TTable tblSE{conRacese, "馬毎レース情報"};
  TTable tblSokuhoRA{conSokuhoRace, "レース詳細"};
  TTable tblSokuhoHR{conSokuhoRace, "払戻"};
  TTable tblSokuhoSE{conSokuhoRacese, "馬毎レース情報"};
  TTable tblRefRace{conRace, "レース詳細", true};
  TTable tblRefDenma{conRacese, "馬毎レース情報", true};
  TTable tblRefDenmaSim{conRacese, "馬毎レース情報", true};
  TTable tblRefHaraimodoshi{conRace, "払戻", true};

  // Code masters (read only).
  TTable tblKeibajo{conCode, "競馬場コード", true};
  TTable tblKeibajoCombo{conCode, "コンボ用競馬場コード", true};
  TTable tblShubetsu{conCode, "競走種別コード", true};
  TTable tblJoken{conCode, "競走条件コード", true};
  TTable tblJuryo{conCode, "重量種別コード", true};
  TTable tblKigo{conCode, "競走記号コード", true};
  TTable tblGrade{conCode, "グレードコード", true};
  TTable tblBaba{conCode, "馬場状態コード", true};
  TTable tblWeather{conCode, "天候コード", true};
  TTable tblTrack{conCode, "トラックコード", true};
  TTable tblTyakusa{conCode, "トラックコード", true};
  TTable tblUmaKigo{conCode, "馬記号コード", true};
  TTable tblKeiro{conCode, "毛色コード", true};

  // Start-up: writes the operation entry "[メインフォーム] DB設定", then connects race.db
  // (conRace, conSokuhoRace), code.db (conCode) and racese.db (conRacese, conSokuhoRacese).
  // A missing file is reported with an error box and its connections stay closed; an
  // exception is logged with -999 and start-up goes on.
  void ConfigureDatabases(const std::filesystem::path& dbDir, TErrorLog& log, IDialogs& dialogs);

  // Closes / reopens conRace and conRacese only (the automatic run around loading a race).
  // OpenRaceConnections throws std::runtime_error when the files are missing or were never
  // configured.
  void CloseRaceConnections();
  void OpenRaceConnections();

  const std::filesystem::path& DbDir() const { return dbDir_; }

  // The race header of tblRefRace with RefJomei, RefShubetsu, RefJoken and RefJuryo added
  // from code.db (empty text when a code is unknown or code.db is not connected).
  std::optional<TRow> RefRace(const TKey& key);
  // Adds the reference fields to a row of レース詳細.
  void AddRaceReferences(TRow& race);

 private:
  std::string CodeName(TTable& table, const std::string& code, const std::string& column);
  std::filesystem::path dbDir_;
};

}  // namespace zelk
