#pragma once
// The record writers of the two data links: they turn the fixed-layout record texts into rows
// of レース詳細, 馬毎レース情報 and 払戻, lines of the odds day files and the real-time files, and
// real-time corrections of race headers. TJVTables serves central racing, TNVTables local
// racing; the shared rules live in TRecordTables and the twins differ only where their racing
// differs (bulk RA/SE rules, real-time SE filter, turf going, local O6/OA lines, OA/WF kinds).
//
// Record texts are raw CP932 bytes; every field is cut by byte offset before any conversion.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "common/ui_services.h"
#include "data/odds_files.h"
#include "data/record_writer.h"
#include "data/sokuho_files.h"

namespace zelk {

class TConfig;
class TdmdOV;
class TErrorLog;
class TConnection;
class TTable;

// Record lengths as the data link delivers them, CR LF included.
inline constexpr size_t kRecordLengthRA = 1272;
inline constexpr size_t kRecordLengthSE = 555;
inline constexpr size_t kRecordLengthHR = 719;
inline constexpr size_t kRecordLengthTC = 45;
inline constexpr size_t kRecordLengthCC = 50;

// The connections, tables and folders a writer works on (normally those of TdmdOV and TConfig).
struct TRecordTablesTargets {
  std::filesystem::path dbDir;   // odds tree root
  std::filesystem::path appDir;  // real-time tree root
  TConnection& conRace;
  TConnection& conRacese;
  TConnection& conSokuhoRace;
  TTable& tblRA;
  TTable& tblHR;
  TTable& tblSE;
  TTable& tblSokuhoRA;
  TTable& tblSokuhoHR;
  TTable& tblSokuhoSE;
};

// The targets of the data module's connections and tables with the given folders.
TRecordTablesTargets RecordTablesTargets(TdmdOV& dmd, const std::filesystem::path& dbDir,
                                         const std::filesystem::path& appDir);

class TRecordTables : public IRecordWriter {
 public:
  ~TRecordTables() override;

  int OpenTables(const std::string& recordKind) override;
  int CloseTables(const std::string& recordKind, bool commit) override;
  int ReflectRecord(const std::string& record) override;
  int ReflectSokuhoRecord(const std::string& record) override;
  int BeginSokuhoTables() override;
  int EndSokuhoTables(bool commit) override;
  void BeginSokuho(const TDateTime& raceDate) override;
  void AddSokuho(const std::string& record) override;
  int WriteSokuho(const TDateTime& raceDate) override;
  void ResetOddsFile() override;
  int FlushOddsFile() override;

  // A downloaded prediction record (156 characters) as a probability line of the source key
  // ("YOSOU", "KETTO", …) in the day file of its race: 0 or -900.
  int ReflectYosoOddsRecord(const std::string& record, const std::string& sourceKey);

  // The pump of the one-second wait after writing the real-time files (default: sleeping).
  void SetPump(IPump& pump) { sokuho_.SetPump(pump); }
  // The clock that dates probability lines (default: the machine's).
  void SetClock(const IClock& clock) { clock_ = &clock; }

  const TOddsDayFile& OddsFile() const { return odds_; }
  const TSokuhoFiles& SokuhoFiles() const { return sokuho_; }

 protected:
  TRecordTables(const TRecordTablesTargets& targets, TErrorLog& log, bool local);

 private:
  struct TRecord;
  enum class TMode { Bulk, Sokuho };

  int Dispatch(std::string_view record, TMode mode);
  int ReflectRA(const TRecord& r, TMode mode);
  int ReflectSE(const TRecord& r, TMode mode);
  int ReflectHR(const TRecord& r, TMode mode);
  int ReflectTC(const TRecord& r);
  int ReflectCC(const TRecord& r);
  int ReflectOddsText(const TRecord& r);
  int ReflectCollected(const TRecord& r);

  int Fail(const std::string& op, std::string_view record, const std::string& detail, const std::string& message);
  std::string Op(const std::string& step) const;

  TRecordTablesTargets t_;
  TErrorLog& log_;
  bool local_;
  std::string branch_;
  TSleepPump sleepPump_;
  TSystemClock systemClock_;
  const IClock* clock_;
  TOddsDayFile odds_;
  TSokuhoFiles sokuho_;
};

class TJVTables final : public TRecordTables {
 public:
  TJVTables(TConfig& config, TdmdOV& dmd, TErrorLog& log);
  TJVTables(const TRecordTablesTargets& targets, TErrorLog& log) : TRecordTables(targets, log, false) {}
};

class TNVTables final : public TRecordTables {
 public:
  TNVTables(TConfig& config, TdmdOV& dmd, TErrorLog& log);
  TNVTables(const TRecordTablesTargets& targets, TErrorLog& log) : TRecordTables(targets, log, true) {}
};

}  // namespace zelk
