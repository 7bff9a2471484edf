#pragma once
// The shared progress window as the core sees it: long operations (database maintenance,
// simulation) show a message, a bar and a cancel button, and poll the cancel flag.
#include <string>

namespace zelk {

class IProgress {
 public:
  virtual ~IProgress() = default;
  // Clears the cancel flag and shows `message`, with the bar and the cancel button as asked.
  virtual void ShowProgress(const std::string& message, bool showBar, bool showCancel) = 0;
  // Bar maximum n, position 0, bar visible.
  virtual void SetProgressMax(int n) = 0;
  virtual void StepProgress(int n) = 0;
  // True once the user pressed the cancel button since the last ShowProgress.
  virtual bool IsCancelled() const = 0;
  virtual void CloseProgress() = 0;
};

}  // namespace zelk
