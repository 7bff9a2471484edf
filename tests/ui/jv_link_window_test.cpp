#include "ui/data/jv_link_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>

#include "common/error_log.h"
#include "common/text_file.h"
#include "platform/file_data_link.h"
#include "support/fakes.h"
#include "support/import_fakes.h"

namespace zelk {
namespace {
namespace fs = std::filesystem;

class TCountingWriter final : public IRecordWriter {
 public:
  int* reflected;
  explicit TCountingWriter(int* r) : reflected(r) {}
  int OpenTables(const std::string&) override { return 0; }
  int CloseTables(const std::string&, bool) override { return 0; }
  int ReflectRecord(const std::string&) override { return ++*reflected, 0; }
  int ReflectSokuhoRecord(const std::string&) override { return 0; }
  int BeginSokuhoTables() override { return 0; }
  int EndSokuhoTables(bool) override { return 0; }
  void BeginSokuho(const TDateTime&) override {}
  void AddSokuho(const std::string&) override {}
  int WriteSokuho(const TDateTime&) override { return 0; }
  void ResetOddsFile() override {}
  int FlushOddsFile() override { return 0; }
};

class ImportWindowTest : public ::testing::Test {
 protected:
  ImportWindowTest()
      : dir(fs::temp_directory_path() /
            ("zelk_ui_import_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    host.race = host.racenv = "20240505123456";
    fs::remove_all(dir);
    fs::create_directories(dir);
    log = std::make_unique<TErrorLog>(dir, false, clock, &dialogs);
  }
  ~ImportWindowTest() override {
    window.reset();
    log.reset();
    fs::remove_all(dir);
  }
  fs::path Store(TLinkSide side) { return TFileDataLink::DefaultStoreFolder(dir, side); }
  TfrmDataLink& Open(TLinkVariant v) {
    auto side = v == TLinkVariant::Central ? TLinkSide::Central : TLinkSide::Local;
    auto link = std::make_unique<TFileDataLink>(Store(side));
    auto writer = std::make_unique<TCountingWriter>(&reflected);
    if (v == TLinkVariant::Central)
      window = std::make_unique<TfrmJVLink>(host, *log, std::move(writer), std::move(link), dialogs, clock);
    else
      window = std::make_unique<TfrmNVLink>(host, *log, std::move(writer), std::move(link), dialogs, clock);
    return *window;
  }
  bool Logged(const std::string& text) const {
    for (const auto& e : log->Entries())
      if (e.find(text) != std::string::npos) return true;
    return false;
  }

  fs::path dir;
  test::TFakeClock clock;
  test::TRecordingDialogs dialogs;
  std::unique_ptr<TErrorLog> log;
  test::TRecordingImportHost host;
  int reflected = 0;
  std::unique_ptr<TfrmDataLink> window;
};

TEST_F(ImportWindowTest, CreationFillsTheControls) {
  TfrmDataLink& w = Open(TLinkVariant::Central);
  EXPECT_EQ(w.windowTitle(), "JRA-VAN Data Lab.データ インポート処理");
  EXPECT_TRUE(Logged("[JRA-VAN Data Lab.データ インポート処理] 生成"));
  EXPECT_EQ(w.staPanels[0]->text(), "JV-Link : 4.0.0");
  EXPECT_EQ(w.staPanels[0]->width(), 130);
  EXPECT_EQ(w.staPanels[1]->width(), 295);
  EXPECT_EQ(w.edtSetupFromYY->text(), "2022");
  EXPECT_EQ(w.edtSetupFromMM->text(), "1");
  EXPECT_EQ(w.edtKobetsuDateRACE->text(), "2024/05/05");
  EXPECT_EQ(w.edtKobetsuTimeRACE->text(), "12:34:56");
  EXPECT_EQ(w.pagJVImport->currentIndex(), 0);
  EXPECT_EQ(w.pagJVImport->tabText(1), "対象データ設定");
  EXPECT_EQ(w.rgrShoriKubun->buttons().size(), 3);

  // Kinds show their own group; the setup-mode option belongs to the individual kind only.
  EXPECT_FALSE(w.grpSabun->isHidden());
  EXPECT_TRUE(w.grpKobetsuSettei->isHidden());
  EXPECT_TRUE(w.chkOptionSetup->isHidden());
  w.radKobetsu->setChecked(true);
  w.rgrShoriKubunClick();
  EXPECT_FALSE(w.grpKobetsuSettei->isHidden());
  EXPECT_FALSE(w.chkOptionSetup->isHidden());
  w.chkOptionSetup->setChecked(true);
  w.radSetup->setChecked(true);
  w.rgrShoriKubunClick();
  EXPECT_FALSE(w.grpSetup->isHidden());
  EXPECT_TRUE(w.chkOptionSetup->isHidden());
  EXPECT_FALSE(w.chkOptionSetup->isChecked());
}

TEST_F(ImportWindowTest, OldLocalLinkHasNoSetupKind) {
  WriteFileAtomic(Store(TLinkSide::Local) / "link.ini", "[Link]\r\nVersion=0202\r\n");
  TfrmDataLink& w = Open(TLinkVariant::Local);
  EXPECT_EQ(w.windowTitle(), "地方競馬データ インポート処理");
  EXPECT_EQ(w.staPanels[0]->text(), "UmaConn : 2.0.2");
  EXPECT_EQ(w.rgrShoriKubun->buttons().size(), 2);
}

TEST_F(ImportWindowTest, RefusedSetupYearFocusesTheYear) {
  TfrmDataLink& w = Open(TLinkVariant::Local);
  w.radSetup->setChecked(true);
  w.rgrShoriKubunClick();
  w.edtSetupFromYY->setText("2004");
  w.btnExecDownloadClick();
  ASSERT_EQ(dialogs.Texts(), (std::vector<std::string>{"開始年は2005年以降である必要があります"}));
  EXPECT_EQ(w.pagJVImport->currentIndex(), 1);
  EXPECT_TRUE(w.btnExecDownload->isEnabled());
}

TEST_F(ImportWindowTest, DownloadRunShowsTheMemoAndRendersScreenshots) {
  WriteFileAtomic(Store(TLinkSide::Central) / "server" / "RACE" / "20240512183000_RA.txt", "RA1\r\nRA2\r\n");
  TfrmDataLink& w = Open(TLinkVariant::Central);
  ASSERT_TRUE(w.RenderToPng(QString::fromStdString((dir / "idle.png").string())));
  w.btnExecDownload->click();
  QString memo = w.memLog->toPlainText();
  EXPECT_TRUE(memo.contains("中央競馬　蓄積系データのインポート開始"));
  EXPECT_TRUE(memo.contains("> 20240512183000_RA.txt 2件"));
  EXPECT_TRUE(memo.contains("全件DBに反映されました"));
  EXPECT_EQ(reflected, 2);
  EXPECT_EQ(host.race, "20240512183000");
  EXPECT_EQ(w.edtKobetsuDateRACE->text(), "2024/05/12");  // refilled from the new time stamp
  EXPECT_TRUE(w.btnExecDownload->isEnabled());
  EXPECT_TRUE(w.btnClose->isEnabled());
  ASSERT_TRUE(w.RenderToPng(QString::fromStdString((dir / "run.png").string())));
  EXPECT_GT(fs::file_size(dir / "idle.png"), 1000u);
  EXPECT_GT(fs::file_size(dir / "run.png"), 1000u);

  w.btnClose->click();
  EXPECT_TRUE(w.isHidden());
  EXPECT_TRUE(Logged("「閉じる」ボタン"));
}

// "中止" is pressed while the window waits for the download: the wait keeps events flowing.
TEST_F(ImportWindowTest, StopButtonWorksDuringTheDownloadWait) {
  for (int i = 1; i <= 3; ++i)
    WriteFileAtomic(Store(TLinkSide::Central) / "server" / "RACE" / ("2024051218300" + std::to_string(i) + "_RA.txt"),
                    "RA1\r\n");
  TfrmDataLink& w = Open(TLinkVariant::Central);
  QTimer::singleShot(0, w.btnStop, &QPushButton::click);
  w.btnExecDownload->click();
  QString memo = w.memLog->toPlainText();
  EXPECT_TRUE(memo.contains("> ダウンロード キャンセル")) << memo.toStdString();
  EXPECT_TRUE(memo.contains("ダウンロード・エラーコード = -901"));
  EXPECT_EQ(reflected, 0);
  EXPECT_EQ(host.race, "20240505123456");
  EXPECT_TRUE(w.btnExecDownload->isEnabled());
}

TEST_F(ImportWindowTest, PropertiesDialogChangesAndRemembersTheStore) {
  TFileDataLink link(Store(TLinkSide::Central));
  fs::path other = dir / "other";
  int rc = ShowLinkProperties(nullptr, TLinkVariant::Central, link, dir, [&](QDialog& dlg) {
    EXPECT_EQ(dlg.findChild<QLabel*>("lblVersion")->text(), "JV-Link : 4.0.0");
    dlg.findChild<QLineEdit*>("edtStoreFolder")->setText(QString::fromStdString(other.string()));
    dlg.accept();
  });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(link.StoreFolder(), other);
  EXPECT_EQ(TFileDataLink::ConfiguredStoreFolder(dir, TLinkSide::Central), other);

  rc = ShowLinkProperties(nullptr, TLinkVariant::Central, link, dir, [&](QDialog& dlg) {
    dlg.findChild<QLineEdit*>("edtStoreFolder")->setText("/nowhere");
    dlg.reject();
  });
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(link.StoreFolder(), other);
}

}  // namespace
}  // namespace zelk
