#include "data/import_runner.h"

#include <cctype>
#include <cstdio>
#include <exception>

#include "common/error_log.h"
#include "data/import_host.h"
#include "data/record_writer.h"
#include "platform/data_link.h"

namespace zelk {

namespace {

constexpr int kBufferSize = 110000;

const char* CodeMessage(TLinkVariant v, int code) {
  bool local = v == TLinkVariant::Local;
  switch (code) {
    case 0: return "正常";
    case -1: return "該当データなし";
    case -2: return "セットアップダイアログでキャンセルが押された";
    case -3: return local ? "NVReadエラー。ファイルダウンロード中。少し待ってから再開してください。" : "その他エラー";
    case -100: return "パラメタが不正あるいはレジストリへの保存に失敗";
    case -101: return "sidが設定されていない";
    case -102: return "sidが64byteを超えている";
    case -103: return "sidが不正";
    case -111: return "dataspecパラメタが不正";
    case -112: return "fromdateパラメタが不正";
    case -113: return "todateパラメタが不正";
    case -114: return "keyパラメタが不正";
    case -115: return "optionパラメタが不正";
    case -116: return "dataspecとoptionの組み合わせが不正";
    case -201: return local ? "NVInitが行われていない" : "JVInitが行われていない";
    case -202:
      return local ? "前回のNVOpen/NVRTOpenに対してNVCloseが呼ばれていない"
                   : "前回のJVOpen/JVRTOpenに対してJVCloseが呼ばれていない";
    case -203: return local ? "NVOpenが行われていない" : "JVOpenが行われていない";
    case -211: return "レジストリ内容が不正";
    case -301: return "認証エラー";
    case -302: return "サービスキーの有効期限切れ";
    case -303: return "サービスキーが設定されていない";
    case -304: return local ? "NARレーシングビュアー連携機能認証エラー" : "JRAレーシングビュアー連携機能認証エラー";
    case -401: return local ? "UmaConn内部エラー" : "JV-Link内部エラー";
    case -402: return "ダウンロードしたファイルが異常（サイズ=0）";
    case -403: return "ダウンロードしたファイルが異常（データ内容）";
    case -411: return "サーバエラー（HTTPステータス404NotFound）";
    case -412: return "サーバエラー（HTTPステータス403Forbidden）";
    case -413: return "サーバエラー（HTTPステータス200,403,404以外）";
    case -421: return "サーバエラー（サーバの応答が不正）";
    case -431: return "サーバエラー（サーバアプリケーション内部エラー）";
    case -501: return "セットアップ処理においてCD-ROMが無効";
    case -502: return "ダウンロード失敗";
    case -503: return "ファイルが見つからない";
    case -504: return "サーバメンテナンス中";
    case -999: return "Orvane固有のエラー";
    default: return "その他エラー";
  }
}

// An integer as a text edit holds it: optional blanks and sign, then digits only.
bool ReadInt(const std::string& text, int& value) {
  size_t b = text.find_first_not_of(' ');
  size_t e = text.find_last_not_of(' ');
  if (b == std::string::npos) return false;
  std::string t = text.substr(b, e - b + 1);
  size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i >= t.size() || t.size() - i > 9) return false;
  for (size_t k = i; k < t.size(); ++k)
    if (!std::isdigit(static_cast<unsigned char>(t[k]))) return false;
  value = std::stoi(t);
  return true;
}

std::string Digits(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '_') out += c;
  return out;
}

bool AllDigits(const std::string& s) {
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return !s.empty();
}

// Marks the runner busy for one operation. Pending messages are processed inside the loops, so
// a timer could call in while a run is active; that call is refused instead of re-initialising
// the link under the running import.
class TBusy {
 public:
  explicit TBusy(bool& busy) : busy_(busy), acquired_(!busy) { busy_ = true; }
  ~TBusy() {
    if (acquired_) busy_ = false;
  }
  bool Acquired() const { return acquired_; }

 private:
  bool& busy_;
  bool acquired_;
};

}  // namespace

std::string ReturnCodeText(TLinkVariant variant, int code) {
  return std::to_string(code) + " （" + CodeMessage(variant, code) + "）";
}

