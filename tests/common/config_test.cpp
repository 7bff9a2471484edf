#include "common/config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/cp932.h"
#include "common/text_file.h"
#include "support/fakes.h"

namespace zelk {
namespace fs = std::filesystem;
using test::TFakeClock;
using test::TMemoryRegistry;
using test::TRecordingDialogs;

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = fs::temp_directory_path() / ("zelk_config_test_" + std::to_string(::getpid()));
    fs::remove_all(app);
    fs::create_directories(app);
  }
  void TearDown() override { fs::remove_all(app); }

  std::unique_ptr<TConfig> Make() { return std::make_unique<TConfig>(app, clock, &dialogs, &registry); }
  void WriteIni(const std::vector<std::string>& lines) { WriteTextLines(app / "zelk.ini", lines); }
  TIniFile WrittenIni() {
    TIniFile ini(app / "zelk.ini");
    ini.Load();
    return ini;
  }

  fs::path app;
  TFakeClock clock{{2024, 5, 12, 10, 0, 0, 0}};
  TRecordingDialogs dialogs;
  TMemoryRegistry registry;
};

TEST_F(ConfigTest, DefaultsWithoutFileAndTheFullFirstSave) {
  auto cfg = Make();
  ASSERT_TRUE(cfg->LoadSettings());
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(cfg->CommitKensuJV, 500);
  EXPECT_EQ(cfg->RACE, "20240505100000");
  EXPECT_EQ(cfg->RACENV, "20240505100000");
  EXPECT_EQ(cfg->UmaConnCheckMonth, "202404");
  EXPECT_EQ(cfg->LatestDate, "20240412100000");
  EXPECT_EQ(cfg->BackUpDir, (app / "backup").string());
  EXPECT_EQ(cfg->IpatLatestKanriDate, MakeDate(2024, 5, 11));
  EXPECT_EQ(cfg->MinTanshoRitsu, 1000);
  EXPECT_EQ(cfg->TanshoRitsuGosaHosei, 10000);
  EXPECT_EQ(cfg->HaibunTekichuRitsuKubun, 2);
  EXPECT_TRUE(cfg->FormMainMaximize);
  EXPECT_EQ(cfg->ColShushiKanriDetailBetShushi, 85);
  EXPECT_EQ(cfg->SimulationJokenNumber("SimulationJokenJRAFlagIndex"), 0);
  EXPECT_EQ(cfg->SimulationJokenNumber("SimulationJokenJomeiIndex"), -1);
  EXPECT_TRUE(cfg->SimulationJokenFlag("SimulationJokenBabaJotai4"));
  EXPECT_FALSE(cfg->SimulationJokenFlag("SimulationJokenKyoriRange"));
  EXPECT_EQ(cfg->SimulationJokenNumber("SimulationJokenTekichuRitsuChoseiKeisu"), 10000);

  EXPECT_EQ(cfg->DbDir(), app / "db");
  EXPECT_EQ(cfg->NarTimetableFile(), app / "db" / "NAR" / "TU.DAT");
  EXPECT_EQ(cfg->XipatSettingFile(), app / "xipatsetting.ini");
  EXPECT_EQ(TConfig(app / "", clock, nullptr, nullptr).AppDir(), app);

  cfg->SimulationEndSoundFileName = "終了音.wav";
  ASSERT_TRUE(cfg->SaveSettings());
  std::string bytes = ReadFileBytes(app / "zelk.ini");
  std::string head = "[System]\r\nBackUpDir=" + (app / "backup").string() +
                     "\r\nLogOutput=1\r\nAutoDelete=1\r\nLogHozonKikan=7\r\nSokuhoDataHozonKikan=14\r\n\r\n"
                     "[Database]\r\nDatabaseDriver=Access\r\nCommitKensuJV=500\r\n\r\n"
                     "[UmaConn]\r\nUmaConnCheckMonth=202404\r\n\r\n"
                     "[CurrentInformation]\r\nRACE=20240505100000\r\nRACENV=20240505100000\r\nFormMainTop=0\r\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_NE(bytes.find(Utf8ToCp932("SimulationEndSoundFileName=終了音.wav\r\n")), std::string::npos);
  for (const char* line : {"TanshoRitsuGensanKeisu=1\r\n", "MinTanshoRitsu=0.1\r\n", "SimulationJokenYY1=\r\n",
                           "SimulationJokenBabaJotai1=1\r\n", "SimulationJokenTrackIndex=-1\r\n",
                           "IpatLatestKanriDate=2024/05/11\r\n", "NARLatestUpdateTime=\r\n"})
    EXPECT_NE(bytes.find(line), std::string::npos) << line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
    }
  }

  TIniFile ini = WrittenIni();
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"System", "Database", "UmaConn", "CurrentInformation",
                                                      "CustomSetting", "ColWidths", "Ipat", "NAR"}));
  auto custom = ini.Keys("CustomSetting");
  const auto& sim = TConfig::SimulationJokenKeys();
  ASSERT_EQ(custom.size(), 17 + sim.size() + 12);
  EXPECT_EQ(custom[0], "MainToolBarVisible");
  EXPECT_EQ(custom[16], "MinTanshoRitsu");
  EXPECT_EQ(custom[17], "SimulationJokenYY1");
  EXPECT_EQ(custom[17 + sim.size() - 1], "SimulationJokenFrmHeikinTekichuRitsuKeisu3_2");
  EXPECT_EQ(custom[17 + sim.size()], "ShushiKanriRaceHeight");
  EXPECT_EQ(custom.back(), "LatestDate");
  EXPECT_EQ(ini.Keys("ColWidths").front(), "ColShushiKanriDetailUkeNo");
  EXPECT_EQ(ini.Keys("Ipat").front(), "AutoZandakaKanri");
  EXPECT_EQ(ini.Keys("NAR").size(), 7u);
}

