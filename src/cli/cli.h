#pragma once
// The zelk command: `zelk [--home DIR] COMMAND ...`. Each command lives in its own
// cmd_<name>.cpp and registers itself with a static TCommandRegistration.
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zelk::cli {

struct TCliContext {
  std::filesystem::path home;     // the application folder
  std::vector<std::string> args;  // the command's own arguments, after the command name
  bool stderrIsTerminal = false;  // progress bars only on a terminal
};

using TCommandFn = std::function<int(const TCliContext&)>;

struct TCommand {
  std::string summary;  // one line for the usage text
  TCommandFn run;       // returns the process exit code
};

std::map<std::string, TCommand>& Commands();

struct TCommandRegistration {
  TCommandRegistration(const std::string& name, const std::string& summary, TCommandFn run) {
    Commands()[name] = {summary, std::move(run)};
  }
};

// Value of "--name VALUE" among the arguments, or empty; `present` tells whether it was given.
std::string OptionValue(const std::vector<std::string>& args, const std::string& name, bool* present = nullptr);
bool HasFlag(const std::vector<std::string>& args, const std::string& name);

}  // namespace zelk::cli
