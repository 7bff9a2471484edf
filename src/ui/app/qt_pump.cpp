#include "ui/app/qt_pump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

namespace zelk {

void TQtPump::ProcessMessages() { QCoreApplication::processEvents(); }

void TQtPump::WaitMs(int milliseconds) {
  QDeadlineTimer deadline(milliseconds);
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    long long left = deadline.remainingTime();
    if (left <= 0) break;
    QThread::msleep(static_cast<unsigned long>(left < 10 ? left : 10));
  } while (!deadline.hasExpired());
}

}  // namespace zelk
