#pragma once
// Recording fakes of the user-facing interfaces, shared by the tests.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/registry.h"
#include "common/ui_services.h"

namespace zelk::test {

struct TShownDialog {
  TDialogKind kind;
  std::string text;
  TDialogButtons buttons;
};

class TRecordingDialogs final : public IDialogs {
 public:
  TDialogAnswer Show(TDialogKind kind, const std::string& text, TDialogButtons buttons) override {
    shown.push_back({kind, text, buttons});
    if (buttons == TDialogButtons::Ok) return TDialogAnswer::Ok;
    if (answers.empty()) return TDialogAnswer::No;
    TDialogAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const auto& d : shown) t.push_back(d.text);
    return t;
  }
  std::vector<TShownDialog> shown;
  std::deque<TDialogAnswer> answers;  // answers to Yes/No boxes, in order; No when empty
};

class TFakeClock final : public IClock {
 public:
  explicit TFakeClock(TDateTime t = {2024, 5, 12, 10, 0, 0, 0}) : now(t) {}
  TDateTime Now() const override { return now; }
  TDateTime now;
};

class TFakePump final : public IPump {
 public:
  explicit TFakePump(TFakeClock* clock = nullptr) : clock_(clock) {}
  void ProcessMessages() override {
    ++processed;
    if (onProcess) onProcess();
  }
  void WaitMs(int ms) override {
    waitedMs += ms;
    if (clock_) clock_->now = AddMs(clock_->now, ms);
    if (onProcess) onProcess();
  }
  int processed = 0;
  long long waitedMs = 0;
  std::function<void()> onProcess;  // lets a test press "中止" in the middle of a loop

 private:
  static TDateTime AddMs(TDateTime t, int ms) {
    long long total = t.msec + ms;
    t.msec = static_cast<int>(total % 1000);
    return AddSeconds(t, total / 1000);
  }
  TFakeClock* clock_;
};

// Registry values in memory: keys[keyPath][name] = value. Key paths are compared as given
// (build them with RegistryKeyPath or the kZelkaroRegistryKey constant).
class TMemoryRegistry final : public IRegistry {
 public:
  std::optional<std::string> ReadString(const std::string& keyPath, const std::string& name) override {
    auto k = keys.find(keyPath);
    if (k == keys.end()) return std::nullopt;
    auto v = k->second.find(name);
    if (v == k->second.end()) return std::nullopt;
    return v->second;
  }
  bool WriteString(const std::string& keyPath, const std::string& name, const std::string& value) override {
    if (failWrites) return false;
    keys[keyPath][name] = value;
    return true;
  }
  bool KeyExists(const std::string& keyPath) override { return keys.count(keyPath) > 0; }
  std::map<std::string, std::map<std::string, std::string>> keys;
  bool failWrites = false;
};

}  // namespace zelk::test