bool IsReportedOpenError(int code) {
  switch (code) {
    case -101: case -102: case -103:
    case -201: case -202: case -203: case -211:
    case -301: case -302: case -303:
    case -401: case -402: case -403: case -411: case -412: case -413: case -421: case -431:
    case -501: case -502: case -503: case -504:
      return true;
    default:
      return false;
  }
}

TImportRunner::TImportRunner(TLinkVariant variant, IImportHost& host, TErrorLog& log, IRecordWriter& writer,
                             IDataLink& link, IDialogs& dialogs, IPump& pump, const IClock& clock)
    : variant_(variant), host_(host), log_(log), writer_(writer), link_(link), dialogs_(dialogs), pump_(pump),
      clock_(clock) {}

TImportRunner::TImportRunner(TLinkVariant variant, TConfig& config, TErrorLog& log, TdmdOV& dmd, IRecordWriter& writer,
                             IDataLink& link, IDialogs& dialogs, IPump& pump, const IClock& clock)
    : ownedHost_(std::make_unique<TConfigImportHost>(config, dmd)),
      variant_(variant),
      host_(*ownedHost_),
      log_(log),
      writer_(writer),
      link_(link),
      dialogs_(dialogs),
      pump_(pump),
      clock_(clock) {}

TImportRunner::~TImportRunner() = default;

const char* TImportRunner::Caption() const {
  return variant_ == TLinkVariant::Central ? "JRA-VAN Data Lab.データ インポート処理" : "地方競馬データ インポート処理";
}

const char* TImportRunner::SoftwareId() const {
  return variant_ == TLinkVariant::Central ? "SA130412/SD208891/ZELKARO/Ver.2.0.0"
                                           : "SA094406/SD360575/ZELKARO/Ver.2.0.0";
}

std::string TImportRunner::LinkStatusText() const {
  return std::string(variant_ == TLinkVariant::Central ? "JV-Link" : "UmaConn") + " : " +
         LinkVersionText(link_.Version());
}

bool TImportRunner::SetupAvailable() const { return variant_ == TLinkVariant::Central || link_.Version() >= "0203"; }

std::filesystem::path TImportRunner::GetSavePath() const { return link_.SavePath(); }

std::string TImportRunner::Prefix() const {
  return variant_ == TLinkVariant::Central ? "FormJVLink - " : "FormNVLink - ";
}

std::string TImportRunner::Racing() const { return variant_ == TLinkVariant::Central ? "中央競馬" : "地方競馬"; }

void TImportRunner::Memo(const std::string& line) {
  if (memo_) memo_->AddLine(line);
}

void TImportRunner::Operation(const std::string& text) { log_.WriteOperationLog(Caption(), text); }

IImportProgress& TImportRunner::Progress() { return progress_ ? *progress_ : noProgress_; }

void TImportRunner::InitLink() {
  try {
    link_.Init(SoftwareId());  // the answer is not used; a failing open reports it
  } catch (const std::exception&) {
  }
}

void TImportRunner::CloseLink() {
  int rc = 0;
  try {
    rc = link_.Close();
  } catch (const std::exception& e) {
    rc = -999;
  }
  if (rc != 0)
    log_.WriteErrorLog(rc, variant_ == TLinkVariant::Central ? "JV-Link JVClose()" : "NV-Link NVClose()", "",
                       "終了エラー");
}

void TImportRunner::Create() {
  Operation("生成");
  InitLink();
  cancel_ = 0;
}

void TImportRunner::Stop() {
  Operation("「キャンセル」ボタン");
  RequestCancel();
}

void TImportRunner::LogClose() { Operation("「閉じる」ボタン"); }

