#include "data/record_tables.h"

#include <SQLiteCpp/Database.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "common/config.h"
#include "common/cp932.h"
#include "common/error_log.h"
#include "common/text_file.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/schema.h"
#include "support/fakes.h"
#include "support/record_builder.h"

namespace zelk {
namespace fs = std::filesystem;
using test::TRecordBuilder;

namespace {

constexpr const char* kDay = "20240512";

std::string RA(char kind, std::string_view created, int race = 11, std::string_view course = "05") {
  return TRecordBuilder("RA", kRecordLengthRA - 2)
      .Header(kind, created, kDay, course, race)
      .Set(614, "B")
      .Set(616, "13")
      .Set(618, "A00")
      .Set(621, "3")
      .Set(634, "005")
      .Set(697, "1600")
      .Set(705, "11")
      .Set(709, "A ")
      .Set(873, "1540")
      .Set(881, "16")
      .Set(883, "15")
      .Set(887, "1")
      .Set(888, "2")
      .Set(889, " ")
      .Delivered();
}

std::string SE(char kind, std::string_view created, int horse, long long pedigree = 2019104567,
               std::string_view nameUtf8 = "　ドウデュース  ", int race = 11) {
  std::string name = Utf8ToCp932(nameUtf8);
  name.resize(36, ' ');
  return TRecordBuilder("SE", kRecordLengthSE - 2)
      .Header(kind, created, kDay, "05", race)
      .Num(27, 1, (horse + 1) / 2)
      .Num(28, 2, horse)
      .Num(30, 10, pedigree)
      .Set(40, name)
      .Set(296, "01126")
      .Set(331, "0")
      .Set(334, " 3")
      .Delivered();
}

std::string HR(char kind, std::string_view created, int race = 11) {
  TRecordBuilder b("HR", kRecordLengthHR - 2);
  b.Header(kind, created, kDay, "05", race).Set(21, "02").Set(23, "08").Set(27, "16").Set(29, "15");
  b.Set(49, std::string(101 - 49 + 1, '0')).Set(58 + 6, "1");  // horse 7 refunded
  b.Set(102, "07000000350" "01");                                // 単勝 1
  b.Set(245, "0307000001230" "002");                             // 馬連 1
  b.Set(603 + 19, "030712000123450" "0012");                     // ３連単 2
  return b.Delivered();
}

std::string TC(std::string_view hhmm, int race = 11) {
  return TRecordBuilder("TC", kRecordLengthTC - 2).Header('1', kDay, kDay, "05", race).Set(35, hhmm).Delivered();
}

std::string CC(std::string_view distance, std::string_view track) {
  return TRecordBuilder("CC", kRecordLengthCC - 2)
      .Header('1', kDay, kDay, "05", 11)
      .Set(35, distance)
      .Set(39, track)
      .Delivered();
}

TKey RaceKey(int race = 11) { return {std::string("2024-05-12"), std::string("05"), (long long)race}; }
TKey HorseKey(int horse, int race = 11) {
  return {std::string("2024-05-12"), std::string("05"), (long long)race, (long long)horse};
}

class RecordTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home = fs::temp_directory_path() / ("zelk_record_tables_" + std::to_string(::getpid()));
    fs::remove_all(home);
    CreateDatabases(home / "db");
    log = std::make_unique<TErrorLog>(home, false, clock, &dialogs);
    dmd.ConfigureDatabases(home / "db", *log, dialogs);
    config = std::make_unique<TConfig>(home, clock, &dialogs, nullptr);
    jv = std::make_unique<TJVTables>(*config, dmd, *log);
    nv = std::make_unique<TNVTables>(*config, dmd, *log);
    for (auto* w : {static_cast<TRecordTables*>(jv.get()), static_cast<TRecordTables*>(nv.get())}) {
      w->SetPump(pump);
      w->SetClock(clock);
    }
  }
  void TearDown() override {
    jv.reset();
    nv.reset();
    fs::remove_all(home);
  }

  // One bulk record inside its own open/commit.
  int Bulk(TRecordTables& w, const std::string& record) {
    std::string kind = record.substr(0, 2);
    EXPECT_EQ(w.OpenTables(kind), 0);
    int rc = w.ReflectRecord(record);
    EXPECT_EQ(w.CloseTables(kind, true), 0);
    return rc;
  }
  std::string RaceKind(int race = 11) {
    auto row = dmd.tblRA.Seek(RaceKey(race));
    return row ? row->Text("データ区分") : "-";
  }
  const std::vector<std::string>& Entries() { return log->Entries(); }

