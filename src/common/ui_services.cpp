#include "common/ui_services.h"

#include <chrono>
#include <thread>

namespace zelk {

void TSleepPump::WaitMs(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace zelk