int TImportRunner::ComputeParameters(const TImportInputs& in, TImportParams& params, TImportField* focus) {
  auto refuse = [&](const char* text, TImportField field) {
    dialogs_.Warning(text);
    if (focus) *focus = field;
    return -900;
  };
  if (focus) *focus = TImportField::None;
  const char* step = in.kind == TImportKind::Difference   ? "差分取得パラメタ設定"
                     : in.kind == TImportKind::Individual ? "個別取得パラメタ設定"
                                                          : "セットアップ取得パラメタ設定";
  try {
    params = TImportParams{};
    switch (in.kind) {
      case TImportKind::Difference:
        params.fromTime = host_.DifferenceTimestamp(variant_);
        params.option = 1;
        return 0;
      case TImportKind::Individual: {
        if (!in.kobetsuRace) return refuse("取得対象データ種別が指定されていません", TImportField::KobetsuRace);
        std::string from = Digits(in.kobetsuDate) + Digits(in.kobetsuTime);
        if (from.size() != 14 || !AllDigits(from)) return refuse("日付・時刻の指定が不正です", TImportField::KobetsuDate);
        params.fromTime = from;
        params.option = in.setupMode ? 3 : 1;
        return 0;
      }
      case TImportKind::Setup: {
        int year = 0, month = 0;
        if (!ReadInt(in.setupYear, year)) return refuse("開始年の指定が不正です", TImportField::SetupYear);
        if (!ReadInt(in.setupMonth, month)) return refuse("開始月の指定が不正です", TImportField::SetupMonth);
        if (year < SetupMinimumYear())
          return refuse(variant_ == TLinkVariant::Central ? "開始年は1986年以降である必要があります"
                                                          : "開始年は2005年以降である必要があります",
                        TImportField::SetupYear);
        if (!in.setupRace) return refuse("取得対象データ種別が指定されていません", TImportField::SetupRace);
        char mm[16];
        std::snprintf(mm, sizeof mm, "%.2d", month);
        params.fromTime = std::to_string(year) + mm + "01" + "000000";
        params.option = 3;
        return 0;
      }
    }
    return -900;
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-999, Prefix() + step, "", e.what());
    return -999;
  }
}

int TImportRunner::ExecDownload(const TImportInputs& inputs, TImportField* focus) {
  TBusy busy(busy_);
  if (!busy.Acquired()) return -900;
  Operation("「ダウンロード実行」ボタン");
  filesOpened_ = 0;
  TImportParams params;
  int rc = ComputeParameters(inputs, params, focus);
  if (rc != 0) return rc;
  int result = -900;
  try {
    Memo(Racing() + "　蓄積系データのインポート開始");
    result = RunStoredImport(params);
    if (result != -905 && result != -999) {
      Memo("");
      Memo(Racing() + "　蓄積系データのインポート終了");
      if (inputs.kind == TImportKind::Difference) {
        Memo("");
        Memo(Racing() + "　速報系データのインポート開始");
        FetchRealTimeRaceData("0B15", clock_.Now());
        Memo(Racing() + "　速報系データのインポート終了");
      }
      host_.SaveSettings();
      host_.BroadcastSettingsChange();
    }
    host_.ReconnectRaceConnections();
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-999, Prefix() + "btnExecDownloadClick", "", e.what());
    return -999;
  }
  return result;
}

int TImportRunner::ImportStoredData(const TImportParams& params) {
  TBusy busy(busy_);
  if (!busy.Acquired()) return -900;
  return RunStoredImport(params);
}

int TImportRunner::RunStoredImport(const TImportParams& params) {
  try {
    Progress().SetStatusPanel(1, "データ種別：" + params.dataSpec + "を処理中");
    Memo("");
    Memo("データ種別：" + params.dataSpec);
    int d = Download(params);
    int r = 0;
    if (d == 0) r = ReadStored();
    CloseLink();
    if (d == -905 || d == -999) {
      Memo("処理を中止します");
      return d;
    }
    if (d == -902) {
      Memo("新規データはありません");
      return 0;
    }
    if (d != 0) {
      Memo("ダウンロードできませんでした");
      Memo("ダウンロード・エラーコード = " + std::to_string(d));
      return -900;
    }
    if (r != 0) {
      Memo("DBに反映されなかったデータがあります");
      Memo("読込処理エラーコード = " + std::to_string(r));
      return -900;
    }
    Memo("全件DBに反映されました");
    if (lastFileTimestamp_.size() == 14 && AllDigits(lastFileTimestamp_))
      host_.SetDifferenceTimestamp(variant_, lastFileTimestamp_);
    host_.SaveSettings();
    return 0;
  } catch (const std::exception& e) {
    RollBackOpenKind();
    CloseLink();
    log_.WriteErrorLog(-999, Prefix() + (variant_ == TLinkVariant::Central ? "ImportJVData" : "ImportNVData"),
                       "Exception", e.what());
    Memo("DBに反映されなかったデータがあります");
    return -900;
  }
}

