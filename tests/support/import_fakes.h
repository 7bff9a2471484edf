#pragma once
// Recording stand-ins for what the import runner reports to and asks of its host, shared by
// the runner, demo-import, kill and window tests.
#include <algorithm>
#include <string>
#include <vector>

#include "data/data_module.h"
#include "data/import_runner.h"

namespace zelk::test {

// Settings and connections of the runner: time stamps kept in memory, saves and reconnects
// counted. With a data module the reconnect really closes and opens conRace and conRacese.
class TRecordingImportHost final : public IImportHost {
 public:
  explicit TRecordingImportHost(TdmdOV* dmd = nullptr) : dmd_(dmd) {}
  int CommitKensu() const override { return commitKensu; }
  std::string DifferenceTimestamp(TLinkVariant v) const override { return v == TLinkVariant::Central ? race : racenv; }
  void SetDifferenceTimestamp(TLinkVariant v, const std::string& s) override {
    (v == TLinkVariant::Central ? race : racenv) = s;
  }
  void SaveSettings() override { ++saves; }
  void ReconnectRaceConnections() override {
    ++reconnects;
    if (dmd_) {
      dmd_->CloseRaceConnections();
      dmd_->OpenRaceConnections();
    }
  }

  int commitKensu = 500;
  std::string race = "20240505000000", racenv = "20240506000000";
  int saves = 0, reconnects = 0;

 private:
  TdmdOV* dmd_;
};

class TRecordingMemo final : public IImportMemo {
 public:
  void AddLine(const std::string& line) override { lines.push_back(line); }
  bool Has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
  // The lines from the first occurrence of `first` on, `count` of them.
  std::vector<std::string> From(const std::string& first, size_t count) const {
    auto it = std::find(lines.begin(), lines.end(), first);
    std::vector<std::string> out;
    for (; it != lines.end() && out.size() < count; ++it) out.push_back(*it);
    return out;
  }
  std::vector<std::string> lines;
};

}  // namespace zelk::test
