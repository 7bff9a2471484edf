#pragma once
// The day's error and operation log: entries collected in memory in the order written and
// written to Log/Log<yyyymmdd>.txt (CP932, CR LF) when the log is released at shut-down.
#include <filesystem>
#include <string>
#include <vector>

#include "common/ui_services.h"

namespace zelk {

class TErrorLog {
 public:
  // `logOutput` is the LogOutput setting at creation. When it is set and the day's file exists,
  // its lines are loaded first so that the day's earlier entries stay in front of the new ones.
  TErrorLog(const std::filesystem::path& appDir, bool logOutput, const IClock& clock, IDialogs* dialogs);
  ~TErrorLog();
  TErrorLog(const TErrorLog&) = delete;
  TErrorLog& operator=(const TErrorLog&) = delete;

  void WriteLog(const std::string& message);
  void WriteOperationLog(const std::string& formText, const std::string& text);
  // Error block; shown as an error box when the error dialogs are on. Sets the save flag.
  void WriteErrorLog(int code, const std::string& operation, const std::string& detail, const std::string& content);
  void WriteErrorLogQuiet(int code, const std::string& operation, const std::string& detail,
                          const std::string& content);
  void SetErrorDialogs(bool on) { errorDialogs_ = on; }
  bool ErrorDialogs() const { return errorDialogs_; }

  // Writes the whole list to the log file when the save flag is set, then empties the list.
  // Returns false when the file could not be written. Called once; the destructor calls it too.
  bool Release();

  static std::string ErrorBlock(int code, const std::string& operation, const std::string& detail,
                                const std::string& content);

  const std::filesystem::path& FileName() const { return fileName_; }
  const std::vector<std::string>& Entries() const { return entries_; }
  bool SaveFlag() const { return save_; }

 private:
  void Add(const std::string& text);

  std::filesystem::path fileName_;
  const IClock& clock_;
  IDialogs* dialogs_;
  std::vector<std::string> entries_;  // each entry may hold CR LF line breaks
  bool save_;
  bool errorDialogs_ = true;
  bool released_ = false;
};

}  // namespace zelk