int TImportRunner::Download(const TImportParams& params) {
  Operation((variant_ == TLinkVariant::Central ? "JVLink - JVOpen実行(" : "NVLink - NVOpen実行(") +
            params.dataSpec + ")");
  cancel_ = 0;
  Memo("");
  Memo("> ダウンロード開始");
  InitLink();
  int rc = 0;
  try {
    rc = link_.Open(params.dataSpec, params.fromTime, params.option, readCount_, downloadCount_, lastFileTimestamp_);
  } catch (const std::exception& e) {
    if (variant_ == TLinkVariant::Central) {
      Operation("蓄積系ダウンロード 例外発生");
    } else {
      Operation(std::string("蓄積系ダウンロード　例外発生：") + e.what());
      Memo(std::string("> 蓄積系ダウンロード　例外発生：") + e.what());
    }
    InitLink();
    return -999;
  }
  Progress().SetDownloadRange(downloadCount_);
  Progress().SetDownloadPosition(0);
  Progress().SetReadPosition(0);

  int result = 0;
  if (rc == 0) {
    if (downloadCount_ > 0) {
      for (;;) {
        pump_.ProcessMessages();
        if (cancel_ == kCancelRequested) {
          link_.Cancel();
          Memo("> ダウンロード キャンセル");
          result = -901;
          break;
        }
        int s = link_.Status();
        if (s < 0) {
          result = s;
          break;
        }
        if (s < downloadCount_) {
          Progress().SetDownloadPosition(s);
          pump_.WaitMs(500);
          continue;
        }
        if (s == downloadCount_) {
          Progress().SetDownloadPosition(downloadCount_);
          result = 0;
        } else {
          result = -900;
        }
        break;
      }
    } else {
      Progress().SetDownloadRange(1);
      Progress().SetDownloadPosition(1);
    }
  } else if (rc == -1) {
    result = -902;
  } else if (IsReportedOpenError(rc)) {
    Memo("> ダウンロード・エラー：" + ReturnCodeText(rc));
    result = -905;
  } else {
    result = -900;
  }
  Memo("> ダウンロード終了");
  return result;
}

void TImportRunner::RollBackOpenKind() {
  if (openKind_.empty()) return;
  std::string kind = openKind_;
  openKind_.clear();
  writer_.CloseTables(kind, false);
}

// Both read loops begin alike: the memo line, the read bar over the total size, both counters at 0.
IImportProgress& TImportRunner::BeginReadProgress() {
  Memo("> 読込処理開始");
  IImportProgress& bar = Progress();
  bar.SetReadRange(link_.TotalReadFileSize());
  bar.SetReadPosition(0);
  bar.SetTotalReadCount(0);
  bar.SetReadingCount(0);
  return bar;
}