  fs::path home;
  test::TFakeClock clock{{2024, 5, 12, 9, 30, 0, 0}};
  test::TRecordingDialogs dialogs;
  test::TFakePump pump;
  std::unique_ptr<TErrorLog> log;
  std::unique_ptr<TConfig> config;
  TdmdOV dmd;
  std::unique_ptr<TJVTables> jv;
  std::unique_ptr<TNVTables> nv;
};

}  // namespace

TEST_F(RecordTablesTest, RaceRecordFieldsLandInTheirColumns) {
  ASSERT_EQ(Bulk(*jv, RA('7', "20240512")), 0);
  auto row = dmd.tblRA.Seek(RaceKey());
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Text("データ区分"), "7");
  EXPECT_EQ(row->Text("データ作成年月日"), "2024-05-12");
  EXPECT_EQ(row->Text("開催年月日"), "2024-05-12");
  EXPECT_EQ(row->Text("競馬場コード"), "05");
  EXPECT_EQ(row->Int("レース番号"), 11);
  EXPECT_EQ(row->Text("グレードコード"), "B");
  EXPECT_EQ(row->Int("競走種別コード"), 13);
  EXPECT_EQ(row->Text("競走記号コード"), "A00");
  EXPECT_EQ(row->Int("重量種別コード"), 3);
  EXPECT_EQ(row->Int("競走条件コード最若年条件"), 5);
  EXPECT_EQ(row->Int("距離"), 1600);
  EXPECT_EQ(row->Int("トラックコード"), 11);
  EXPECT_EQ(row->Text("コース区分"), "A ");
  EXPECT_EQ(row->Text("発走時刻"), "1540");
  EXPECT_EQ(row->Int("登録頭数"), 16);
  EXPECT_EQ(row->Int("出走頭数"), 15);
  EXPECT_EQ(row->Int("天候コード"), 1);
  EXPECT_EQ(row->Text("芝馬場状態コード"), "2");
  EXPECT_EQ(row->Text("ダート馬場状態コード"), "0");  // a blank digit field reads 0

  // Local racing keeps the turf going character as it stands; a creation date that is no
  // date is stored as Null.
  std::string local = RA('7', "00000000", 3);
  local[888] = 'X';
  ASSERT_EQ(Bulk(*nv, local), 0);
  row = dmd.tblRA.Seek(RaceKey(3));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Text("芝馬場状態コード"), "X");
  EXPECT_TRUE(row->IsNull("データ作成年月日"));
}

