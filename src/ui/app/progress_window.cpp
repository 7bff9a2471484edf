#include "ui/app/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace zelk {
namespace {
constexpr int kWidth = 400;
constexpr int kHeight = 150;
constexpr int kLabelTopWithControls = 28;
constexpr int kLabelTopAlone = 52;
}  // namespace

TfrmProgress::TfrmProgress(QWidget* owner) : QDialog(owner, Qt::Tool) {
  setObjectName(QStringLiteral("frmProgress"));
  setWindowTitle(QStringLiteral("処理中"));
  setModal(false);
  setFixedSize(kWidth, kHeight);

  lblMessage_ = new QLabel(this);
  lblMessage_->setObjectName(QStringLiteral("lblMessage"));
  lblMessage_->setGeometry(16, kLabelTopAlone, kWidth - 32, 20);

  barProgress_ = new QProgressBar(this);
  barProgress_->setObjectName(QStringLiteral("barProgress"));
  barProgress_->setGeometry(16, 56, kWidth - 32, 20);
  barProgress_->setTextVisible(false);

  btnCancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
  btnCancel_->setObjectName(QStringLiteral("btnCancel"));
  btnCancel_->setGeometry((kWidth - 100) / 2, 92, 100, 28);
  connect(btnCancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });

  timCursor_ = new QTimer(this);
  timCursor_->setInterval(500);
  connect(timCursor_, &QTimer::timeout, this, &TfrmProgress::CursorTick);
}

TfrmProgress::~TfrmProgress() { StopCursorTimer(); }

void TfrmProgress::ShowProgress(const std::string& message, bool showBar, bool showCancel) {
  cancelled_ = false;
  lblMessage_->setText(QString::fromStdString(message));
  barProgress_->setValue(barProgress_->minimum());
  barProgress_->setVisible(showBar);
  btnCancel_->setVisible(showCancel);
  lblMessage_->move(lblMessage_->x(), showBar || showCancel ? kLabelTopWithControls : kLabelTopAlone);
  if (QWidget* owner = parentWidget()) {
    QRect o = owner->frameGeometry();
    move(o.x() + (o.width() - width()) / 2, o.y() + (o.height() - height()) / 2);
  }
  show();
  if (showCancel) {
    timCursor_->start();
  } else {
    StopCursorTimer();
  }
}

void TfrmProgress::SetProgressMax(int n) {
  barProgress_->setRange(0, n);
  barProgress_->setValue(0);
  barProgress_->setVisible(true);
}

void TfrmProgress::StepProgress(int n) { barProgress_->setValue(barProgress_->value() + n); }

bool TfrmProgress::CursorTimerActive() const { return timCursor_->isActive(); }

void TfrmProgress::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  screenRect_ = frameGeometry();
}

void TfrmProgress::CursorTick() {
  if (!btnCancel_->isVisible()) return;
  // The arrow over this window, the hourglass elsewhere: the cancel button stays usable
  // while the rest of the application shows that it is busy.
  Qt::CursorShape shape = screenRect_.contains(QCursor::pos()) ? Qt::ArrowCursor : Qt::WaitCursor;
  if (cursorPushed_) {
    QApplication::changeOverrideCursor(QCursor(shape));
  } else {
    QApplication::setOverrideCursor(QCursor(shape));
    cursorPushed_ = true;
  }
}

void TfrmProgress::StopCursorTimer() {
  timCursor_->stop();
  if (cursorPushed_) {
    QApplication::restoreOverrideCursor();
    cursorPushed_ = false;
  }
}

void TfrmProgress::closeEvent(QCloseEvent* event) {
  StopCursorTimer();
  QDialog::closeEvent(event);
}

void TfrmProgress::hideEvent(QHideEvent* event) {
  StopCursorTimer();
  QDialog::hideEvent(event);
}

}  // namespace zelk
