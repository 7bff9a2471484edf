#include "ui/app/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/app/version.h"

namespace zelk {
namespace {

class TProductPicture final : public QWidget {
 public:
  explicit TProductPicture(QWidget* parent) : QWidget(parent) { setFixedSize(360, 120); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(12, 60, 32));
    g.setColorAt(1, QColor(40, 130, 70));
    p.fillRect(rect(), g);
    p.setPen(QColor(230, 200, 90));
    QFont f = font();
    f.setPointSize(28);
    f.setBold(true);
    p.setFont(f);
    p.drawText(rect().adjusted(0, 0, 0, -24), Qt::AlignCenter, QStringLiteral("Zelkaro"));
    f.setPointSize(10);
    f.setBold(false);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(rect().adjusted(0, 60, 0, 0), Qt::AlignCenter, QStringLiteral("ZELK"));
  }
};

}  // namespace

QWidget* CreateProductPicture(QWidget* parent) { return new TProductPicture(parent); }

TfrmSplash::TfrmSplash(int intervalMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("frmSplash"));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  auto* picture = CreateProductPicture(this);
  picture->setObjectName(QStringLiteral("imgSplash"));
  layout->addWidget(picture, 0, Qt::AlignHCenter);
  lblUserName_ = new QLabel(this);
  lblUserName_->setObjectName(QStringLiteral("lblUserName"));
  lblEdition_ = new QLabel(this);
  lblEdition_->setObjectName(QStringLiteral("lblEdition"));
  lblVersion_ = new QLabel(this);
  lblVersion_->setObjectName(QStringLiteral("lblVersion"));
  auto* message = new QLabel(QStringLiteral("データベースに新しい項目を追加中です。しばらくお待ち下さい。"), this);
  message->setObjectName(QStringLiteral("lblMessage"));
  layout->addWidget(lblUserName_);
  layout->addWidget(lblEdition_);
  layout->addWidget(lblVersion_);
  layout->addWidget(message);
  setStyleSheet(QStringLiteral("TfrmSplash { border: 1px solid #404040; }"));

  timSplash_ = new QTimer(this);
  timSplash_->setSingleShot(true);
  timSplash_->setInterval(intervalMs);
  connect(timSplash_, &QTimer::timeout, this, [this] {
    timerFired_ = true;
    TryClose();
  });
}

void TfrmSplash::Start() {
  lblUserName_->clear();
  lblEdition_->clear();
  lblVersion_->setText(QString::fromUtf8(kVersionText));
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect s = screen->availableGeometry();
    move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
  }
  show();
  repaint();
  timSplash_->start();
}

void TfrmSplash::MarkStartupDone() {
  startupDone_ = true;
  TryClose();
}

void TfrmSplash::TryClose() {
  if (closed_ || !timerFired_ || !startupDone_) return;
  closed_ = true;
  emit SplashClosed();
  close();
}

}  // namespace zelk