TEST_F(RecordTablesTest, RaceRulesOfBothWriters) {
  struct Step {
    bool local;
    std::string record;
    int rc;
    const char* storedKind;  // after the step; "-" for no row
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"kind 1 creates nothing", {{false, RA('1', "20240510"), 0, "-"}, {true, RA('1', "20240510"), 0, "-"}}},
      {"central A does not overwrite 7", {{false, RA('7', "20240512"), 0, "7"}, {false, RA('A', "20240513"), -907, "7"}}},
      {"central A refreshes A", {{false, RA('A', "20240512"), 0, "A"}, {false, RA('A', "20240513"), 0, "A"}}},
      {"local A overwrites 7", {{true, RA('7', "20240512"), 0, "7"}, {true, RA('A', "20240513"), 0, "A"}}},
      {"older record answers -907", {{false, RA('5', "20240512"), 0, "5"}, {false, RA('7', "20240511"), -907, "5"}}},
      {"same creation date updates", {{false, RA('5', "20240512"), 0, "5"}, {false, RA('7', "20240512"), 0, "7"}}},
      {"local A row takes an older record", {{true, RA('A', "20240512"), 0, "A"}, {true, RA('7', "20240501"), 0, "7"}}},
      {"central A row keeps its date test", {{false, RA('A', "20240512"), 0, "A"}, {false, RA('7', "20240501"), -907, "A"}}},
      {"kind 9 new creates nothing", {{false, RA('9', "20240512"), 0, "-"}}},
      {"kind 9 stored updates", {{false, RA('2', "20240510"), 0, "2"}, {false, RA('9', "20240512"), 0, "9"}}},
      {"kind 0 deletes", {{false, RA('2', "20240510"), 0, "2"}, {false, RA('0', "20240512"), 0, "-"}}},
      {"kind 0 new creates nothing", {{true, RA('0', "20240512"), 0, "-"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& s : c.steps) {
      TRecordTables& w = s.local ? static_cast<TRecordTables&>(*nv) : *jv;
      EXPECT_EQ(Bulk(w, s.record), s.rc);
      EXPECT_EQ(RaceKind(), s.storedKind);
    }
    dmd.conRace.Db().exec("DELETE FROM レース詳細");
  }
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RecordTablesTest, EntryRules) {
  // The name is trimmed of blanks and full-width spaces after conversion.
  ASSERT_EQ(Bulk(*jv, SE('2', "20240510", 5)), 0);
  auto row = dmd.tblSE.Seek(HorseKey(5));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Text("馬名"), "ドウデュース");
  EXPECT_EQ(row->Int("枠番"), 3);
  EXPECT_EQ(row->Int("血統登録番号"), 2019104567);
  EXPECT_EQ(row->Int("騎手コード"), 1126);
  EXPECT_EQ(row->Int("異常区分コード"), 0);
  EXPECT_EQ(row->Int("確定着順"), 3);

  // Central ignores entries of kind 1 and entries without a pedigree number; local keeps them.
  EXPECT_EQ(Bulk(*jv, SE('1', "20240510", 6)), 0);
  EXPECT_EQ(Bulk(*jv, SE('2', "20240510", 7, 0)), 0);
  EXPECT_FALSE(dmd.tblSE.Seek(HorseKey(6)));
  EXPECT_FALSE(dmd.tblSE.Seek(HorseKey(7)));
  EXPECT_EQ(Bulk(*nv, SE('1', "20240510", 6)), 0);
  EXPECT_EQ(Bulk(*nv, SE('2', "20240510", 7, 0)), 0);
  EXPECT_TRUE(dmd.tblSE.Seek(HorseKey(6)));
  EXPECT_TRUE(dmd.tblSE.Seek(HorseKey(7)));

  // Central "A" only over "A"; kind 9 updates; older answers -907; kind 0 deletes.
  EXPECT_EQ(Bulk(*jv, SE('A', "20240513", 5)), -907);
  EXPECT_EQ(Bulk(*jv, SE('9', "20240511", 5, 2019104567, "名前")), 0);
  EXPECT_EQ(dmd.tblSE.Seek(HorseKey(5))->Text("馬名"), "名前");
  EXPECT_EQ(Bulk(*jv, SE('7', "20240510", 5)), -907);
  EXPECT_EQ(Bulk(*jv, SE('0', "20240512", 5)), 0);
  EXPECT_FALSE(dmd.tblSE.Seek(HorseKey(5)));

  // Real-time: central ignores kind 1, local ignores horse number 0.
  EXPECT_EQ(jv->ReflectSokuhoRecord(SE('1', "20240512", 9)), 0);
  EXPECT_EQ(nv->ReflectSokuhoRecord(SE('2', "20240512", 0)), 0);
  EXPECT_EQ(nv->ReflectSokuhoRecord(SE('2', "20240512", 10)), 0);
  EXPECT_FALSE(dmd.tblSE.Seek(HorseKey(9)));
  EXPECT_FALSE(dmd.tblSE.Seek(HorseKey(0)));
  EXPECT_TRUE(dmd.tblSE.Seek(HorseKey(10)));
}

