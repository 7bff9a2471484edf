#pragma once
// A child window that re-reads the settings when the options change (the main window's
// actBroadcastConfigChange visits the simulation and automatic-operation windows).
namespace zelk {

class IConfigListener {
 public:
  virtual ~IConfigListener() = default;
  virtual void ConfigChanged() = 0;
};

}  // namespace zelk