int TImportRunner::ReadStored() {
  IImportProgress& bar = BeginReadProgress();
  long long byteTotal = 0, recordTotal = 0, perFile = 0;
  int commitCount = 0;
  const int commitKensu = host_.CommitKensu();
  std::string currentFile, record, fileName;
  openKind_.clear();

  auto skipFile = [&](const std::string& kind) {
    Memo("> " + fileName + " (" + kind + ") スキップ");
    byteTotal += link_.CurrentReadFileSize();
    link_.Skip();
    bar.SetReadPosition(byteTotal);
    perFile = 0;
  };
  auto closeKind = [&]() {
    std::string kind = openKind_;
    openKind_.clear();
    return kind.empty() ? 0 : writer_.CloseTables(kind, true);
  };

  for (;;) {
    pump_.ProcessMessages();
    if (cancel_ == kCancelRequested) {
      // Rows of the unfinished part are not kept; committed files and commit steps stay.
      RollBackOpenKind();
      Memo("> 読込処理 キャンセル");
      return -901;
    }
    int size = kBufferSize;
    int rc = link_.Read(record, size, fileName);
    if (rc > 0) {
      std::string kind = record.substr(0, 2);
      if (perFile == 0) {
        bar.SetStatusPanel(2, fileName);
        bar.SetReadingCount(0);
        if (filesOpened_ > 99) {
          host_.ReconnectRaceConnections();
          filesOpened_ = 0;
        }
        int open = writer_.OpenTables(kind);
        ++filesOpened_;
        if (open == -903) {
          skipFile(kind);
          continue;
        }
        if (open != 0) return open;
        openKind_ = kind;
        currentFile = fileName;
        commitCount = 0;
      }
      ++perFile;
      bar.SetReadingCount(perFile);
      int w = writer_.ReflectRecord(record);
      if (w == -907) continue;
      if (w == -903) {
        // Keep what this file gave so far, then leave the rest of it.
        int c = closeKind();
        if (c != 0) {
          Memo("> " + currentFile + " " + std::to_string(perFile) + "件目でエラー");
          return c;
        }
        skipFile(kind);
        continue;
      }
      if (w != 0) {
        RollBackOpenKind();
        Memo("> " + currentFile + " " + std::to_string(perFile) + "件目でエラー");
        return w;
      }
      if (commitKensu > 0 && ++commitCount >= commitKensu) {
        std::string kindOpen = openKind_;
        int c = closeKind();
        int o = c == 0 ? writer_.OpenTables(kindOpen) : 0;
        if (c != 0 || o != 0) {
          Memo("> " + currentFile + " " + std::to_string(perFile) + "件目でエラー");
          return c != 0 ? c : o;
        }
        openKind_ = kindOpen;
        commitCount = 0;
      }
      continue;
    }
    if (rc == -1) {
      if (!fileName.empty()) currentFile = fileName;
      recordTotal += perFile;
      bar.SetTotalReadCount(recordTotal);
      byteTotal += link_.CurrentReadFileSize();
      bar.SetReadPosition(byteTotal);
      int c = closeKind();
      if (c != 0) {
        Memo("> " + currentFile + " " + std::to_string(perFile) + "件目でエラー");
        return c;
      }
      Memo("> " + currentFile + " " + std::to_string(perFile) + "件");
      perFile = 0;
      continue;
    }
    if (rc == 0) {
      bar.SetReadFull();
      Memo("> 読込処理終了");
      return 0;
    }
    log_.WriteLog((variant_ == TLinkVariant::Central ? "JVRead()でエラー発生  " : "ExecNVReadChikuseki#NVRead()でエラー発生：") +
                  ReturnCodeText(rc));
    RollBackOpenKind();
    Memo("> " + fileName + " エラー" + std::to_string(rc));
    return rc;
  }
}

int TImportRunner::RealTimeOpen(const std::string& dataSpec, const std::string& key) {
  Operation("速報系ダウンロード実行（" + dataSpec + "," + key + "）");
  cancel_ = 0;
  InitLink();
  try {
    return link_.RTOpen(dataSpec, key);
  } catch (const std::exception& e) {
    Operation(variant_ == TLinkVariant::Central ? std::string("速報系ダウンロード 例外発生")
                                                : std::string("速報系ダウンロード　例外発生：リターンコード：") + e.what());
    InitLink();
    return -999;
  }
}

int TImportRunner::ReadRealTime() {
  IImportProgress& bar = BeginReadProgress();
  long long byteTotal = 0, recordTotal = 0, perFile = 0;
  std::string record, fileName;
  for (;;) {
    pump_.ProcessMessages();
    if (cancel_ == kCancelRequested) break;
    int size = kBufferSize;
    int rc = link_.Read(record, size, fileName);
    if (rc > 0) {
      if (perFile == 0) bar.SetStatusPanel(2, fileName);
      ++perFile;
      bar.SetReadingCount(perFile);
      int w = writer_.ReflectSokuhoRecord(record);
      if (w != 0 && w != -907) {
        cancel_ = kRealTimeError;
        break;
      }
      continue;
    }
    if (rc == -1) {
      recordTotal += perFile;
      bar.SetTotalReadCount(recordTotal);
      byteTotal += link_.CurrentReadFileSize();
      bar.SetReadPosition(byteTotal);
      Memo("> " + fileName + " " + std::to_string(perFile) + "件");
      perFile = 0;
      continue;
    }
    if (rc == 0) {
      bar.SetReadFull();
      break;
    }
    log_.WriteLog((variant_ == TLinkVariant::Central ? "JVRead()でエラー発生  " : "ExecNVReadChikuseki#NVRead()でエラー発生：") +
                  ReturnCodeText(rc));
    cancel_ = kRealTimeError;
    break;
  }
  if (cancel_ == kCancelRequested) {
    Memo("> 読込処理キャンセル");
    return -901;
  }
  if (cancel_ == kRealTimeError) {
    Memo("> 読込処理中にエラー");
    return -900;
  }
  Memo("> 読込処理終了");
  return 0;
}

