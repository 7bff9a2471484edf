#include "ui/common/option_setting_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <filesystem>

#include "common/config.h"
#include "support/fakes.h"

namespace zelk {
namespace fs = std::filesystem;
using test::TFakeClock;
using test::TRecordingDialogs;

class OptionSettingDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = fs::temp_directory_path() / ("zelk_option_dialog_test_" + std::to_string(::getpid()));
    fs::remove_all(app);
    fs::create_directories(app);
    cfg = std::make_unique<TConfig>(app, clock, &dialogs, nullptr);
  }
  void TearDown() override { fs::remove_all(app); }

  fs::path app;
  TFakeClock clock;
  TRecordingDialogs dialogs;
  std::unique_ptr<TConfig> cfg;
};

TEST_F(OptionSettingDialogTest, CategoriesSwitchPagesWithoutTabs) {
  TfrmOptionSetting dlg(*cfg, dialogs);
  EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("オプション"));
  ASSERT_EQ(dlg.tvwCategory->topLevelItemCount(), 4);
  QStringList names;
  for (int i = 0; i < 4; ++i) names << dlg.tvwCategory->topLevelItem(i)->text(0);
  EXPECT_EQ(names, QStringList({QString::fromUtf8("システム"), QString::fromUtf8("オッズ設定"),
                                QString::fromUtf8("馬券シミュレーション"), QString::fromUtf8("単勝率調整")}));
  EXPECT_EQ(dlg.CurrentPage(), 0);
  auto labels = dlg.pages->widget(0)->findChildren<QLabel*>();
  ASSERT_FALSE(labels.isEmpty());
  EXPECT_EQ(labels[0]->text(), QString::fromUtf8("左側のオプションを選択して下さい。"));

  emit dlg.tvwCategory->itemClicked(dlg.tvwCategory->topLevelItem(3), 0);
  EXPECT_EQ(dlg.CurrentPage(), 4);
  EXPECT_EQ(dlg.pages->currentWidget(), dlg.edtMinTanshoRitsu->parentWidget());
  dlg.ShowCategory(QString::fromUtf8("オッズ設定"));
  EXPECT_EQ(dlg.pages->currentWidget(), dlg.chkSetMaxOddsSanrentan->parentWidget());
  dlg.ShowCategory("other");
  EXPECT_EQ(dlg.CurrentPage(), 0);
}

TEST_F(OptionSettingDialogTest, OkRefusesACommitCountThatIsNotAPositiveWord) {
  for (const char* text : {"0", "-5", "abc", "", "70000"}) {
    TfrmOptionSetting dlg(*cfg, dialogs);
    dlg.show();
    dlg.activateWindow();
    QApplication::processEvents();
    dlg.ShowCategory(QString::fromUtf8("単勝率調整"));
    dlg.edtCommitKensuJV->setText(text);
    dlg.chkLogOutput->setChecked(false);
    dialogs.shown.clear();
    EXPECT_FALSE(dlg.ConfirmOk()) << text;
    ASSERT_EQ(dialogs.shown.size(), 1u) << text;
    EXPECT_EQ(dialogs.shown[0].kind, TDialogKind::Warning);
    EXPECT_EQ(dialogs.shown[0].text, "1以上の整数を入力する必要があります");
    EXPECT_EQ(dlg.CurrentPage(), 1) << text;
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), dlg.edtCommitKensuJV) << text;
    EXPECT_TRUE(cfg->LogOutput) << "nothing copied back for " << text;
  }
  EXPECT_FALSE(fs::exists(app / "zelk.ini"));
}

