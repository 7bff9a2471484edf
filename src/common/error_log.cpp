#include "common/error_log.h"

#include "common/text_file.h"

namespace zelk {
namespace fs = std::filesystem;

TErrorLog::TErrorLog(const fs::path& appDir, bool logOutput, const IClock& clock, IDialogs* dialogs)
    : clock_(clock), dialogs_(dialogs), save_(logOutput) {
  fileName_ = appDir / "Log" / ("Log" + FormatYmd(clock.Now()) + ".txt");
  std::error_code ec;
  if (logOutput && fs::exists(fileName_, ec)) {
    try {
      for (auto& line : ReadTextLines(fileName_)) entries_.push_back(std::move(line));
    } catch (const std::exception&) {
      // An unreadable day file is replaced by this run's entries at release.
    }
  }
}

TErrorLog::~TErrorLog() { Release(); }

void TErrorLog::Add(const std::string& text) {
  TDateTime now = clock_.Now();
  entries_.push_back(FormatShortDate(now) + " " + FormatLongTime(now) + " " + text);
}

void TErrorLog::WriteLog(const std::string& message) { Add(message); }

void TErrorLog::WriteOperationLog(const std::string& formText, const std::string& text) {
  Add("[" + formText + "] " + text);
}

std::string TErrorLog::ErrorBlock(int code, const std::string& operation, const std::string& detail,
                                  const std::string& content) {
  return "エラー : " + std::to_string(code) + "\r\n処理 : " + operation + "\r\n内容 : " + content +
         "\r\n詳細 : " + detail;
}

void TErrorLog::WriteErrorLog(int code, const std::string& operation, const std::string& detail,
                              const std::string& content) {
  std::string block = ErrorBlock(code, operation, detail, content);
  Add(block);
  save_ = true;
  if (errorDialogs_ && dialogs_) dialogs_->Error(block);
}

void TErrorLog::WriteErrorLogQuiet(int code, const std::string& operation, const std::string& detail,
                                   const std::string& content) {
  Add(ErrorBlock(code, operation, detail, content));
  save_ = true;
}

bool TErrorLog::Release() {
  if (released_) return true;
  released_ = true;
  bool ok = true;
  if (save_) {
    std::vector<std::string> lines;
    for (const auto& e : entries_) {
      // A multi-line entry becomes consecutive lines of the file.
      for (auto& l : SplitLines(e)) lines.push_back(std::move(l));
    }
    try {
      WriteTextLines(fileName_, lines);
    } catch (const std::exception&) {
      ok = false;
    }
  }
  entries_.clear();
  return ok;
}

}  // namespace zelk
