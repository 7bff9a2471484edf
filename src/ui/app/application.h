#pragma once
// The application object. Any exception that reaches the message loop sounds the beep and is
// logged as a plain entry holding only its message; no dialog is shown and the loop goes on.
#include <QApplication>

namespace zelk {

class TApplicationCore;

class TZelkaroApplication final : public QApplication {
  Q_OBJECT
 public:
  TZelkaroApplication(int& argc, char** argv);

  // The core whose log receives the messages; while it has no log they go to stderr.
  void SetCore(TApplicationCore* core) { core_ = core; }
  bool notify(QObject* receiver, QEvent* event) override;

  // What notify does with an exception that escaped an event handler.
  void HandleException(const char* message);

  // The window font: a Japanese gothic at 9 points.
  static QFont WindowFont();

 private:
  TApplicationCore* core_ = nullptr;
};

}  // namespace zelk