int TImportRunner::FetchRealTimeRaceData(const std::string& dataSpec, const TDateTime& raceDate) {
  bool begun = false;
  try {
    int open = RealTimeOpen(dataSpec, FormatYmd(raceDate));
    if (open != 0) {
      CloseLink();
      return open == -1 ? 0 : -900;
    }
    if (writer_.BeginSokuhoTables() != 0) {
      CloseLink();
      return -900;
    }
    begun = true;
    int r = ReadRealTime();
    begun = false;
    int end = writer_.EndSokuhoTables(r == 0);
    CloseLink();
    return (r == 0 && end == 0) ? 0 : -900;
  } catch (const std::exception& e) {
    if (begun) {
      try {
        writer_.EndSokuhoTables(false);
      } catch (const std::exception&) {
      }
    }
    CloseLink();
    const char* step = dataSpec == "0B12"   ? "速報レース情報取得"
                       : dataSpec == "0B15" ? "速報レース情報取得0B15"
                                            : "速報開催情報取得";
    log_.WriteErrorLog(-999, Prefix() + step, "開催日 = " + FormatShortDate(raceDate), e.what());
    return -900;
  }
}

int TImportRunner::FetchSokuhoData(const TDateTime& raceDate) {
  TBusy busy(busy_);
  if (!busy.Acquired()) return -900;
  Operation("速報開催情報取得メソッド");
  try {
    writer_.BeginSokuho(raceDate);
    static const char* const kCentral[] = {"0B12", "0B14"};
    static const char* const kLocal[] = {"0B15", "0B12", "0B14"};
    auto run = [&](const char* spec) {
      int rc = FetchRealTimeRaceData(spec, raceDate);
      if (rc == 0) return true;
      std::string s = spec;
      std::string text = s == "0B15"   ? "速報レース情報(出走馬名表～）取得エラー"
                         : s == "0B12" ? "速報レース情報(成績確定後）取得エラー"
                                       : "速報開催情報(一括)取得エラー";
      Operation(text);
      if (autoMessages_) autoMessages_(text + "：" + std::to_string(rc));
      return false;
    };
    if (variant_ == TLinkVariant::Central) {
      for (const char* spec : kCentral)
        if (!run(spec)) return -900;
    } else {
      for (const char* spec : kLocal)
        if (!run(spec)) return -900;
    }
    return writer_.WriteSokuho(raceDate) == 0 ? 0 : -900;
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-999,
                       variant_ == TLinkVariant::Central ? "FormJVLink - 速報データ取得"
                                                         : "FormNVLink - 速報データ取得（RequestSokuhoInfo）",
                       "開催日 = " + FormatShortDate(raceDate), e.what());
    return -900;
  }
}

int TImportRunner::FetchSokuhoOdds(const std::string& courseCode, int raceNo, const TDateTime& raceDate) {
  TBusy busy(busy_);
  if (!busy.Acquired()) return -900;
  Operation("速報オッズ取得メソッド");
  char no[16];
  std::snprintf(no, sizeof no, "%.2d", raceNo);
  std::string key = FormatYmd(raceDate) + courseCode + no;
  try {
    int open = RealTimeOpen("0B30", key);
    if (open != 0) {
      CloseLink();
      return open;
    }
    writer_.ResetOddsFile();
    int r = ReadRealTime();
    int flushed = writer_.FlushOddsFile();
    CloseLink();
    // Odds that did not reach their file are not a success.
    if (r == 0 && flushed != 0) return -900;
    return r;
  } catch (const std::exception& e) {
    CloseLink();
    log_.WriteErrorLog(-999, variant_ == TLinkVariant::Central ? "FormJVLink - 速報オッズ取得" : "FormNVLink - 地方速報オッズ取得",
                       "Key = " + key, e.what());
    return -900;
  }
}

}  // namespace zelk
