// zelk init: set up a new application folder with its folders and empty racing databases.
#include <iostream>

#include "cli/cli.h"
#include "data/app_folder.h"

namespace zelk::cli {
namespace {

int RunInit(const TCliContext& ctx) {
  if (!ctx.args.empty()) {
    std::cerr << "使い方: zelk [--home DIR] init\n";
    return 2;
  }
  TInitResult result = InitApplicationFolder(ctx.home);
  if (!result.created) {
    std::cerr << result.message << "\n";
    return 1;
  }
  std::cout << result.message << "\n";
  return 0;
}

const TCommandRegistration registration("init", "アプリケーションフォルダとデータベースを作成する", RunInit);

}  // namespace
}  // namespace zelk::cli
