#pragma once
// Message boxes of the windows: QMessageBox for each kind of box the core asks for. In
// screenshot mode every box is answered with its default button without waiting for the user
// and is saved as a PNG picture as well.
#include <filesystem>
#include <string>
#include <vector>

#include "common/ui_services.h"

class QWidget;
class QMessageBox;

namespace zelk {

class TQtDialogs final : public IDialogs {
 public:
  explicit TQtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

  // The window the boxes are centred on (the main window once it exists).
  void SetParent(QWidget* parent) { parent_ = parent; }
  // Folder for the pictures of screenshot mode; empty = ask the user.
  void SetScreenshotFolder(const std::filesystem::path& folder) { screenshotFolder_ = folder; }
  bool ScreenshotMode() const { return !screenshotFolder_.empty(); }
  const std::vector<std::filesystem::path>& SavedPictures() const { return saved_; }

  TDialogAnswer Show(TDialogKind kind, const std::string& text, TDialogButtons buttons) override;

  // The answer a box gives without the user: OK, and "No" to a question, so that nothing
  // irreversible happens in a run nobody watches.
  static TDialogAnswer DefaultAnswer(TDialogButtons buttons) {
    return buttons == TDialogButtons::Ok ? TDialogAnswer::Ok : TDialogAnswer::No;
  }

 private:
  void BuildBox(QMessageBox& box, TDialogKind kind, const std::string& text, TDialogButtons buttons) const;

  QWidget* parent_;
  std::filesystem::path screenshotFolder_;
  std::vector<std::filesystem::path> saved_;
};

}  // namespace zelk
