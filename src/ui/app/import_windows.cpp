#include "ui/app/import_windows.h"

#include "common/config.h"
#include "common/error_log.h"
#include "data/app_startup.h"
#include "data/data_module.h"
#include "data/record_tables.h"
#include "platform/file_data_link.h"
#include "ui/data/jv_link_window.h"

namespace zelk {

TImportWindows::TImportWindows(TApplicationCore& core) : core_(core) {}

TImportWindows::~TImportWindows() { Release(); }

TfrmDataLink* TImportWindows::Existing(TLinkVariant variant) const {
  return variant == TLinkVariant::Central ? central_.get() : local_.get();
}

TfrmDataLink& TImportWindows::Window(TLinkVariant variant) {
  std::unique_ptr<TfrmDataLink>& slot = variant == TLinkVariant::Central ? central_ : local_;
  if (slot) return *slot;
  TConfig& config = core_.Config();
  TErrorLog& log = core_.Log();
  TLinkSide side = variant == TLinkVariant::Central ? TLinkSide::Central : TLinkSide::Local;
  auto link = std::make_unique<TFileDataLink>(TFileDataLink::ConfiguredStoreFolder(core_.AppDir(), side));
  TFileDataLink* linkPtr = link.get();
  if (variant == TLinkVariant::Central) {
    slot = std::make_unique<TfrmJVLink>(*this, log, std::make_unique<TJVTables>(config, core_.Dmd(), log),
                                        std::move(link), core_.Dialogs(), core_.Clock());
  } else {
    slot = std::make_unique<TfrmNVLink>(*this, log, std::make_unique<TNVTables>(config, core_.Dmd(), log),
                                        std::move(link), core_.Dialogs(), core_.Clock());
  }
  TfrmDataLink* window = slot.get();
  std::filesystem::path appDir = core_.AppDir();
  linkPtr->SetPropertiesHandler([window, variant, appDir](TFileDataLink& l) {
    return ShowLinkProperties(window, variant, l, appDir);
  });
  return *slot;
}

void TImportWindows::Show(TLinkVariant variant) {
  TfrmDataLink& w = Window(variant);
  w.show();
  w.raise();
  w.activateWindow();
}

int TImportWindows::Properties(TLinkVariant variant) { return Window(variant).Link().Properties(); }

void TImportWindows::Release() {
  central_.reset();
  local_.reset();
}

int TImportWindows::CommitKensu() const { return core_.Config().CommitKensuJV; }

std::string TImportWindows::DifferenceTimestamp(TLinkVariant variant) const {
  const TConfig& c = core_.Config();
  return variant == TLinkVariant::Central ? c.RACE : c.RACENV;
}

void TImportWindows::SetDifferenceTimestamp(TLinkVariant variant, const std::string& stamp) {
  TConfig& c = core_.Config();
  (variant == TLinkVariant::Central ? c.RACE : c.RACENV) = stamp;
}

void TImportWindows::SaveSettings() { core_.Config().SaveSettings(); }

void TImportWindows::ReconnectRaceConnections() {
  core_.Dmd().CloseRaceConnections();
  core_.Dmd().OpenRaceConnections();
}

void TImportWindows::BroadcastSettingsChange() {
  if (onSettingsChanged) onSettingsChanged();
}

}  // namespace zelk
