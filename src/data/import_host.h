#pragma once
// The import runner's view of the settings (CommitKensuJV, RACE, RACENV, save) and of the data
// module (reconnecting conRace and conRacese).
#include <functional>

#include "data/import_runner.h"

namespace zelk {

class TConfig;
class TdmdOV;

class TConfigImportHost final : public IImportHost {
 public:
  TConfigImportHost(TConfig& config, TdmdOV& dmd) : config_(config), dmd_(dmd) {}

  int CommitKensu() const override;
  std::string DifferenceTimestamp(TLinkVariant variant) const override;
  void SetDifferenceTimestamp(TLinkVariant variant, const std::string& stamp) override;
  void SaveSettings() override;
  void ReconnectRaceConnections() override;
  void BroadcastSettingsChange() override {
    if (onSettingsChange) onSettingsChange();
  }

  // The main window's broadcast of changed settings.
  std::function<void()> onSettingsChange;

 private:
  TConfig& config_;
  TdmdOV& dmd_;
};

}  // namespace zelk
