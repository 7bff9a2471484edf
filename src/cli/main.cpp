// Entry of the zelk command line companion.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cli/cli.h"

namespace zelk::cli {

std::map<std::string, TCommand>& Commands() {
  static std::map<std::string, TCommand> commands;
  return commands;
}

std::string OptionValue(const std::vector<std::string>& args, const std::string& name, bool* present) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == name) {
      if (present) *present = true;
      return args[i + 1];
    }
  if (present) *present = false;
  return {};
}

bool HasFlag(const std::vector<std::string>& args, const std::string& name) {
  for (const auto& a : args)
    if (a == name) return true;
  return false;
}

}  // namespace zelk::cli

namespace {

void PrintUsage() {
  std::cerr << "使い方: zelk [--home DIR] COMMAND ...\n\nコマンド:\n";
  for (const auto& [name, cmd] : zelk::cli::Commands()) std::cerr << "  " << name << "  " << cmd.summary << "\n";
}

std::filesystem::path ExecutableFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::filesystem::path home;
  if (const char* env = std::getenv("ZELK_HOME"); env && *env) home = env;
  size_t i = 0;
  while (i < args.size()) {
    if (args[i] == "--version") {
      std::cout << "zelk Ver.2.0.0\n";
      return 0;
    }
    if (args[i] == "--home" && i + 1 < args.size()) {
      home = args[i + 1];
      i += 2;
      continue;
    }
    break;
  }
  if (i >= args.size() || args[i] == "--help" || args[i] == "help") {
    PrintUsage();
    return i >= args.size() ? 2 : 0;
  }
  auto& commands = zelk::cli::Commands();
  auto it = commands.find(args[i]);
  if (it == commands.end()) {
    std::cerr << "不明なコマンドです: " << args[i] << "\n";
    PrintUsage();
    return 2;
  }
  zelk::cli::TCliContext ctx;
  ctx.home = home.empty() ? ExecutableFolder() : std::filesystem::absolute(home);
  ctx.args.assign(args.begin() + static_cast<long>(i) + 1, args.end());
  ctx.stderrIsTerminal = ::isatty(2) == 1;
  try {
    return it->second.run(ctx);
  } catch (const std::exception& e) {
    std::cerr << "エラー: " << e.what() << "\n";
    return 1;
  }
}
