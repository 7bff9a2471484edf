#pragma once
// The import run of one data link (central JV or local NV): stored-data import (difference,
// individual, setup) and the real-time fetches of a day's data and of one race's odds.
// The import windows and the zelk command are thin over it; the automatic run calls the
// real-time operations directly. It owns no user interface: it reaches the user through the
// memo and progress sinks, IDialogs (parameter warnings) and IPump (message processing).
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "common/date_time.h"
#include "common/ui_services.h"

namespace zelk {

class IDataLink;
class IRecordWriter;
class TConfig;
class TdmdOV;
class TErrorLog;

enum class TLinkVariant { Central, Local };

// Lines of the window's processing log (処理ログ).
class IImportMemo {
 public:
  virtual ~IImportMemo() = default;
  virtual void AddLine(const std::string& line) = 0;
};

// Bars, counters and status panels. Sizes are in bytes; the window scales them.
class IImportProgress {
 public:
  virtual ~IImportProgress() = default;
  virtual void SetDownloadRange(int maximum) { (void)maximum; }
  virtual void SetDownloadPosition(int position) { (void)position; }
  virtual void SetReadRange(long long maximumBytes) { (void)maximumBytes; }
  virtual void SetReadPosition(long long bytes) { (void)bytes; }
  virtual void SetReadFull() {}
  virtual void SetTotalReadCount(long long count) { (void)count; }
  virtual void SetReadingCount(long long count) { (void)count; }
  // Panel 0 shows the link and its version, 1 the data kind in work, 2 the file being read.
  virtual void SetStatusPanel(int index, const std::string& text) {
    (void)index;
    (void)text;
  }
};

// What the runner needs of the settings and the database module (TConfig, TdmdOV).
class IImportHost {
 public:
  virtual ~IImportHost() = default;
  virtual int CommitKensu() const = 0;                                   // CommitKensuJV
  virtual std::string DifferenceTimestamp(TLinkVariant variant) const = 0;  // RACE / RACENV
  virtual void SetDifferenceTimestamp(TLinkVariant variant, const std::string& stamp) = 0;
  virtual void SaveSettings() = 0;
  // Disconnects and reconnects conRace and conRacese (releases long-held file handles).
  virtual void ReconnectRaceConnections() = 0;
  // Tells the other windows that the settings changed.
  virtual void BroadcastSettingsChange() {}
};

enum class TImportKind { Difference = 0, Individual = 1, Setup = 2 };

// The values of the window's 対象データ設定 page.
struct TImportInputs {
  TImportKind kind = TImportKind::Difference;
  bool kobetsuRace = true;    // レース情報 (individual)
  std::string kobetsuDate;    // yyyymmdd as typed in the date edit
  std::string kobetsuTime;    // hhnnss as typed in the time edit
  bool setupMode = false;     // セットアップ・モード
  std::string setupYear;      // 開始年
  std::string setupMonth;     // 開始月
  bool setupRace = true;      // レース情報 (setup)
};

// The control to focus after a parameter warning.
enum class TImportField { None, KobetsuRace, KobetsuDate, SetupYear, SetupMonth, SetupRace };

struct TImportParams {
  std::string dataSpec = "RACE";
  std::string fromTime;  // yyyymmddhhnnss
  int option = 1;        // 1 normal, 3 setup
};

// "-301 （認証エラー）": the code and its message for the link.
std::string ReturnCodeText(TLinkVariant variant, int code);
// Whether an open failure is shown to the user (then the run answers -905).
bool IsReportedOpenError(int code);

class TImportRunner {
 public:
  static constexpr int kCancelRequested = 9;
  static constexpr int kRealTimeError = -1;

  TImportRunner(TLinkVariant variant, IImportHost& host, TErrorLog& log, IRecordWriter& writer, IDataLink& link,
                IDialogs& dialogs, IPump& pump, const IClock& clock);
  // Over the application's settings and data module (CommitKensuJV, RACE / RACENV, conRace, conRacese).
  TImportRunner(TLinkVariant variant, TConfig& config, TErrorLog& log, TdmdOV& dmd, IRecordWriter& writer,
                IDataLink& link, IDialogs& dialogs, IPump& pump, const IClock& clock);
  ~TImportRunner();
  IImportHost& Host() { return host_; }

