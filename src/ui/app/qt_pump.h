#pragma once
// Message pumping for long work on the user-interface thread.
#include "common/ui_services.h"

namespace zelk {

class TQtPump final : public IPump {
 public:
  void ProcessMessages() override;
  // Waits while the windows keep processing their messages (timers, repaint, the cancel button).
  void WaitMs(int milliseconds) override;
};

}  // namespace zelk
