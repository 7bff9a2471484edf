#pragma once
// TfrmSplash: borderless, stay-on-top start-up window. It closes only when both its timer has
// fired and start-up is marked done; closing tells the main window to enable itself.
#include <QWidget>

class QLabel;
class QTimer;

namespace zelk {

class TfrmSplash final : public QWidget {
  Q_OBJECT
 public:
  // `intervalMs` is the time the splash stays at least (2000 ms; screenshot runs use less).
  explicit TfrmSplash(int intervalMs = 2000, QWidget* parent = nullptr);

  // Shows the splash centred on the screen and starts its timer.
  void Start();
  void MarkStartupDone();
  bool TimerFired() const { return timerFired_; }

  QLabel* UserNameLabel() const { return lblUserName_; }
  QLabel* EditionLabel() const { return lblEdition_; }
  QLabel* VersionLabel() const { return lblVersion_; }

 signals:
  void SplashClosed();

 private:
  void TryClose();

  QLabel* lblUserName_;
  QLabel* lblEdition_;
  QLabel* lblVersion_;
  QTimer* timSplash_;
  bool timerFired_ = false;
  bool startupDone_ = false;
  bool closed_ = false;
};

// The picture of the splash and the version dialog.
QWidget* CreateProductPicture(QWidget* parent);

}  // namespace zelk
