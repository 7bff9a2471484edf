#pragma once
// The application object. Any exception that reaches the message loop sounds the beep and is
// logged as a plain entry holding only its message; no dialog is shown and the loop goes on.
#include <QApplication>

namespace zelk {

class TErrorLog;

class TZelkaroApplication final : public QApplication {
  Q_OBJECT
 public:
  TZelkaroApplication(int& argc, char** argv);

  // The log that receives the messages; before it exists they go to stderr.
  void SetLog(TErrorLog* log) { log_ = log; }
  bool notify(QObject* receiver, QEvent* event) override;

  // What notify does with an exception that escaped an event handler.
  void HandleException(const char* message);

  // The window font: a Japanese gothic at 9 points.
  static QFont WindowFont();

 private:
  TErrorLog* log_ = nullptr;
};

}  // namespace zelk
