#pragma once
// The zelkaro program: `zelkaro [--home DIR] [--screenshot DIR]`.
#include <filesystem>
#include <string>
#include <vector>

namespace zelk {

class TZelkaroApplication;

struct TZelkaroOptions {
  std::filesystem::path home;           // the application folder
  std::filesystem::path screenshotDir;  // empty: a normal interactive run
  bool help = false;
  std::string error;  // a usage error; nothing runs
};

inline constexpr const char* kZelkaroUsage = "使い方: zelkaro [--home DIR] [--screenshot DIR]\n";

// --home DIR, else the environment's ZELK_HOME, else the executable's folder.
TZelkaroOptions ParseZelkaroArguments(const std::vector<std::string>& args, const char* envHome,
                                      const std::filesystem::path& exeDir);

// The executable's folder.
std::filesystem::path ExecutableFolder();

// Starts the application on an existing QApplication, runs it and shuts it down; returns the
// process exit code. A screenshot run saves its pictures and ends by itself without the
// message loop. `app` (may be null) receives the core for its exception hook.
int RunZelkaro(const TZelkaroOptions& options, TZelkaroApplication* app);

}  // namespace zelk
