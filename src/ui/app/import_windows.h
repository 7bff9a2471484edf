#pragma once
// The two import windows of the main window: created on first use with their record writer
// and file link, kept (hidden when closed) until shut-down.
#include <memory>

#include "data/import_runner.h"

namespace zelk {

class TApplicationCore;
class TfrmDataLink;

class TImportWindows final : public IImportHost {
 public:
  explicit TImportWindows(TApplicationCore& core);
  ~TImportWindows() override;

  // The window of the link, created when it does not exist yet (not shown).
  TfrmDataLink& Window(TLinkVariant variant);
  TfrmDataLink* Existing(TLinkVariant variant) const;
  void Show(TLinkVariant variant);
  // The link's properties dialog (the window is created when needed, not shown).
  int Properties(TLinkVariant variant);
  // Releases the windows that were created.
  void Release();

  // Whatever should happen when an import window reports changed settings.
  std::function<void()> onSettingsChanged;

  // IImportHost
  int CommitKensu() const override;
  std::string DifferenceTimestamp(TLinkVariant variant) const override;
  void SetDifferenceTimestamp(TLinkVariant variant, const std::string& stamp) override;
  void SaveSettings() override;
  void ReconnectRaceConnections() override;
  void BroadcastSettingsChange() override;

 private:
  TApplicationCore& core_;
  std::unique_ptr<TfrmDataLink> central_;
  std::unique_ptr<TfrmDataLink> local_;
};

}  // namespace zelk
