#include "data/import_host.h"

#include "common/config.h"
#include "data/data_module.h"

namespace zelk {

int TConfigImportHost::CommitKensu() const { return config_.CommitKensuJV; }

std::string TConfigImportHost::DifferenceTimestamp(TLinkVariant variant) const {
  return variant == TLinkVariant::Central ? config_.RACE : config_.RACENV;
}

void TConfigImportHost::SetDifferenceTimestamp(TLinkVariant variant, const std::string& stamp) {
  (variant == TLinkVariant::Central ? config_.RACE : config_.RACENV) = stamp;
}

void TConfigImportHost::SaveSettings() { config_.SaveSettings(); }

void TConfigImportHost::ReconnectRaceConnections() {
  dmd_.CloseRaceConnections();
  dmd_.OpenRaceConnections();
}

}  // namespace zelk