TEST_F(OptionSettingDialogTest, OkCopiesValuesBackAndSavesOnlyWhenChanged) {
  {
    TfrmOptionSetting dlg(*cfg, dialogs);
    EXPECT_EQ(dlg.edtCommitKensuJV->text(), "500");
    EXPECT_EQ(dlg.edtMinTanshoRitsu->text(), "0.1");
    EXPECT_TRUE(dlg.radHaibunTekichuRitsuKubun[2]->isChecked());
    EXPECT_FALSE(dlg.grpTotalHyosu->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.edtTotalHyosu[4]->text(), "1600");
    ASSERT_TRUE(dlg.ConfirmOk());
    EXPECT_FALSE(fs::exists(app / "zelk.ini")) << "nothing changed, nothing saved";
  }
  TfrmOptionSetting dlg(*cfg, dialogs);
  dlg.edtCommitKensuJV->setText(" 1000");
  dlg.edtLogHozonKikan->setText("x");  // unreadable integer: 0
  dlg.chkMainToolBarVisible->setChecked(true);
  dlg.radWideTekiyo[1]->setChecked(true);
  dlg.radHaibunTekichuRitsuKubun[0]->setChecked(true);
  dlg.radTanshoRitsuChoseiOption[2]->setChecked(true);
  dlg.edtTanshoRitsuGosaHosei->setText("1.25");
  dlg.edtTanshoRitsuGensanKeisu->setText("?");  // unreadable decimal: 0
  dlg.edtTotalHyosu[0]->setText("999");         // hidden group: never written back
  dlg.edtSimulationEndSoundFileName->setText("/snd/終了.wav");
  ASSERT_TRUE(dlg.ConfirmOk());
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(cfg->CommitKensuJV, 1000);
  EXPECT_EQ(cfg->LogHozonKikan, 0);
  EXPECT_TRUE(cfg->MainToolBarVisible);
  EXPECT_EQ(cfg->DenmaWideTekiyo, 1);
  EXPECT_EQ(cfg->DenmaFukushoTekiyo, 0);
  EXPECT_EQ(cfg->HaibunTekichuRitsuKubun, 0);
  EXPECT_EQ(cfg->TanshoRitsuChoseiOption, 2);
  EXPECT_EQ(cfg->TanshoRitsuGosaHosei, 12500);
  EXPECT_EQ(cfg->TanshoRitsuGensanKeisu, 0);
  EXPECT_EQ(cfg->TotalHyosuTansyo, 50);
  EXPECT_EQ(cfg->SimulationEndSoundFileName, "/snd/終了.wav");

  TConfig reread(app, clock, &dialogs, nullptr);
  ASSERT_TRUE(reread.LoadSettings());
  EXPECT_EQ(reread.CommitKensuJV, 1000);
  EXPECT_EQ(reread.TanshoRitsuGosaHosei, 12500);
}

TEST_F(OptionSettingDialogTest, SoundButtonsUseTheHooks) {
  cfg->SimulationEndSoundFileName = "/sounds/old/end.wav";
  TfrmOptionSetting dlg(*cfg, dialogs);
  std::string startedIn, played;
  dlg.ChooseSoundFile = [&](const std::string& folder) {
    startedIn = folder;
    return std::string("/sounds/new.wav");
  };
  dlg.PlaySound = [&](const std::string& file) { played = file; };
  dlg.btnSoundFileChange->click();
  EXPECT_EQ(startedIn, "/sounds/old");
  EXPECT_EQ(dlg.edtSimulationEndSoundFileName->text(), "/sounds/new.wav");
  dlg.btnSoundPlay->click();
  EXPECT_EQ(played, "/sounds/new.wav");
  dlg.ChooseSoundFile = [](const std::string&) { return std::string(); };  // cancelled
  dlg.btnSoundFileChange->click();
  EXPECT_EQ(dlg.edtSimulationEndSoundFileName->text(), "/sounds/new.wav");
}

TEST_F(OptionSettingDialogTest, RendersToPng) {
  fs::path png = app / "options.png";
  ASSERT_TRUE(
      RenderOptionSettingPng(*cfg, dialogs, QString::fromUtf8("システム"), QString::fromStdString(png.string())));
  QImage image(QString::fromStdString(png.string()));
  EXPECT_GE(image.width(), 600);
  EXPECT_GE(image.height(), 380);
}

}  // namespace zelk
