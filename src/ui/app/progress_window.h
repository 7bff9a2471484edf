#pragma once
// TfrmProgress: the shared progress window "処理中", a tool window owned by the main window.
#include <QDialog>
#include <QRect>

#include "common/progress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace zelk {

class TfrmProgress final : public QDialog, public IProgress {
  Q_OBJECT
 public:
  explicit TfrmProgress(QWidget* owner);
  ~TfrmProgress() override;

  void ShowProgress(const std::string& message, bool showBar, bool showCancel) override;
  void SetProgressMax(int n) override;
  void StepProgress(int n) override;
  bool IsCancelled() const override { return cancelled_; }
  void CloseProgress() override { close(); }

  QLabel* Label() const { return lblMessage_; }
  QProgressBar* Bar() const { return barProgress_; }
  QPushButton* CancelButton() const { return btnCancel_; }
  bool CursorTimerActive() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void CursorTick();
  void StopCursorTimer();

  QLabel* lblMessage_;
  QProgressBar* barProgress_;
  QPushButton* btnCancel_;
  QTimer* timCursor_;
  QRect screenRect_;
  bool cancelled_ = false;
  bool cursorPushed_ = false;
};

}  // namespace zelk
