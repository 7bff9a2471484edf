#include "ui/app/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/error_log.h"
#include "ui/app/splash_window.h"
#include "ui/app/version.h"

namespace zelk {
namespace {
const char* const kCaption = "バージョン情報";
}

TfrmAbout::TfrmAbout(TErrorLog& log, QWidget* owner) : QDialog(owner), log_(log) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QString::fromUtf8(kCaption));
  setModal(true);
  log_.WriteOperationLog(kCaption, "生成");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreateProductPicture(this), 0, Qt::AlignHCenter);
  auto* product = new QLabel(QStringLiteral("Zelkaro（ZELK）"), this);
  product->setObjectName(QStringLiteral("lblProduct"));
  layout->addWidget(product, 0, Qt::AlignHCenter);
  lblVersion_ = new QLabel(QString::fromUtf8(kVersionText), this);
  lblVersion_->setObjectName(QStringLiteral("lblVersion"));
  layout->addWidget(lblVersion_, 0, Qt::AlignHCenter);
  lblEdition_ = new QLabel(this);
  lblEdition_->setObjectName(QStringLiteral("lblEdition"));
  layout->addWidget(lblEdition_, 0, Qt::AlignHCenter);

  btnOK_ = new QPushButton(QStringLiteral("OK"), this);
  btnOK_->setObjectName(QStringLiteral("btnOK"));
  btnOK_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK_);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(btnOK_, &QPushButton::clicked, this, [this] {
    log_.WriteOperationLog(kCaption, "「OK」ボタン");
    accept();
  });

  adjustSize();
  if (owner) {
    QRect o = owner->frameGeometry();
    move(o.x() + (o.width() - width()) / 2, o.y() + (o.height() - height()) / 2);
  }
}

void TfrmAbout::done(int result) {
  if (!closedLogged_) {
    closedLogged_ = true;
    log_.WriteOperationLog(kCaption, "終了");
  }
  QDialog::done(result);
}

}  // namespace zelk
