// zelk import / realtime / realtime-odds: the import runner of the import windows, on the
// command line. Memo lines go to stdout, the progress bar to stderr when it is a terminal,
// messages to stderr. Ctrl+C stops the run as "中止" does (committed data stays).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <thread>

#include "cli/cli.h"
#include "common/config.h"
#include "common/error_log.h"
#include "data/data_module.h"
#include "data/import_host.h"
#include "data/import_runner.h"
#include "data/record_tables.h"
#include "platform/file_data_link.h"
#include "platform/registry_file.h"

namespace zelk::cli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;
extern "C" void OnInterrupt(int) { gInterrupted = 1; }

class TConsoleDialogs final : public IDialogs {
 public:
  TDialogAnswer Show(TDialogKind kind, const std::string& text, TDialogButtons buttons) override {
    const char* head = kind == TDialogKind::Warning ? "警告: " : kind == TDialogKind::Error ? "エラー: " : "";
    std::string t = text;
    for (size_t p; (p = t.find("\r\n")) != std::string::npos;) t.replace(p, 2, "\n");
    std::cerr << head << t << std::endl;
    return buttons == TDialogButtons::Ok ? TDialogAnswer::Ok : TDialogAnswer::No;
  }
};

// Sleeps through the download poll; an interrupt asks the runner to stop at its next check.
class TCliPump final : public IPump {
 public:
  TImportRunner* runner = nullptr;
  void ProcessMessages() override {
    if (gInterrupted && runner && runner->CancelFlag() != TImportRunner::kCancelRequested) runner->RequestCancel();
  }
  void WaitMs(int ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    ProcessMessages();
  }
};

class TStdoutMemo final : public IImportMemo {
 public:
  explicit TStdoutMemo(bool bar) : bar_(bar) {}
  void AddLine(const std::string& line) override {
    if (bar_) std::cerr << "\r\033[K" << std::flush;
    std::cout << line << std::endl;
  }

 private:
  bool bar_;
};

class TStderrProgress final : public IImportProgress {
 public:
  void SetDownloadRange(int maximum) override { dlMax_ = maximum; }
  void SetDownloadPosition(int position) override { Draw("ダウンロード", position, std::max(1, dlMax_)); }
  void SetReadRange(long long maximumBytes) override { readMax_ = maximumBytes; }
  void SetReadPosition(long long bytes) override { Draw("読込処理", bytes, std::max(1LL, readMax_)); }
  void SetReadingCount(long long count) override {
    if (count % 200 == 0) Draw("読込処理", count, 0);
  }

 private:
  void Draw(const char* what, long long pos, long long max) {
    if (max > 0) {
      int width = 30, filled = static_cast<int>(std::min<long long>(width, pos * width / max));
      std::cerr << "\r\033[K" << what << " [" << std::string(filled, '#') << std::string(width - filled, '.') << "] "
                << pos * 100 / max << "%" << std::flush;
    } else {
      std::cerr << "\r\033[K" << what << " " << pos << "件" << std::flush;
    }
  }
  int dlMax_ = 0;
  long long readMax_ = 0;
};

// Everything one run needs, built as the application builds it at start-up.
struct TImportSession {
  TSystemClock clock;
  TConsoleDialogs dialogs;
  TRegistryFile registry;
  std::unique_ptr<TConfig> config;
  std::unique_ptr<TErrorLog> log;
  TdmdOV dmd;
  std::unique_ptr<IRecordWriter> writer;
  std::unique_ptr<TFileDataLink> link;
  std::unique_ptr<TConfigImportHost> host;
  TCliPump pump;
  std::unique_ptr<TStdoutMemo> memo;
  TStderrProgress progress;
  std::unique_ptr<TImportRunner> runner;

  TImportSession(const TCliContext& ctx, TLinkVariant variant) {
    config = std::make_unique<TConfig>(ctx.home, clock, &dialogs, &registry);
    config->LoadSettings();
    log = std::make_unique<TErrorLog>(ctx.home, config->LogOutput, clock, &dialogs);
    dmd.ConfigureDatabases(config->DbDir(), *log, dialogs);
    if (variant == TLinkVariant::Central)
      writer = std::make_unique<TJVTables>(*config, dmd, *log);
    else
      writer = std::make_unique<TNVTables>(*config, dmd, *log);
    link = std::make_unique<TFileDataLink>(TFileDataLink::ConfiguredStoreFolder(
        ctx.home, variant == TLinkVariant::Central ? TLinkSide::Central : TLinkSide::Local));
    host = std::make_unique<TConfigImportHost>(*config, dmd);
    memo = std::make_unique<TStdoutMemo>(ctx.stderrIsTerminal);
    runner = std::make_unique<TImportRunner>(variant, *host, *log, *writer, *link, dialogs, pump, clock);
    runner->SetMemo(memo.get());
    if (ctx.stderrIsTerminal) runner->SetProgress(&progress);
    pump.runner = runner.get();
    runner->Create();
    gInterrupted = 0;
    std::signal(SIGINT, OnInterrupt);
  }
  ~TImportSession() { std::signal(SIGINT, SIG_DFL); }

