#pragma once
// The settings object of the process: the values of "zelk.ini" in the application folder,
// the paths derived from that folder, the betting accounts of the registry, the companion
// products' install folders and the run-time flags of start-up.
//
// Every key of zelk.ini is a public member named as the key, except the simulation-condition
// keys of CustomSetting, which are reached through SimulationJoken(key). Decimals are held as
// the value x 10000 (1.0 = 10000).
#include <array>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "common/date_time.h"
#include "common/ini_file.h"
#include "common/registry.h"
#include "common/ui_services.h"

namespace zelk {

// How a key's text in the settings file is read and written.
enum class TSettingType {
  String,    // as written
  Integer,   // decimal text
  Byte,      // decimal text, 0-255; a larger value stops loading
  Word,      // decimal text, 0-65535; a larger value stops loading
  Boolean,   // "1" / "0"; any non-zero integer reads true
  Decimal,   // "." decimal text; x 10000 in memory
  DateTime,  // "yyyy/MM/dd" [+ " h:mm:ss"]
};

// A simulation-condition value: text, number (integers and bytes as they are, decimals x 10000)
// or flag.
using TJokenValue = std::variant<std::string, long long, bool>;

struct TSimulationJokenKey {
  std::string key;
  TSettingType type;
  TJokenValue def;
};

struct TIpatCredentials {
  std::string InetID, KanyushaNo, AnshoNo, ParsNo;
  bool operator==(const TIpatCredentials&) const = default;
};

struct TIpatAccount {
  std::string Name;
  TIpatCredentials Codes;
};

struct TRakutenCredentials {
  std::string Code1, Code2, Code3;
  bool operator==(const TRakutenCredentials&) const = default;
};

struct TRakutenAccount {
  std::string Name;
  TRakutenCredentials Codes;
};

inline constexpr const char* kSettingsFileName = "zelk.ini";
inline constexpr const char* kSettingsReadError = "SYSTEM-ERROR\r\n設定ファイル読込エラー";
inline constexpr const char* kSettingsWriteError = "SYSTEM-ERROR\r\n設定ファイル書込エラー";
// Uninstall entries of the two companion products, below
// HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall.
inline constexpr const char* kUninstallKeyPath = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kCompanionAIdentifier = "MilanovaQ_is1";
inline constexpr const char* kCompanionBIdentifier = "Tremolias_is1";
inline constexpr const char* kCompanionADisplayName = "ミラノーヴァＱ";
inline constexpr const char* kCompanionBDisplayName = "トレモリアス";

class TConfig {
 public:
  // Computes the derived paths and defaults (every member starts at its default), finds both
  // companion folders and clears the credentials in use. Does not read the settings file.
  // `dialogs` and `registry` may be null (no messages; no accounts, no companions).
  TConfig(std::filesystem::path appDir, const IClock& clock, IDialogs* dialogs, IRegistry* registry);
  TConfig(const TConfig&) = delete;
  TConfig& operator=(const TConfig&) = delete;

  // Reads every key, then the IPAT and Rakuten accounts. A read failure (unreadable file, byte or
  // word key out of range) shows the read-error message and stops there: the keys not yet read
  // stay empty or zero. False after such a failure.
  bool LoadSettings();
  // Writes every key in file order and replaces the file atomically. A failure shows the
  // write-error message and leaves the file as it was. After a load that stopped early, keys the
  // load never reached are written only when they were given a value since.
  bool SaveSettings();

  // Derived paths.
  const std::filesystem::path& AppDir() const { return appDir_; }
  std::filesystem::path SettingsFile() const { return appDir_ / kSettingsFileName; }
  std::filesystem::path DbDir() const { return appDir_ / "db"; }
  std::filesystem::path NarTimetableFile() const { return DbDir() / "NAR" / "TU.DAT"; }
  std::filesystem::path XipatSettingFile() const { return appDir_ / "xipatsetting.ini"; }
  // The three database file names, in this order: race, code, racese.
  static const std::array<std::string, 3>& DatabaseFileNames();
  // Races before this date are treated specially by the race loader.
  static TDateTime FixedDate() { return MakeDate(2005, 1, 1); }