  void SetMemo(IImportMemo* memo) { memo_ = memo; }
  void SetProgress(IImportProgress* progress) { progress_ = progress; }
  // The automatic run's message list, while that window is open (nullptr otherwise).
  void SetAutoHandleMessages(std::function<void(const std::string&)> sink) { autoMessages_ = std::move(sink); }

  TLinkVariant Variant() const { return variant_; }
  // "JRA-VAN Data Lab.データ インポート処理" / "地方競馬データ インポート処理"
  const char* Caption() const;
  const char* SoftwareId() const;
  // "JV-Link : 4.0.0" / "UmaConn : 2.0.3"
  std::string LinkStatusText() const;
  // The local link offers the setup kind only from version "0203" on.
  bool SetupAvailable() const;
  int SetupMinimumYear() const { return variant_ == TLinkVariant::Central ? 1986 : 2005; }
  std::string ReturnCodeText(int code) const { return zelk::ReturnCodeText(variant_, code); }
  std::filesystem::path GetSavePath() const;
  int CancelFlag() const { return cancel_; }

  // Window creation: the "生成" entry and the link's initialisation.
  void Create();
  // The parameters of the chosen kind; warns and names the control to focus when they are not
  // valid. 0, or -900 after a warning, -999 after a logged exception.
  int ComputeParameters(const TImportInputs& inputs, TImportParams& params, TImportField* focus = nullptr);
  // ダウンロード実行: parameters, stored-data import, for the difference kind also today's
  // real-time race data, settings save. Answers the stored-data import's result (0 success).
  int ExecDownload(const TImportInputs& inputs, TImportField* focus = nullptr);
  // 中止: logs the button and asks the running loop to stop at its next check.
  void Stop();
  // The same request without the log entry (an interrupted command line run).
  void RequestCancel() { cancel_ = kCancelRequested; }
  // 閉じる
  void LogClose();

  // Stored-data import of one data kind: 0, -900, -905 (open failure shown), -999.
  int ImportStoredData(const TImportParams& params);
  // Real-time data of a race day into the databases and real-time files: 0 or -900.
  int FetchSokuhoData(const TDateTime& raceDate);
  // Real-time odds of one race into the odds files: 0 or a negative code.
  // Every operation answers -900 without touching the link while another one is running.
  int FetchSokuhoOdds(const std::string& courseCode, int raceNo, const TDateTime& raceDate);

 private:
  std::string Prefix() const;  // "FormJVLink - " / "FormNVLink - "
  std::string Racing() const;  // "中央競馬" / "地方競馬"
  void Memo(const std::string& line);
  void Operation(const std::string& text);
  int RunStoredImport(const TImportParams& params);
  int Download(const TImportParams& params);
  IImportProgress& BeginReadProgress();
  int ReadStored();
  int RealTimeOpen(const std::string& dataSpec, const std::string& key);
  int ReadRealTime();
  int FetchRealTimeRaceData(const std::string& dataSpec, const TDateTime& raceDate);
  void CloseLink();
  void InitLink();
  void RollBackOpenKind();
  IImportProgress& Progress();

  std::unique_ptr<IImportHost> ownedHost_;  // first: host_ may refer to it
  TLinkVariant variant_;
  IImportHost& host_;
  TErrorLog& log_;
  IRecordWriter& writer_;
  IDataLink& link_;
  IDialogs& dialogs_;
  IPump& pump_;
  const IClock& clock_;
  IImportMemo* memo_ = nullptr;
  IImportProgress* progress_ = nullptr;
  IImportProgress noProgress_;
  std::function<void(const std::string&)> autoMessages_;

  bool busy_ = false;  // one import run at a time
  int cancel_ = 0;
  int readCount_ = 0, downloadCount_ = 0;
  std::string lastFileTimestamp_;
  std::string openKind_;  // record kind whose tables the writer holds open
  int filesOpened_ = 0;  // files opened since the import began (reconnect after 99)
};

}  // namespace zelk
