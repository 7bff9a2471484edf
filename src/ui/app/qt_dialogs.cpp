#include "ui/app/qt_dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <cstdio>

namespace zelk {
namespace {

QString BoxText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

const char* KindName(TDialogKind kind) {
  switch (kind) {
    case TDialogKind::Warning: return "warning";
    case TDialogKind::Error: return "error";
    case TDialogKind::Information: return "information";
    case TDialogKind::Confirmation: return "confirmation";
    case TDialogKind::Plain: break;
  }
  return "message";
}

}  // namespace

void TQtDialogs::BuildBox(QMessageBox& box, TDialogKind kind, const std::string& text,
                          TDialogButtons buttons) const {
  switch (kind) {
    case TDialogKind::Warning:
      box.setWindowTitle(QStringLiteral("警告"));
      box.setIcon(QMessageBox::Warning);
      break;
    case TDialogKind::Error:
      box.setWindowTitle(QStringLiteral("エラー"));
      box.setIcon(QMessageBox::Critical);
      break;
    case TDialogKind::Information:
      box.setWindowTitle(QStringLiteral("情報"));
      box.setIcon(QMessageBox::Information);
      break;
    case TDialogKind::Confirmation:
      box.setWindowTitle(QStringLiteral("確認"));
      box.setIcon(QMessageBox::Question);
      break;
    case TDialogKind::Plain:
      box.setWindowTitle(QStringLiteral("Zelkaro（ZELK）"));
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  box.setText(BoxText(text));
  if (buttons == TDialogButtons::Ok) {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  } else {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(DefaultAnswer(buttons) == TDialogAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
  }
}

TDialogAnswer TQtDialogs::Show(TDialogKind kind, const std::string& text, TDialogButtons buttons) {
  // A box always shows the normal cursor, whatever long work set before.
  struct TArrowWhileShown {
    TArrowWhileShown() { QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
    ~TArrowWhileShown() { QApplication::restoreOverrideCursor(); }
  } arrow;

  // Boxes of the start-up come before the main window is shown: they centre on the screen.
  QMessageBox box(parent_ && parent_->isVisible() ? parent_ : nullptr);
  BuildBox(box, kind, text, buttons);

  if (ScreenshotMode()) {
    box.show();
    QApplication::processEvents();
    char name[64];
    std::snprintf(name, sizeof name, "message_%02zu_%s.png", saved_.size() + 1, KindName(kind));
    std::filesystem::path file = screenshotFolder_ / name;
    if (box.grab().save(QString::fromStdString(file.string()), "PNG")) saved_.push_back(file);
    box.close();
    return DefaultAnswer(buttons);
  }

  int result = box.exec();
  if (buttons == TDialogButtons::Ok) return TDialogAnswer::Ok;
  return result == QMessageBox::Yes ? TDialogAnswer::Yes : TDialogAnswer::No;
}

}  // namespace zelk
