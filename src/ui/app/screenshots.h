#pragma once
// Screenshot runs (`zelkaro --screenshot DIR`): after a normal start-up every registered
// producer builds its window, saves it as DIR/<name>.png and closes it again; then the
// application shuts down through the normal sequence.
//
// A window joins the set with one line in its .cpp:
//   static zelk::TScreenshotRegistration reg("about", [](zelk::TScreenshotSession& s) { ... });
// (the window's own .cpp is linked whenever the main window uses the window, which keeps the
// registration in the program).
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace zelk {

class TfrmMain;

class TScreenshotSession {
 public:
  TScreenshotSession(TfrmMain& main, std::filesystem::path folder) : main_(main), folder_(std::move(folder)) {}

  TfrmMain& Main() const { return main_; }
  const std::filesystem::path& Folder() const { return folder_; }

  // Lets pending paint and layout events run, then saves the widget as <name>.png.
  // Returns false when the picture could not be written.
  bool Save(QWidget* widget, const std::string& name);

  const std::vector<std::filesystem::path>& Saved() const { return saved_; }
  const std::vector<std::string>& Failures() const { return failures_; }
  void Fail(const std::string& what) { failures_.push_back(what); }

 private:
  TfrmMain& main_;
  std::filesystem::path folder_;
  std::vector<std::filesystem::path> saved_;
  std::vector<std::string> failures_;
};

using TScreenshotProducer = std::function<void(TScreenshotSession&)>;

struct TScreenshotEntry {
  std::string name;
  int order;  // producers run in ascending order, then by name
  TScreenshotProducer produce;
};

std::vector<TScreenshotEntry>& ScreenshotProducers();

struct TScreenshotRegistration {
  TScreenshotRegistration(std::string name, TScreenshotProducer produce, int order = 100) {
    ScreenshotProducers().push_back({std::move(name), order, std::move(produce)});
  }
};

// Runs every producer; an exception in one producer is recorded and the others still run.
void RunScreenshots(TScreenshotSession& session);

}  // namespace zelk