TEST_F(ConfigTest, EveryValueSurvivesSaveAndLoad) {
  auto cfg = Make();
  cfg->CommitKensuJV = 1000;
  cfg->LogOutput = false;
  cfg->RACE = "20240101000000";
  cfg->DenmaWideTekiyo = 2;
  cfg->MinTanshoRitsu = 12345;
  cfg->TanshoRitsuGensanKeisu = -5000;
  cfg->ColShushiKanriDetailKaime = 200;
  cfg->DeleteYY2 = "2023";
  cfg->IpatLatestKaishiKingaku = 3000000000LL;
  cfg->IpatLatestKanriDate = {2024, 5, 11, 9, 5, 3, 0};
  cfg->NARLatestUpdateTime = "05/11 09:05";
  // Every simulation-condition key gets a value different from its default.
  const auto& keys = TConfig::SimulationJokenKeys();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (std::holds_alternative<std::string>(keys[i].def))
      cfg->SetSimulationJoken(keys[i].key, keys[i].key + "値");
    else if (std::holds_alternative<bool>(keys[i].def))
      cfg->SetSimulationJoken(keys[i].key, !std::get<bool>(keys[i].def));
    else
      cfg->SetSimulationJoken(keys[i].key,
                              static_cast<long long>(keys[i].type == TSettingType::Byte ? i % 200 : i * 7));
  }
  ASSERT_TRUE(cfg->SaveSettings());

  TIniFile ini = WrittenIni();
  EXPECT_EQ(ini.Find("CustomSetting", "MinTanshoRitsu"), "1.2345");
  EXPECT_EQ(ini.Find("CustomSetting", "TanshoRitsuGensanKeisu"), "-0.5");
  EXPECT_EQ(ini.Find("Ipat", "IpatLatestKanriDate"), "2024/05/11 9:05:03");

  auto back = Make();
  ASSERT_TRUE(back->LoadSettings());
  EXPECT_EQ(back->CommitKensuJV, 1000);
  EXPECT_FALSE(back->LogOutput);
  EXPECT_EQ(back->RACE, "20240101000000");
  EXPECT_EQ(back->DenmaWideTekiyo, 2);
  EXPECT_EQ(back->MinTanshoRitsu, 12345);
  EXPECT_EQ(back->TanshoRitsuGensanKeisu, -5000);
  EXPECT_EQ(back->ColShushiKanriDetailKaime, 200);
  EXPECT_EQ(back->DeleteYY2, "2023");
  EXPECT_EQ(back->IpatLatestKaishiKingaku, 3000000000LL);
  EXPECT_EQ(back->IpatLatestKanriDate, (TDateTime{2024, 5, 11, 9, 5, 3, 0}));
  EXPECT_EQ(back->NARLatestUpdateTime, "05/11 09:05");
  for (const auto& k : keys) EXPECT_EQ(back->SimulationJoken(k.key), cfg->SimulationJoken(k.key)) << k.key;
}