  // Writes the day's log file, as the application does at shut-down.
  int Finish(int rc, bool stderrIsTerminal) {
    if (stderrIsTerminal) std::cerr << "\r\033[K" << std::flush;
    runner.reset();
    writer.reset();
    if (!log->Release()) std::cerr << "ログファイルを書き込めません: " << log->FileName().string() << "\n";
    if (rc != 0) std::cerr << "終了コード = " << rc << "\n";
    return rc == 0 ? 0 : 1;
  }
};

bool LinkOption(const TCliContext& ctx, TLinkVariant& variant) {
  std::string link = OptionValue(ctx.args, "--link");
  if (link == "jv") variant = TLinkVariant::Central;
  else if (link == "nv") variant = TLinkVariant::Local;
  else {
    std::cerr << "--link には jv か nv を指定してください\n";
    return false;
  }
  return true;
}

bool DateOption(const TCliContext& ctx, TDateTime& date) {
  auto d = ParseYmdText(OptionValue(ctx.args, "--date"));
  if (!d) {
    std::cerr << "--date には yyyymmdd の日付を指定してください\n";
    return false;
  }
  date = *d;
  return true;
}

int RunImport(const TCliContext& ctx) {
  TLinkVariant variant;
  if (!LinkOption(ctx, variant)) return 2;
  TImportInputs in;
  std::string mode = OptionValue(ctx.args, "--mode");
  if (mode == "diff") {
    in.kind = TImportKind::Difference;
  } else if (mode == "individual") {
    in.kind = TImportKind::Individual;
    std::string from = OptionValue(ctx.args, "--from");
    in.kobetsuDate = from.substr(0, std::min<size_t>(8, from.size()));
    in.kobetsuTime = from.size() > 8 ? from.substr(8) : "";
    in.setupMode = HasFlag(ctx.args, "--setup-mode");
  } else if (mode == "setup") {
    in.kind = TImportKind::Setup;
    bool given = false;
    in.setupYear = OptionValue(ctx.args, "--year", &given);
    if (!given) in.setupYear = std::to_string(NowLocal().year - 2);
    in.setupMonth = OptionValue(ctx.args, "--month", &given);
    if (!given) in.setupMonth = "1";
  } else {
    std::cerr << "--mode には diff、individual、setup のどれかを指定してください\n";
    return 2;
  }
  TImportSession s(ctx, variant);
  int rc = s.runner->ExecDownload(in);
  return s.Finish(rc, ctx.stderrIsTerminal);
}

int RunRealtime(const TCliContext& ctx) {
  TLinkVariant variant;
  TDateTime date;
  if (!LinkOption(ctx, variant) || !DateOption(ctx, date)) return 2;
  TImportSession s(ctx, variant);
  int rc = s.runner->FetchSokuhoData(date);
  return s.Finish(rc, ctx.stderrIsTerminal);
}

int RunRealtimeOdds(const TCliContext& ctx) {
  TLinkVariant variant;
  TDateTime date;
  if (!LinkOption(ctx, variant) || !DateOption(ctx, date)) return 2;
  std::string course = OptionValue(ctx.args, "--course");
  std::string race = OptionValue(ctx.args, "--race");
  bool courseOk = course.size() == 2 && std::isdigit(static_cast<unsigned char>(course[0])) &&
                  std::isdigit(static_cast<unsigned char>(course[1]));
  bool raceOk = !race.empty() && race.size() <= 2 &&
                std::all_of(race.begin(), race.end(), [](unsigned char c) { return std::isdigit(c); }) &&
                std::stoi(race) >= 1;
  if (!courseOk || !raceOk) {
    std::cerr << "--course には2桁の競馬場コード、--race にはレース番号を指定してください\n";
    return 2;
  }
  TImportSession s(ctx, variant);
  int rc = s.runner->FetchSokuhoOdds(course, std::stoi(race), date);
  return s.Finish(rc, ctx.stderrIsTerminal);
}

const TCommandRegistration kImport(
    "import", "--link jv|nv --mode diff|individual|setup [--from yyyymmddhhnnss] [--year YYYY --month M] [--setup-mode]  蓄積系データのインポート",
    RunImport);
const TCommandRegistration kRealtime("realtime", "--link jv|nv --date yyyymmdd  速報系データの取得", RunRealtime);
const TCommandRegistration kRealtimeOdds("realtime-odds",
                                         "--link jv|nv --date yyyymmdd --course CC --race N  速報オッズの取得",
                                         RunRealtimeOdds);

}  // namespace
}  // namespace zelk::cli
