#include "data/app_folder.h"

#include "data/schema.h"

namespace zelk {

std::vector<std::filesystem::path> ApplicationFolders() {
  std::vector<std::filesystem::path> folders = {"Log", "Sokuho", "Temp", "SimulationJoken", "AutoHandle",
                                                "db",  "db/JRA", "db/NAR"};
  for (const char* link : {"linkstore/JV", "linkstore/NV"}) {
    const std::filesystem::path root = link;
    for (const char* sub : {"server/RACE", "data", "cache", "realtime"}) folders.push_back(root / sub);
  }
  return folders;
}

TInitResult InitApplicationFolder(const std::filesystem::path& appDir) {
  const auto dbDir = appDir / "db";
  const auto existing = ExistingDatabaseFiles(dbDir);
  if (!existing.empty()) {
    std::string list;
    for (const auto& f : existing) list += "\n  " + f.string();
    return {false, "データベースファイルが既に存在するため、初期化を中止しました。何も変更していません。" + list};
  }
  for (const auto& folder : ApplicationFolders()) std::filesystem::create_directories(appDir / folder);
  CreateDatabases(dbDir);
  return {true, "アプリケーションフォルダを初期化しました: " + appDir.string()};
}

}  // namespace zelk