TEST_F(RecordTablesTest, PayoutRecords) {
  ASSERT_EQ(Bulk(*jv, HR('2', "20240512")), 0);
  auto row = dmd.tblHR.Seek(RaceKey());
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Int("開催回"), 2);
  EXPECT_EQ(row->Int("開催日目"), 8);
  EXPECT_EQ(row->Int("出走頭数"), 15);
  EXPECT_EQ(row->Int("返還フラグ　単勝"), 0);
  EXPECT_EQ(row->Int("返還馬番情報7"), 1);
  EXPECT_EQ(row->Int("返還馬番情報8"), 0);
  EXPECT_EQ(row->Text("単勝払戻馬番1"), "07");
  EXPECT_EQ(row->Int("単勝払戻払戻金1"), 350);
  EXPECT_EQ(row->Text("単勝払戻馬番2"), "  ");  // empty slots stay blank
  EXPECT_EQ(row->Int("単勝払戻払戻金2"), 0);
  EXPECT_EQ(row->Text("馬連払戻組番1"), "0307");
  EXPECT_EQ(row->Int("馬連払戻払戻金1"), 1230);
  EXPECT_EQ(row->Text("3連単払戻組番2"), "030712");
  EXPECT_EQ(row->Int("3連単払戻払戻金2"), 123450);

  // An existing row: the data kind must be a digit; 9 deletes.
  EXPECT_EQ(Bulk(*jv, HR('A', "20240513")), -900);
  EXPECT_TRUE(dmd.tblHR.Seek(RaceKey()));
  EXPECT_EQ(Bulk(*jv, HR('7', "20240511")), -907);
  EXPECT_EQ(Bulk(*nv, HR('9', "20240513")), 0);
  EXPECT_FALSE(dmd.tblHR.Seek(RaceKey()));
  EXPECT_EQ(Bulk(*nv, HR('9', "20240513")), 0);
  EXPECT_FALSE(dmd.tblHR.Seek(RaceKey()));
}

TEST_F(RecordTablesTest, StartTimeAndCourseCorrectionsOnlyBeforeTheResult) {
  ASSERT_EQ(Bulk(*jv, RA('2', "20240510", 11)), 0);
  ASSERT_EQ(Bulk(*jv, RA('7', "20240510", 12)), 0);
  ASSERT_EQ(jv->BeginSokuhoTables(), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(TC("1605", 11)), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(TC("1645", 12)), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(TC("1645", 5)), 0);  // no such race
  EXPECT_EQ(jv->ReflectSokuhoRecord(CC("2000", "23")), 0);
  ASSERT_EQ(jv->EndSokuhoTables(true), 0);
  auto r11 = dmd.tblRA.Seek(RaceKey(11));
  EXPECT_EQ(r11->Text("発走時刻"), "1605");
  EXPECT_EQ(r11->Int("距離"), 2000);
  EXPECT_EQ(r11->Int("トラックコード"), 23);
  EXPECT_EQ(dmd.tblRA.Seek(RaceKey(12))->Text("発走時刻"), "1540");
  EXPECT_FALSE(dmd.tblRA.Seek(RaceKey(5)));
}

TEST_F(RecordTablesTest, TransactionsFollowOpenCloseAndTheRealTimeEntriesStayOnRollBack) {
  ASSERT_EQ(jv->OpenTables("RA"), 0);
  EXPECT_EQ(jv->ReflectRecord(RA('7', "20240512")), 0);
  ASSERT_EQ(jv->CloseTables("RA", false), 0);
  EXPECT_FALSE(dmd.tblRA.Seek(RaceKey()));

  ASSERT_EQ(jv->BeginSokuhoTables(), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(RA('2', "20240512")), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(HR('1', "20240512")), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(SE('2', "20240512", 4)), 0);
  ASSERT_EQ(jv->EndSokuhoTables(false), 0);
  EXPECT_FALSE(dmd.tblRA.Seek(RaceKey()));
  EXPECT_FALSE(dmd.tblHR.Seek(RaceKey()));
  EXPECT_TRUE(dmd.tblSE.Seek(HorseKey(4)));  // conSokuhoRacese takes no part in the transaction

  // Kinds each writer opens.
  struct Case {
    const char* kind;
    int jvRc, nvRc;
  } cases[] = {{"RA", 0, 0}, {"SE", 0, 0}, {"HR", 0, 0}, {"O1", 0, 0}, {"O6", 0, 0},
               {"OA", -903, 0}, {"WF", -903, 0}, {"WE", -903, -903}, {"TC", -903, -903}, {"H1", -903, -903}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(jv->OpenTables(c.kind), c.jvRc);
    if (c.jvRc == 0) {
      EXPECT_EQ(jv->CloseTables(c.kind, true), 0);
    }
    EXPECT_EQ(nv->OpenTables(c.kind), c.nvRc);
    if (c.nvRc == 0) {
      EXPECT_EQ(nv->CloseTables(c.kind, true), 0);
    }
  }
  // A second open while the transaction runs is a logged failure.
  ASSERT_EQ(jv->OpenTables("SE"), 0);
  EXPECT_EQ(jv->OpenTables("SE"), -900);
  EXPECT_NE(Entries().back().find("エラー : -900\r\n処理 : ClassTablesJV - OpenTables\r\n"), std::string::npos);
  EXPECT_TRUE(Entries().back().ends_with("\r\n詳細 : レコード種別 = SE"));
  EXPECT_EQ(jv->CloseTables("SE", false), 0);
}

