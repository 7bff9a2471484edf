#pragma once
// The three small interfaces through which the core reaches the user. The Qt layer
// implements them; tests use the recording fakes of tests/support/fakes.h.
#include <string>

#include "common/date_time.h"

namespace zelk {

enum class TDialogKind { Warning, Error, Information, Confirmation, Plain };
enum class TDialogButtons { Ok, YesNo };
enum class TDialogAnswer { Ok, Yes, No };

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Shows a message box and returns the answer. `text` may hold "\r\n" line breaks.
  virtual TDialogAnswer Show(TDialogKind kind, const std::string& text, TDialogButtons buttons) = 0;

  void Warning(const std::string& text) { Show(TDialogKind::Warning, text, TDialogButtons::Ok); }
  void Error(const std::string& text) { Show(TDialogKind::Error, text, TDialogButtons::Ok); }
  void Information(const std::string& text) { Show(TDialogKind::Information, text, TDialogButtons::Ok); }
  bool Confirm(const std::string& text, TDialogKind kind = TDialogKind::Confirmation) {
    return Show(kind, text, TDialogButtons::YesNo) == TDialogAnswer::Yes;
  }
};

class IPump {
 public:
  virtual ~IPump() = default;
  // Processes pending user-interface messages (keeps windows alive during long work).
  virtual void ProcessMessages() = 0;
  // Waits that many milliseconds while processing messages.
  virtual void WaitMs(int milliseconds) = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual TDateTime Now() const = 0;
};

// The clock of the machine, in local time.
class TSystemClock final : public IClock {
 public:
  TDateTime Now() const override { return NowLocal(); }
};

// A pump that processes nothing and sleeps when asked to wait (command line, core tests).
class TSleepPump final : public IPump {
 public:
  void ProcessMessages() override {}
  void WaitMs(int milliseconds) override;
};

}  // namespace zelk
