// zelkaro: the Zelkaro window application.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/app/application.h"
#include "ui/app/zelkaro_run.h"

int main(int argc, char** argv) {
  zelk::TZelkaroApplication app(argc, argv);
  std::vector<std::string> args;
  for (const QString& a : QApplication::arguments().mid(1)) args.push_back(a.toStdString());
  zelk::TZelkaroOptions options = zelk::ParseZelkaroArguments(args, std::getenv("ZELK_HOME"), zelk::ExecutableFolder());
  if (!options.error.empty()) {
    std::fprintf(stderr, "%s\n%s", options.error.c_str(), zelk::kZelkaroUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(zelk::kZelkaroUsage, stdout);
    return 0;
  }
  return zelk::RunZelkaro(options, &app);
}