TEST_F(RecordTablesTest, FailedRecordsAreLoggedWithTheRecordAndAnswerMinus900) {
  std::string badRace = RA('7', "20240512");
  badRace.replace(25, 2, "1X");
  std::string badPedigree = SE('2', "20240512", 3);
  badPedigree.replace(30, 10, "20191O4567");
  std::string badUpdate = SE('2', "20240513", 3);
  badUpdate.replace(27, 1, " ");  // frame number is strict
  struct Case {
    const char* name;
    TRecordTables* writer;
    std::string record;
    std::string operation, detail;
  } cases[] = {
      {"short RA", jv.get(), RA('7', "20240512").substr(0, 900) + "\r\n", "ClassTablesJV - ReflectRA", ""},
      {"strict race number", nv.get(), badRace, "ClassTablesNV - ReflectRA", ""},
      {"strict pedigree", jv.get(), badPedigree, "ClassTablesJV - ReflectSE", ""},
      {"update of an entry", jv.get(), badUpdate, "ClassTablesJV - UpdateSE",
       "\r\n血統登録番号 = 2019104567"},
      {"short HR", jv.get(), HR('1', "20240512").substr(0, 700), "ClassTablesJV - ReflectHR", ""},
      {"short O1", jv.get(), TRecordBuilder("O1", 500).Header('1', kDay, kDay, "05", 1).Text(),
       "ClassTablesJV - ReflectO1Text", ""},
      {"short local O6", nv.get(), TRecordBuilder("O6", 500).Header('1', kDay, kDay, "30", 1).Text(),
       "ClassTablesNV - ReflectO6Text", ""},
  };
  ASSERT_EQ(Bulk(*jv, SE('2', "20240512", 3)), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    size_t before = Entries().size();
    dialogs.shown.clear();
    EXPECT_EQ(c.writer->ReflectRecord(c.record), -900);
    ASSERT_EQ(Entries().size(), before + 2);
    const std::string& block = Entries()[before];
    EXPECT_NE(block.find("エラー : -900\r\n処理 : " + c.operation + "\r\n内容 : "), std::string::npos) << block;
    std::string_view text = WithoutLineEnd(c.record);
    EXPECT_TRUE(block.ends_with("\r\n詳細 : " + std::string(text.substr(0, 19)) + c.detail)) << block;
    EXPECT_TRUE(Entries()[before + 1].ends_with(" " + Cp932ToUtf8(text))) << "the record follows as a plain entry";
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, TDialogKind::Error);
  }
  EXPECT_EQ(dmd.tblSE.Seek(HorseKey(3))->Text("データ作成年月日"), "2024-05-12");

  // Kinds no writer handles, and OA in the real-time import.
  EXPECT_EQ(jv->ReflectRecord(TRecordBuilder("H1", 300).Text()), -903);
  EXPECT_EQ(jv->ReflectRecord(TRecordBuilder("OA", 691).Text()), -903);
  EXPECT_EQ(nv->ReflectSokuhoRecord(TRecordBuilder("OA", 691).Text()), -903);
  EXPECT_EQ(jv->ReflectRecord(""), -903);
}

