#include "data/app_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "data/database.h"
#include "temp_dir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

TEST(AppFolderTest, InitCreatesFoldersAndDatabasesThenRefusesASecondRun) {
  test::TTempDir tmp;
  const fs::path home = tmp.path / "新しいフォルダ";
  TInitResult first = InitApplicationFolder(home);
  EXPECT_TRUE(first.created);
  for (const char* folder : {"Log", "Sokuho", "Temp", "SimulationJoken", "AutoHandle", "db/JRA", "db/NAR",
                             "linkstore/JV/server/RACE", "linkstore/JV/realtime", "linkstore/NV/data",
                             "linkstore/NV/cache"})
    EXPECT_TRUE(fs::is_directory(home / folder)) << folder;
  for (const char* file : {"race.db", "racese.db", "code.db"}) {
    TConnection con(file);
    EXPECT_NO_THROW(con.Connect(home / "db" / file)) << file;
  }

  // A second run changes nothing, even in a database someone has filled.
  TConnection race("conRace");
  race.Connect(home / "db" / "race.db");
  TTable ra(race, "レース詳細");
  TRow row;
  row.Set("開催年月日", std::string("2024-05-12"));
  row.Set("競馬場コード", std::string("05"));
  row.Set("レース番号", 1LL);
  ra.Insert(row);
  fs::remove_all(home / "Temp");
  TInitResult second = InitApplicationFolder(home);
  EXPECT_FALSE(second.created);
  EXPECT_NE(second.message.find("データベースファイルが既に存在する"), std::string::npos);
  EXPECT_FALSE(fs::exists(home / "Temp"));
  EXPECT_TRUE(ra.Seek({std::string("2024-05-12"), std::string("05"), 1LL}));
}

TEST(AppFolderTest, OneExistingDatabaseIsEnoughToRefuse) {
  test::TTempDir tmp;
  fs::create_directories(tmp.path / "db");
  { std::ofstream(tmp.path / "db" / "code.db") << "x"; }
  TInitResult result = InitApplicationFolder(tmp.path);
  EXPECT_FALSE(result.created);
  EXPECT_NE(result.message.find("code.db"), std::string::npos);
  EXPECT_FALSE(fs::exists(tmp.path / "db" / "race.db"));
  EXPECT_FALSE(fs::exists(tmp.path / "Log"));
}

}  // namespace
}  // namespace zelk