TEST_F(ConfigTest, OutOfRangeCommitCountStopsLoadingAndLaterKeysReadAsZero) {
  WriteIni({"[System]", "LogHozonKikan=30", "[Database]", "CommitKensuJV=70000", "[CustomSetting]",
            "MainToolBarVisible=1", "DenmaFukushoTekiyo=2", "TotalHyosuTansyo=80"});
  auto cfg = Make();
  EXPECT_FALSE(cfg->LoadSettings());
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, TDialogKind::Error);
  EXPECT_EQ(dialogs.shown[0].text, "SYSTEM-ERROR\r\n設定ファイル読込エラー");
  // Read before the failing key.
  EXPECT_EQ(cfg->LogHozonKikan, 30);
  EXPECT_TRUE(cfg->MainToolBarVisible);
  EXPECT_EQ(cfg->SokuhoDataHozonKikan, 14);
  // The failing key and every key after it: empty or zero, not their defaults.
  EXPECT_EQ(cfg->CommitKensuJV, 0);
  EXPECT_EQ(cfg->DenmaFukushoTekiyo, 0);
  EXPECT_EQ(cfg->TotalHyosuTansyo, 0);
  EXPECT_EQ(cfg->HaibunTekichuRitsuKubun, 0);
  EXPECT_FALSE(cfg->SimulationJokenFlag("SimulationJokenBabaJotai1"));
  EXPECT_EQ(cfg->ColShushiKanriDetailKaime, 0);
  EXPECT_TRUE(cfg->LatestDate.empty());

  // Saving afterwards does not wipe what the load never reached; values given since are written.
  cfg->DenmaWideTekiyo = 1;
  ASSERT_TRUE(cfg->SaveSettings());
  TIniFile ini = WrittenIni();
  EXPECT_EQ(ini.Find("Database", "CommitKensuJV"), "70000");
  EXPECT_EQ(ini.Find("CustomSetting", "DenmaFukushoTekiyo"), "2");
  EXPECT_EQ(ini.Find("CustomSetting", "TotalHyosuTansyo"), "80");
  EXPECT_EQ(ini.Find("CustomSetting", "DenmaWideTekiyo"), "1");
  EXPECT_EQ(ini.Find("System", "LogHozonKikan"), "30");
  EXPECT_FALSE(ini.Find("ColWidths", "ColShushiKanriDetailKaime").has_value());
}

