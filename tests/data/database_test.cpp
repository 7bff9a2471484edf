#include "data/database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "data/schema.h"
#include "temp_dir.h"

namespace zelk {
namespace {

namespace fs = std::filesystem;

class TempDbDir : public test::TTempDir {
 public:
  TempDbDir() : TTempDir("zelk_db") { CreateDatabases(path); }
};

TRow Entry(const std::string& date, const std::string& course, long long race, long long horse,
           const std::string& name) {
  TRow r;
  r.Set("データ区分", std::string("7"));
  r.Set("開催年月日", date);
  r.Set("競馬場コード", course);
  r.Set("レース番号", race);
  r.Set("馬番", horse);
  r.Set("枠番", (horse + 1) / 2);
  r.Set("馬名", name);
  r.Set("確定着順", 0LL);
  return r;
}

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { con.Connect(dir.path / kRaceseDbFile); }
  TempDbDir dir;
  TConnection con{"conRacese"};
};

TEST_F(DatabaseTest, InsertSeekUpdateDeleteByPrimaryKey) {
  TTable se(con, "馬毎レース情報");
  EXPECT_EQ(se.KeyColumns(), (std::vector<std::string>{"開催年月日", "競馬場コード", "レース番号", "馬番"}));
  se.Insert(Entry("2024-05-12", "05", 11, 3, "テストホース"));

  auto row = se.Seek({std::string("2024-05-12"), std::string("05"), 11LL, 3LL});
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Text("馬名"), "テストホース");
  EXPECT_EQ(row->Int("枠番"), 2);
  EXPECT_TRUE(row->IsNull("騎手コード"));
  EXPECT_FALSE(se.Seek({std::string("2024-05-12"), std::string("05"), 11LL, 4LL}));

  TRow change;
  change.Set("確定着順", 1LL);
  change.Set("騎手コード", 1234LL);
  se.Update({std::string("2024-05-12"), std::string("05"), 11LL, 3LL}, change);
  row = se.Seek({std::string("2024-05-12"), std::string("05"), 11LL, 3LL});
  EXPECT_EQ(row->Int("確定着順"), 1);
  EXPECT_EQ(row->Int("騎手コード"), 1234);
  EXPECT_EQ(row->Text("馬名"), "テストホース");

  se.Delete({std::string("2024-05-12"), std::string("05"), 11LL, 3LL});
  EXPECT_FALSE(se.Seek({std::string("2024-05-12"), std::string("05"), 11LL, 3LL}));
  se.Delete({std::string("2024-05-12"), std::string("05"), 11LL, 3LL});  // already gone: no error
}

TEST_F(DatabaseTest, WriteErrorsAreReportedNotSwallowed) {
  TTable se(con, "馬毎レース情報");
  se.Insert(Entry("2024-05-12", "05", 11, 3, "A"));
  EXPECT_THROW(se.Insert(Entry("2024-05-12", "05", 11, 3, "B")), std::runtime_error);  // same key
  TRow change;
  change.Set("確定着順", 1LL);
  EXPECT_THROW(se.Update({std::string("2024-05-12"), std::string("05"), 11LL, 9LL}, change), std::runtime_error);
  TRow bad = Entry("2024-05-12", "05", 11, 4, "C");
  bad.Set("存在しない列", 1LL);
  EXPECT_THROW(se.Insert(bad), std::runtime_error);
  EXPECT_THROW(se.Seek({std::string("2024-05-12"), std::string("05"), 11LL}), std::runtime_error);
  EXPECT_EQ(se.Seek({std::string("2024-05-12"), std::string("05"), 11LL, 3LL})->Text("馬名"), "A");
}

TEST_F(DatabaseTest, ScanFromHorseZeroReadsOneRaceInHorseNumberOrder) {
  TTable se(con, "馬毎レース情報");
  for (long long h : {7, 1, 12, 3}) se.Insert(Entry("2024-05-12", "05", 11, h, "H" + std::to_string(h)));
  se.Insert(Entry("2024-05-12", "05", 10, 2, "prev race"));
  se.Insert(Entry("2024-05-12", "05", 12, 1, "next race"));
  se.Insert(Entry("2024-05-12", "06", 11, 1, "other course"));
  se.Insert(Entry("2024-05-13", "05", 11, 1, "next day"));

  auto rows = se.ScanFrom({std::string("2024-05-12"), std::string("05"), 11LL, 0LL}, 3);
  std::vector<long long> horses;
  for (const auto& r : rows) horses.push_back(r.Int("馬番"));
  EXPECT_EQ(horses, (std::vector<long long>{1, 3, 7, 12}));

  // Without a fixed prefix the scan runs on through the rest of the file in key order.
  rows = se.ScanFrom({std::string("2024-05-12"), std::string("05"), 12LL}, 0);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].Text("馬名"), "next race");
  EXPECT_EQ(rows[1].Text("馬名"), "other course");
  EXPECT_EQ(rows[2].Text("馬名"), "next day");
}

