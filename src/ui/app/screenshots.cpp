#include "ui/app/screenshots.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <algorithm>

namespace zelk {

std::vector<TScreenshotEntry>& ScreenshotProducers() {
  static std::vector<TScreenshotEntry> producers;
  return producers;
}

bool TScreenshotSession::Save(QWidget* widget, const std::string& name) {
  if (!widget) {
    Fail(name + ": no window");
    return false;
  }
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  std::filesystem::path file = folder_ / (name + ".png");
  if (!widget->grab().save(QString::fromStdString(file.string()), "PNG")) {
    Fail(name + ": picture not written");
    return false;
  }
  saved_.push_back(file);
  return true;
}

void RunScreenshots(TScreenshotSession& session) {
  std::vector<TScreenshotEntry> entries = ScreenshotProducers();
  std::stable_sort(entries.begin(), entries.end(), [](const TScreenshotEntry& a, const TScreenshotEntry& b) {
    return a.order != b.order ? a.order < b.order : a.name < b.name;
  });
  for (const auto& e : entries) {
    try {
      e.produce(session);
    } catch (const std::exception& ex) {
      session.Fail(e.name + ": " + ex.what());
    }
  }
}

}  // namespace zelk