  // Time stamp of the next difference import; `name` must be "RACE", otherwise nothing happens.
  void GetLastImportTime(const std::string& name, std::string& text) const;
  void SetLastImportTime(const std::string& name, const std::string& text);
  void GetLastImportTimeNV(const std::string& name, std::string& text) const;
  void SetLastImportTimeNV(const std::string& name, const std::string& text);

  // Betting accounts (registry HKEY_CURRENT_USER\Software\ZELKARO, IPATCODE1-5 / RAKUTENCODE1-5).
  void LoadIpatAccounts();
  void LoadRakutenAccounts();
  void ClearCurrentCredentials();
  // Makes the selected (or the given 1-5) IPAT account the one in use. True when that changed the
  // credentials in use; the betting library's settings file of the previous account is deleted then.
  bool UseSelectedIpatAccount();
  bool UseIpatAccount(int accountNo);
  // False when not logged in; otherwise true when the Rakuten credentials in use differ from the
  // account's (an account number outside 1-5 counts as different).
  bool RakutenAccountChanged(int accountNo) const;
  const TIpatAccount& IpatAccount(int accountNo) const;  // 1-5; others give an empty account
  const TRakutenAccount& RakutenAccount(int accountNo) const;

  // Companion install folders, refreshed from their uninstall entries.
  void FindCompanionAFolder();
  void FindCompanionBFolder();

  // Simulation-condition keys of CustomSetting, in file order.
  static const std::vector<TSimulationJokenKey>& SimulationJokenKeys();
  // Throws std::out_of_range for a key that is not a simulation-condition key.
  const TJokenValue& SimulationJoken(const std::string& key) const;
  std::string SimulationJokenText(const std::string& key) const;
  long long SimulationJokenNumber(const std::string& key) const;
  bool SimulationJokenFlag(const std::string& key) const;
  // Throws std::out_of_range for an unknown key and std::invalid_argument when the value's kind
  // does not fit the key's type.
  void SetSimulationJoken(const std::string& key, TJokenValue value);