TEST_F(DatabaseTest, KeyTextWithQuotesIsBoundNotPasted) {
  TTable se(con, "馬毎レース情報");
  const std::string evil = "0'\"; DROP TABLE 馬毎レース情報; --";
  se.Insert(Entry("2024-05-12", evil, 1, 1, "It's \"quoted\""));
  auto row = se.Seek({std::string("2024-05-12"), evil, 1LL, 1LL});
  ASSERT_TRUE(row);
  EXPECT_EQ(row->Text("競馬場コード"), evil);
  EXPECT_EQ(row->Text("馬名"), "It's \"quoted\"");
  EXPECT_EQ(se.ScanFrom({std::string("2024-05-12"), evil}, 2).size(), 1u);
}

TEST_F(DatabaseTest, ReadOnlyTableRefusesEveryWrite) {
  TTable ref(con, "馬毎レース情報", true);
  TTable se(con, "馬毎レース情報");
  se.Insert(Entry("2024-05-12", "05", 1, 1, "A"));
  const TKey key{std::string("2024-05-12"), std::string("05"), 1LL, 1LL};
  TRow change;
  change.Set("馬名", std::string("B"));
  EXPECT_THROW(ref.Insert(Entry("2024-05-12", "05", 1, 2, "C")), std::runtime_error);
  EXPECT_THROW(ref.Update(key, change), std::runtime_error);
  EXPECT_THROW(ref.Delete(key), std::runtime_error);
  ASSERT_TRUE(ref.Seek(key));
  EXPECT_EQ(ref.Seek(key)->Text("馬名"), "A");
  EXPECT_EQ(se.ScanFrom({std::string("2024-05-12")}, 1).size(), 1u);
}

TEST_F(DatabaseTest, GuardRollsBackWhenAnExceptionPassesAndCommitKeeps) {
  TTable se(con, "馬毎レース情報");
  try {
    TTransactionGuard guard(con);
    se.Insert(Entry("2024-05-12", "05", 1, 1, "lost"));
    throw std::runtime_error("record error");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(con.InTransaction());
  EXPECT_FALSE(se.Seek({std::string("2024-05-12"), std::string("05"), 1LL, 1LL}));
  {
    TTransactionGuard guard(con);
    se.Insert(Entry("2024-05-12", "05", 1, 2, "kept"));
    guard.Commit();
  }
  EXPECT_TRUE(se.Seek({std::string("2024-05-12"), std::string("05"), 1LL, 2LL}));

  EXPECT_THROW(con.CommitTrans(), std::runtime_error);  // no transaction open
  con.BeginTrans();
  EXPECT_THROW(con.BeginTrans(), std::runtime_error);  // no nesting
  con.RollbackTrans();
  con.RollbackTrans();  // nothing open: harmless
}

TEST_F(DatabaseTest, SecondConnectionSeesOnlyCommittedRowsAndReconnectKeepsTablesUsable) {
  TConnection sokuho("conSokuhoRacese");
  sokuho.Connect(dir.path / kRaceseDbFile);
  TTable bulk(con, "馬毎レース情報");
  TTable live(sokuho, "馬毎レース情報");
  const TKey key{std::string("2024-05-12"), std::string("05"), 1LL, 1LL};

  con.BeginTrans();
  bulk.Insert(Entry("2024-05-12", "05", 1, 1, "A"));
  EXPECT_FALSE(live.Seek(key));
  con.CommitTrans();
  EXPECT_TRUE(live.Seek(key));

  // Closing drops the cached statements; the table works again after reconnecting.
  con.Disconnect();
  EXPECT_THROW(bulk.Seek(key), std::runtime_error);
  con.Connect(dir.path / kRaceseDbFile);
  EXPECT_TRUE(bulk.Seek(key));
}

TEST(ConnectionTest, ConnectNeverCreatesAFile) {
  test::TTempDir dir;
  const fs::path missing = dir.path / "code.db";
  TConnection con("conCode");
  EXPECT_THROW(con.Connect(missing), std::runtime_error);
  EXPECT_FALSE(con.Connected());
  EXPECT_FALSE(fs::exists(missing));
}

TEST(RowTest, ValuesReadAsTextAndInteger) {
  TRow r;
  r.Set("a", 42LL);
  r.Set("b", std::string(" 17 "));
  r.Set("c", std::string("1x"));
  r.Set("d", TValue{});
  r.Set("e", 2.5);
  r.Set("a", 43LL);  // setting again replaces
  EXPECT_EQ(r.Values().size(), 5u);
  EXPECT_EQ(r.Int("a"), 43);
  EXPECT_EQ(r.Text("a"), "43");
  EXPECT_EQ(r.Int("b"), 17);
  EXPECT_EQ(r.Int("c"), 0);
  EXPECT_EQ(r.Int("d"), 0);
  EXPECT_EQ(r.Text("d"), "");
  EXPECT_TRUE(r.IsNull("d"));
  EXPECT_TRUE(r.IsNull("missing"));
  EXPECT_EQ(r.Int("missing"), 0);
  EXPECT_EQ(r.Text("e"), "2.5");
}

}  // namespace
}  // namespace zelk
