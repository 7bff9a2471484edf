#pragma once
// Stand-in MDI children for the simulation, automatic-operation and bet history windows, with
// their component names and captions, until those windows are built. The main window's
// single-instance and exclusion rules work on them exactly as on the real windows.
#include <QWidget>

#include "ui/app/config_listener.h"

namespace zelk {

inline constexpr const char* kBakenSimulationName = "frmBakenSimulation";
inline constexpr const char* kAutoHandleName = "frmAutoHandle";
inline constexpr const char* kShushiKanriName = "frmShushiKanri";
inline constexpr const char* kBakenSimulationCaption = "馬券購入シミュレーション";
inline constexpr const char* kAutoHandleCaption = "自動運転";
inline constexpr const char* kShushiKanriCaption = "投票履歴";

class TPlaceholderChild final : public QWidget, public IConfigListener {
  Q_OBJECT
 public:
  TPlaceholderChild(const char* componentName, const char* caption, QWidget* parent = nullptr);
  void ConfigChanged() override { ++configChanges_; }
  int ConfigChanges() const { return configChanges_; }

 private:
  int configChanges_ = 0;
};

}  // namespace zelk