TEST_F(ConfigTest, ByteAndWordLimits) {
  struct Case {
    const char* section;
    const char* line;
    bool loads;
  } cases[] = {
      {"CustomSetting", "DenmaFukushoTekiyo=255", true},      {"CustomSetting", "DenmaFukushoTekiyo=256", false},
      {"CustomSetting", "DenmaFukushoTekiyo=-1", false},      {"Database", "CommitKensuJV=65535", true},
      {"ColWidths", "ColShushiKanriDetailTime=65536", false}, {"CustomSetting", "SimulationJokenHoshiki=300", false},
      {"CustomSetting", "ShushiKanriRaceHeight=abc", true},  // unreadable: the default
  };
  for (const auto& c : cases) {
    WriteIni({std::string("[") + c.section + "]", c.line});
    dialogs.shown.clear();
    EXPECT_EQ(Make()->LoadSettings(), c.loads) << c.line;
    EXPECT_EQ(dialogs.shown.size(), c.loads ? 0u : 1u) << c.line;
  }
}

TEST_F(ConfigTest, ReadsBooleansDecimalsIntegersAndDatesLikeTheSettingsFileWritesThem) {
  struct Case {
    const char* key;  // in [CustomSetting] unless it is a date
    const char* text;
    long long expected;  // booleans 0/1, decimals x 10000
  } cases[] = {
      {"SetMaxOddsSanrentan", "1", 1},         {"SetMaxOddsSanrentan", "0", 0},   {"SetMaxOddsSanrentan", "2", 1},
      {"SetMaxOddsSanrentan", "-1", 1},        {"RaceTekichuRitsu100", "yes", 0}, {"DeleteRace", "", 1},
      {"MinTanshoRitsu", "0.1", 1000},         {"MinTanshoRitsu", "2", 20000},    {"MinTanshoRitsu", "1.23456", 12346},
      {"MinTanshoRitsu", "0.00005", 0},        {"MinTanshoRitsu", "0.00015", 2},  {"MinTanshoRitsu", "-0.5", -5000},
      {"MinTanshoRitsu", "1e-1", 1000},        {"MinTanshoRitsu", "0,5", 1000},   {"MinTanshoRitsu", " .25", 2500},
      {"TotalHyosuTansyo", " 12", 12},         {"TotalHyosuTansyo", "$10", 16},   {"TotalHyosuTansyo", "1x", 50},
      {"TotalHyosuTansyo", "99999999999", 50},
  };
  for (const auto& c : cases) {
    WriteIni({"[CustomSetting]", std::string(c.key) + "=" + c.text});
    auto cfg = Make();
    ASSERT_TRUE(cfg->LoadSettings()) << c.key << "=" << c.text;
    long long got = std::string(c.key) == "SetMaxOddsSanrentan"   ? cfg->SetMaxOddsSanrentan
                    : std::string(c.key) == "RaceTekichuRitsu100" ? cfg->RaceTekichuRitsu100
                    : std::string(c.key) == "DeleteRace"          ? cfg->DeleteRace
                    : std::string(c.key) == "MinTanshoRitsu"      ? cfg->MinTanshoRitsu
                                                                  : cfg->TotalHyosuTansyo;
    EXPECT_EQ(got, c.expected) << c.key << "=" << c.text;
  }

  struct DateCase {
    const char* text;
    TDateTime expected;
  } dates[] = {
      {"2024/03/09", MakeDate(2024, 3, 9)},
      {"2024/03/09 9:05:03", {2024, 3, 9, 9, 5, 3, 0}},
      {"2024/02/30", MakeDate(2024, 5, 11)},  // not a date: yesterday
      {"", MakeDate(2024, 5, 11)},
  };
  for (const auto& d : dates) {
    WriteIni({"[NAR]", std::string("NARLatestKanriDate=") + d.text});
    auto cfg = Make();
    ASSERT_TRUE(cfg->LoadSettings());
    EXPECT_EQ(cfg->NARLatestKanriDate, d.expected) << d.text;
  }
}

TEST_F(ConfigTest, SaveFailureShowsTheWriteErrorAndKeepsTheFile) {
  fs::create_directories(app / "zelk.ini");  // cannot be replaced by a file
  auto cfg = Make();
  EXPECT_FALSE(cfg->SaveSettings());
  ASSERT_EQ(dialogs.Texts(), std::vector<std::string>{"SYSTEM-ERROR\r\n設定ファイル書込エラー"});
  EXPECT_TRUE(fs::is_directory(app / "zelk.ini"));
}