  // [System]
  std::string BackUpDir;
  bool LogOutput = true;
  bool AutoDelete = true;
  int LogHozonKikan = 7;
  int SokuhoDataHozonKikan = 14;
  // [Database]
  std::string DatabaseDriver = "Access";
  int CommitKensuJV = 500;
  // [UmaConn]
  std::string UmaConnCheckMonth;
  // [CurrentInformation]
  std::string RACE, RACENV;
  int FormMainTop = 0, FormMainLeft = 0, FormMainHeight = 740, FormMainWidth = 1024;
  bool FormMainMaximize = true;
  bool ChildFormMaximize = false;
  int FormBakenSimulationHeight = 0, FormBakenSimulationWidth = 0;
  int FormShushiKanriHeight = 0, FormShushiKanriWidth = 0;
  int FormAutoHandleHeight = 0, FormAutoHandleWidth = 0;
  int FormAutoHandlePnlShuryoJokenHeight = 83;
  // [CustomSetting] general keys
  bool MainToolBarVisible = false;
  int DenmaFukushoTekiyo = 0;
  int DenmaWideTekiyo = 0;
  int TotalHyosuTansyo = 50, TotalHyosuUmaren = 170, TotalHyosuUmatan = 250;
  int TotalHyosuSanrenpuku = 400, TotalHyosuSanrentan = 1600;
  bool SetMaxOddsSanrentan = false;
  bool SimulationEndSound = false;
  std::string SimulationEndSoundFileName;
  int HaibunTekichuRitsuKubun = 2;
  bool RaceTekichuRitsu100 = false;
  int TanshoRitsuChoseiOption = 0;
  long long TanshoRitsuGensanKeisu = 10000;
  long long TanshoRitsuGosaHosei = 10000;
  long long MinTanshoRitsu = 1000;
  int ShushiKanriRaceHeight = 168;
  bool DeleteRace = true, DeleteOdds6 = true, DeleteOdds1 = true, DeleteHanro = true;
  std::string DeleteYY1, DeleteMM1, DeleteDD1, DeleteYY2, DeleteMM2, DeleteDD2;
  std::string LatestDate;
  // [ColWidths]
  int ColShushiKanriDetailUkeNo = 56, ColShushiKanriDetailTime = 56, ColShushiKanriDetailJomei = 56;
  int ColShushiKanriDetailRaceNo = 40, ColShushiKanriDetailKaime = 178, ColShushiKanriDetailTensu = 56;
  int ColShushiKanriDetailTanka = 56, ColShushiKanriDetailKonyuKingaku = 82, ColShushiKanriDetailTekichu = 56;
  int ColShushiKanriDetailHaraimodoshiKingaku = 82, ColShushiKanriDetailHenkanKingaku = 82;
  int ColShushiKanriDetailBetShushi = 85;
  // [Ipat] balance of the central-racing betting account (yen)
  bool AutoZandakaKanri = true;
  long long IpatLatestKaishiKingaku = 0, IpatLatestKonyuKingaku = 0, IpatLatestHaraimodoshiKingaku = 0;
  long long IpatLatestGendogaku = 0, IpatLatestKonyuKanouKensu = 0;
  std::string IpatLatestUpdateTime;
  TDateTime IpatLatestKanriDate;
  // [NAR] the same for local racing
  long long NARLatestKaishiKingaku = 0, NARLatestKonyuKingaku = 0, NARLatestHaraimodoshiKingaku = 0;
  long long NARLatestGendogaku = 0, NARLatestKonyuKanouKensu = 0;
  std::string NARLatestUpdateTime;
  TDateTime NARLatestKanriDate;

  // Accounts read from the registry; index 0 is account 1.
  std::array<TIpatAccount, 5> IpatAccounts;
  int SelectedIpatAccountNo = 0;  // 0 = none
  TIpatCredentials SelectedIpat;
  TIpatCredentials CurrentIpat;  // the credentials in use
  std::array<TRakutenAccount, 5> RakutenAccounts;
  int SelectedRakutenAccountNo = 0;
  TRakutenCredentials SelectedRakuten;
  TRakutenCredentials CurrentRakuten;

  // Install folders of ミラノーヴァＱ (A) and トレモリアス (B); empty when not installed.
  std::string CompanionAFolder, CompanionBFolder;

  // Run-time flags of start-up; never saved.
  bool JVLinkAvailable = false;
  bool NVLinkAvailable = false;
  bool NVLoggedIn = false;

 private:
  using TStorage = std::variant<std::string*, int*, long long*, bool*, TDateTime*>;
  struct TBinding {
    const char* section;
    std::string key;
    TSettingType type;
    TStorage storage;
    TJokenValue def;  // DateTime defaults are kept in dateDefault
    TDateTime dateDefault;
  };
  void BuildBindings();
  void ApplyDefaults();
  void ResetValues();
  void ReadBinding(const TIniFile& ini, const TBinding& b);
  void WriteBinding(TIniFile& ini, const TBinding& b) const;
  bool HoldsResetValue(const TBinding& b) const;
  std::string FindCompanionFolder(const char* identifier, const char* displayName) const;
  bool UseIpatCredentials(const TIpatCredentials& chosen);

  std::filesystem::path appDir_;
  const IClock& clock_;
  IDialogs* dialogs_;
  IRegistry* registry_;
  std::vector<TJokenValue> joken_;  // in the order of SimulationJokenKeys()
  std::vector<TBinding> bindings_;  // every key in file order
  size_t loadedCount_ = 0;          // bindings the last load reached
};

}  // namespace zelk