TEST_F(RecordTablesTest, OddsRecordsGoToTheDayFilesOfTheirBranch) {
  auto odds = [](std::string_view kind, size_t length, int race, std::string_view course, std::string_view time) {
    return TRecordBuilder(kind, length).Header('1', "20240511", kDay, course, race).Set(27, time).Delivered();
  };
  ASSERT_EQ(jv->OpenTables("O1"), 0);
  for (int race : {1, 3, 2}) EXPECT_EQ(jv->ReflectRecord(odds("O1", 960, race, "05", "05121000")), 0);
  EXPECT_EQ(jv->ReflectRecord(odds("O1", 960, 3, "05", "05120900")), 0);  // earlier announcement stays out
  ASSERT_EQ(jv->CloseTables("O1", true), 0);
  auto central = ReadRawLines(home / "db/JRA/O1/2024/0512.DAT");
  ASSERT_EQ(central.size(), 3u);
  EXPECT_EQ(central[1].substr(25, 2), "02");
  EXPECT_EQ(central[2].substr(27, 8), "05121000");
  EXPECT_EQ(central[0].size(), 960u);

  ASSERT_EQ(nv->OpenTables("O6"), 0);
  for (int race : {1, 3, 2}) EXPECT_EQ(nv->ReflectRecord(odds("O6", 83283, race, "30", "05121000")), 0);
  ASSERT_EQ(nv->CloseTables("O6", true), 0);
  auto local = ReadRawLines(home / "db/NAR/O6/2024/0512.DAT");
  ASSERT_EQ(local.size(), 3u);
  EXPECT_EQ(local[1].substr(25, 2), "03");

  // Real-time odds: forget, reflect, write back.
  jv->ResetOddsFile();
  EXPECT_EQ(jv->ReflectSokuhoRecord(odds("O2", 2040, 2, "05", "05121500")), 0);
  EXPECT_EQ(jv->FlushOddsFile(), 0);
  EXPECT_EQ(ReadRawLines(home / "db/JRA/O2/2024/0512.DAT").size(), 1u);

  // WF lines of every date share one file, also from the real-time import.
  ASSERT_EQ(nv->OpenTables("WF"), 0);
  EXPECT_EQ(nv->ReflectRecord(odds("WF", 7213, 0, "  ", "        ")), 0);
  ASSERT_EQ(nv->CloseTables("WF", true), 0);
  EXPECT_EQ(nv->ReflectSokuhoRecord(TRecordBuilder("WF", 7213).Header('1', "20240511", "20240505", "  ", 0).Text()),
            0);
  EXPECT_EQ(nv->FlushOddsFile(), 0);
  auto wf = ReadRawLines(home / "db/NAR/TU.DAT");
  ASSERT_EQ(wf.size(), 2u);
  EXPECT_EQ(wf[0].substr(11, 8), "20240505");
}

TEST_F(RecordTablesTest, ProbabilityLinesAreDatedByTheImportDay) {
  std::string rec = "202405120511" + std::string(144, '0');
  ASSERT_EQ(jv->OpenTables("O1"), 0);
  EXPECT_EQ(jv->ReflectYosoOddsRecord(rec + "\r\n", "YOSOU"), 0);
  EXPECT_EQ(jv->ReflectYosoOddsRecord(rec, "../x"), -900);
  EXPECT_NE(Entries()[Entries().size() - 2].find("ClassTablesJV - ReflectYosoOddsRecord\r\n内容 : "),
            std::string::npos);
  EXPECT_TRUE(Entries()[Entries().size() - 2].ends_with("詳細 : 202405120511"));
  ASSERT_EQ(jv->CloseTables("O1", true), 0);
  auto lines = ReadRawLines(home / "db/JRA/YOSOU/2024/0512.DAT");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 11), "O1820240512");
}

TEST_F(RecordTablesTest, CollectedRealTimeLinesBecomeTheDayFiles) {
  fs::path day = home / "Sokuho/20240512";
  jv->BeginSokuho(MakeDate(2024, 5, 12));
  EXPECT_EQ(jv->WriteSokuho(MakeDate(2024, 5, 12)), -902);
  EXPECT_EQ(jv->ReflectSokuhoRecord(TRecordBuilder("WE", 40).Header('1', kDay, kDay, "05", 0).Delivered()), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(TRecordBuilder("AV", 76).Header('1', kDay, kDay, "05", 11).Delivered()), 0);
  EXPECT_EQ(jv->ReflectSokuhoRecord(TRecordBuilder("JC", 120).Header('1', kDay, kDay, "05", 11).Delivered()), 0);
  EXPECT_EQ(jv->ReflectRecord(TRecordBuilder("WH", 100).Header('1', kDay, kDay, "05", 11).Delivered()), 0);
  EXPECT_EQ(jv->WriteSokuho(MakeDate(2024, 5, 12)), 0);
  EXPECT_EQ(pump.waitedMs, 1000);
  EXPECT_TRUE(fs::exists(day / "WE05.dat"));
  EXPECT_TRUE(fs::exists(day / "AV0511.dat"));
  EXPECT_TRUE(fs::exists(day / "JC0511.dat"));
  EXPECT_TRUE(fs::exists(day / "WH0511.dat"));
  EXPECT_EQ(ReadFileBytes(day / "AV0511.dat").size(), 78u);
}

}  // namespace zelk