TEST_F(ConfigTest, SimulationConditionAccessorsKeepTheKeysTypes) {
  auto cfg = Make();
  cfg->SetSimulationJoken("SimulationJokenKyori1", "1600");
  cfg->SetSimulationJoken("SimulationJokenTrackIndex", 3);
  cfg->SetSimulationJoken("SimulationJokenKyoriRange", true);
  EXPECT_EQ(cfg->SimulationJokenText("SimulationJokenKyori1"), "1600");
  EXPECT_EQ(cfg->SimulationJokenNumber("SimulationJokenTrackIndex"), 3);
  EXPECT_TRUE(cfg->SimulationJokenFlag("SimulationJokenKyoriRange"));
  EXPECT_THROW(cfg->SetSimulationJoken("SimulationJokenKyori1", 5), std::invalid_argument);
  EXPECT_THROW(cfg->SetSimulationJoken("SimulationJokenKyoriRange", "1"), std::invalid_argument);
  EXPECT_THROW(cfg->SimulationJoken("SimulationJokenNoSuchKey"), std::out_of_range);
  EXPECT_THROW(cfg->SimulationJokenFlag("SimulationJokenKyori1"), std::invalid_argument);
}

TEST_F(ConfigTest, LastImportTimeAnswersOnlyToTheNameRace) {
  auto cfg = Make();
  cfg->SetLastImportTime("RACE", "20240510120000");
  cfg->SetLastImportTime("RACENV", "19990101000000");
  cfg->SetLastImportTimeNV("RACE", "20240511120000");
  std::string out = "unchanged", outNV;
  cfg->GetLastImportTime("OTHER", out);
  EXPECT_EQ(out, "unchanged");
  cfg->GetLastImportTime("RACE", out);
  cfg->GetLastImportTimeNV("RACE", outNV);
  EXPECT_EQ(out, "20240510120000");
  EXPECT_EQ(outNV, "20240511120000");
}

class ConfigAccountTest : public ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    auto& key = registry.keys[kZelkaroRegistryKey];
    key["IPATCODE1"] = "1,short,A";  // too few items: skipped
    key["IPATCODE2"] = "1,二番,INET0002,KANY0002,0002,PARS";
    key["IPATCODE3"] = "0,\"三番 口座\",INET0003,KANY0003,0003,PAR3";
    key["IPATCODE4"] = "1,四番,INET0004,KANY0004,0004,PAR4";
    key["RAKUTENCODE1"] = "1,楽天,ID1,PW1,PIN1";
    key["RAKUTENCODE2"] = "0,楽天2,ID2,PW2,PIN2";
  }
};

TEST_F(ConfigAccountTest, LaterFlaggedAccountIsTheSelectedOne) {
  auto cfg = Make();
  ASSERT_TRUE(cfg->LoadSettings());
  EXPECT_EQ(cfg->SelectedIpatAccountNo, 4);
  EXPECT_EQ(cfg->SelectedIpat, (TIpatCredentials{"INET0004", "KANY0004", "0004", "PAR4"}));
  EXPECT_TRUE(cfg->IpatAccount(1).Name.empty());
  EXPECT_EQ(cfg->IpatAccount(3).Name, "三番 口座");
  EXPECT_EQ(cfg->IpatAccount(2).Codes.ParsNo, "PARS");
  EXPECT_TRUE(cfg->IpatAccount(9).Name.empty());
  EXPECT_EQ(cfg->SelectedRakutenAccountNo, 1);
  EXPECT_EQ(cfg->RakutenAccount(2).Codes, (TRakutenCredentials{"ID2", "PW2", "PIN2"}));
  EXPECT_TRUE(cfg->CurrentIpat == TIpatCredentials{});

  // Without the key the table stays as it was; only the selection is cleared.
  registry.keys.clear();
  cfg->LoadIpatAccounts();
  EXPECT_EQ(cfg->SelectedIpatAccountNo, 0);
  EXPECT_EQ(cfg->IpatAccount(4).Name, "四番");
}

