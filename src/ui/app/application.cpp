#include "ui/app/application.h"

#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <clocale>
#include <cstdio>
#include <exception>

#include "common/error_log.h"
#include "data/app_startup.h"

namespace zelk {

TZelkaroApplication::TZelkaroApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Zelkaro（ZELK）"));
  // Fixed formats whatever the desktop's regional settings: the core formats dates and
  // amounts itself, and numbers it reads or writes must never take a local decimal comma
  // (QApplication has just set the C library to the desktop's locale).
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  setFont(WindowFont());
}

QFont TZelkaroApplication::WindowFont() {
  const QStringList families = QFontDatabase::families();
  for (const char* name : {"Noto Sans Mono CJK JP", "Noto Sans CJK JP", "IPAGothic", "VL Gothic"}) {
    QString family = QString::fromUtf8(name);
    if (families.contains(family)) {
      QFont f(family, 9);
      f.setStyleHint(QFont::TypeWriter);
      return f;
    }
  }
  QFont f = QApplication::font();
  f.setPointSize(9);
  return f;
}

bool TZelkaroApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    HandleException(e.what());
  } catch (...) {
    HandleException("unknown exception");
  }
  return false;
}

void TZelkaroApplication::HandleException(const char* message) {
  beep();
  if (core_ && core_->HasLog()) {
    core_->Log().WriteLog(message);
  } else {
    std::fprintf(stderr, "zelkaro: %s\n", message);
  }
}

}  // namespace zelk