TEST_F(ConfigAccountTest, ChangingTheAccountInUseDeletesTheBettingLibrarySettings) {
  auto cfg = Make();
  cfg->LoadSettings();
  auto touch = [&] { WriteTextLines(cfg->XipatSettingFile(), {"[x]"}); };
  touch();
  EXPECT_TRUE(cfg->UseSelectedIpatAccount());
  EXPECT_FALSE(fs::exists(cfg->XipatSettingFile()));
  EXPECT_EQ(cfg->CurrentIpat.InetID, "INET0004");

  touch();
  EXPECT_FALSE(cfg->UseIpatAccount(4));  // already in use
  EXPECT_FALSE(cfg->UseSelectedIpatAccount());
  EXPECT_FALSE(cfg->UseIpatAccount(0));
  EXPECT_FALSE(cfg->UseIpatAccount(6));
  EXPECT_TRUE(fs::exists(cfg->XipatSettingFile()));
  EXPECT_EQ(cfg->CurrentIpat.InetID, "INET0004");

  EXPECT_TRUE(cfg->UseIpatAccount(3));
  EXPECT_FALSE(fs::exists(cfg->XipatSettingFile()));
  EXPECT_EQ(cfg->CurrentIpat, cfg->IpatAccount(3).Codes);

  cfg->ClearCurrentCredentials();
  EXPECT_TRUE(cfg->UseIpatAccount(3));
}

TEST_F(ConfigAccountTest, RakutenAccountChangedOnlyWhileLoggedIn) {
  auto cfg = Make();
  cfg->LoadSettings();
  cfg->CurrentRakuten = cfg->RakutenAccount(1).Codes;
  EXPECT_FALSE(cfg->RakutenAccountChanged(2));
  cfg->NVLoggedIn = true;
  EXPECT_FALSE(cfg->RakutenAccountChanged(1));
  EXPECT_TRUE(cfg->RakutenAccountChanged(2));
  EXPECT_TRUE(cfg->RakutenAccountChanged(0));
}

TEST_F(ConfigTest, CompanionFolderNeedsTheExactDisplayName) {
  auto entry = [](const char* id) {
    return RegistryKeyPath(kHkeyLocalMachine, std::string(kUninstallKeyPath) + "\\" + id);
  };
  struct Case {
    std::optional<std::string> displayName;
    std::string location, expected;
  } cases[] = {
      {"ミラノーヴァＱ", "/opt/milanova\\", "/opt/milanova"},
      {"ミラノーヴァＱ", "/opt/milanova/", "/opt/milanova"},
      {"ミラノーヴァQ", "/opt/milanova", ""},  // half-width Q
      {"ミラノーヴァＱ ", "/opt/milanova", ""},
      {std::nullopt, "/opt/milanova", ""},
  };
  for (const auto& c : cases) {
    registry.keys.clear();
    auto& values = registry.keys[entry(kCompanionAIdentifier)];
    if (c.displayName) values["DisplayName"] = *c.displayName;
    values["InstallLocation"] = c.location;
    EXPECT_EQ(Make()->CompanionAFolder, c.expected) << c.displayName.value_or("(none)");
  }
  registry.keys.clear();
  registry.keys[entry(kCompanionBIdentifier)] = {{"DisplayName", "トレモリアス"}, {"InstallLocation", "/opt/tr"}};
  auto cfg = Make();
  EXPECT_EQ(cfg->CompanionBFolder, "/opt/tr");
  EXPECT_TRUE(cfg->CompanionAFolder.empty());
  registry.keys.clear();
  cfg->FindCompanionBFolder();
  EXPECT_TRUE(cfg->CompanionBFolder.empty());
}

}  // namespace zelk
