#include "common/config.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

#include "common/comma_text.h"

namespace zelk {
namespace fs = std::filesystem;
namespace {

std::string TrimBlanksAscii(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// Integer text: optional sign and decimal digits, or hexadecimal after "$" or "0x".
std::optional<long long> ParseInteger(const std::string& raw) {
  std::string s = TrimBlanksAscii(raw);
  if (s.empty()) return std::nullopt;
  bool negative = false;
  size_t i = 0;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    i = 1;
  }
  int base = 10;
  if (s.compare(i, 1, "$") == 0) {
    base = 16;
    i += 1;
  } else if (s.size() > i + 1 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return std::nullopt;
  unsigned long long magnitude = 0;
  auto [p, ec] = std::from_chars(s.data() + i, s.data() + s.size(), magnitude, base);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  if (!negative && magnitude > static_cast<unsigned long long>(LLONG_MAX)) return std::nullopt;
  if (negative && magnitude > static_cast<unsigned long long>(LLONG_MAX) + 1) return std::nullopt;
  return negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
}

// Decimal text with "." to the value x 10000, rounded to the nearest (ties to even). Plain
// "digits[.digits]" texts are converted exactly; exponent forms go through double.
std::optional<long long> ParseDecimal(const std::string& raw) {
  std::string s = TrimBlanksAscii(raw);
  if (s.empty()) return std::nullopt;
  size_t i = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    i = 1;
  }
  std::string whole, fraction;
  size_t j = i;
  while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) whole += s[j++];
  bool plain = true;
  if (j < s.size() && s[j] == '.') {
    ++j;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) fraction += s[j++];
  }
  if (j != s.size() || (whole.empty() && fraction.empty())) plain = false;
  if (plain && whole.size() <= 14) {
    long long units = whole.empty() ? 0 : std::stoll(whole);
    std::string four = (fraction + "0000").substr(0, 4);
    long long value = units * 10000 + std::stoll(four);
    std::string rest = fraction.size() > 4 ? fraction.substr(4) : "";
    if (!rest.empty()) {
      bool above = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
      bool tie = rest[0] == '5' && !above;
      if (above || (tie && value % 2 == 1)) ++value;
    }
    return negative ? -value : value;
  }
  double d = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
  if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(d) || std::fabs(d) > 9e14) return std::nullopt;
  return static_cast<long long>(std::nearbyint(d * 10000.0));
}

// The value x 10000 as the shortest decimal text: 10000 -> "1", 1000 -> "0.1", -15000 -> "-1.5".
std::string FormatDecimal(long long v) {
  bool negative = v < 0;
  unsigned long long m = negative ? 0 - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  std::string text = std::to_string(m / 10000);
  std::string fraction = std::to_string(m % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return negative ? "-" + text : text;
}

std::vector<TSimulationJokenKey> MakeSimulationJokenKeys() {
  using T = TSettingType;
  const TJokenValue str = std::string(), none = -1LL, zero = 0LL, off = false, on = true, one = 10000LL;
  std::vector<TSimulationJokenKey> k;
  auto add = [&](const std::string& name, T type, const TJokenValue& def) {
    k.push_back({"SimulationJoken" + name, type, def});
  };
  auto s = [&](std::initializer_list<const char*> names) {
    for (const char* n : names) add(n, T::String, str);
  };
  auto i = [&](std::initializer_list<const char*> names) {
    for (const char* n : names) add(n, T::Integer, none);
  };
  auto b = [&](const char* n, bool def = false) { add(n, T::Boolean, def ? on : off); };
  auto byte = [&](const char* n) { add(n, T::Byte, zero); };
  auto range = [&](const std::string& n) {
    add(n + "1", T::String, str);
    add(n + "2", T::String, str);
    add(n + "Range", T::Boolean, off);
  };
  // A selection group: rule numbers, rate kind, rates, single-win expected values and the
  // average-hit-rate coefficients.
  auto group = [&](const std::string& p, const std::string& rule1, const std::string& rule2, const std::string& kubun,
                   const std::string& a, const std::string& z, bool kitaichi, const std::string& heikin) {
    add(p + rule1, T::String, str);
    add(p + rule2, T::String, str);
    add(p + kubun, T::Byte, zero);
    add(p + "Ritsu" + a, T::String, str);
    add(p + "Ritsu" + z, T::String, str);
    if (kitaichi) {
      add(p + "TanshoKitaichi" + a, T::String, str);
      add(p + "TanshoKitaichi" + z, T::String, str);
    }
    add(p + "HeikinTekichuRitsu" + heikin, T::Boolean, off);
    add(p + "HeikinTekichuRitsuKeisu" + a, T::String, str);
    add(p + "HeikinTekichuRitsuKeisu" + z, T::String, str);
  };

  s({"YY1", "MM1", "DD1", "YY2", "MM2", "DD2"});
  add("JRAFlagIndex", T::Integer, zero);
  i({"JomeiIndex", "TrackIndex"});
  s({"Kyori1", "Kyori2"});
  b("KyoriRange");
  for (const char* n : {"BabaJotai1", "BabaJotai2", "BabaJotai3", "BabaJotai4"}) b(n, true);
  i({"ShubetsuIndex", "JokenIndex", "JuryoIndex"});
  range("Tosu");
  s({"RaceNo1", "RaceNo2"});
  i({"KakeshikiIndex"});
  b("DaiyoEnabled");
  range("TekichuRitsu");
  range("Kitaichi");
  range("Odds");
  range("TekichuRitsuGokei");
  b("HeikinTekichuRitsuEnabled");
  s({"HeikinTekichuRitsuKeisu", "HeikinTekichuRitsuKeisu2"});
  b("HeikinTekichuRitsuRange");
  range("KitaichiGokei");
  byte("KingakuHaibunIndex");
  s({"HaibunKingaku"});
  byte("ShukeiTanniIndex");
  b("TekichuRitsuGokeiTHTREnabled");
  range("TekichuRitsuGokeiTHTR");
  byte("TekichuRitsuChoseiOption");
  add("TekichuRitsuGensanKeisu", T::Decimal, one);
  add("TekichuRitsuChoseiKeisu", T::Decimal, one);
  byte("Hoshiki");
  byte("TanshoRitsuKeisanIndex");
  i({"TanshoRitsuKeisan", "TanshoRitsuKeisanMilanova"});
  // 通常: no single-win expected values.
  group("TsuJo", "RuleNumOrder1", "RuleNumOrder2", "RitsuKubun", "1", "2", false, "");
  group("NagashiJiku", "RuleNumOrder", "RuleNumOrder2", "RitsuKubun", "1", "2", true, "");
  group("NagashiAite", "RuleNum1", "RuleNum2", "RitsuKubun", "1", "2", true, "");
  b("NagashiMulti");
  group("Box", "RuleNumOrder1", "RuleNumOrder2", "RitsuKubun", "1", "2", true, "");
  for (const std::string c : {"1", "2", "3"})
    group("Frm", "RuleNumOrder" + c + "_1", "RuleNumOrder" + c + "_2", "RitsuKubun" + c, c + "_1", c + "_2", true, c);
  return k;
}

const std::unordered_map<std::string, size_t>& SimulationJokenIndex() {
  static const std::unordered_map<std::string, size_t> index = [] {
    std::unordered_map<std::string, size_t> m;
    const auto& keys = TConfig::SimulationJokenKeys();
    for (size_t n = 0; n < keys.size(); ++n) m.emplace(keys[n].key, n);
    return m;
  }();
  return index;
}

size_t JokenSlot(const std::string& key) {
  const auto& index = SimulationJokenIndex();
  auto it = index.find(key);
  if (it == index.end()) throw std::out_of_range("unknown simulation condition key: " + key);
  return it->second;
}

constexpr const char* kIpatValueName = "IPATCODE";
constexpr const char* kRakutenValueName = "RAKUTENCODE";

}  // namespace

const std::vector<TSimulationJokenKey>& TConfig::SimulationJokenKeys() {
  static const std::vector<TSimulationJokenKey> keys = MakeSimulationJokenKeys();
  return keys;
}

const std::array<std::string, 3>& TConfig::DatabaseFileNames() {
  static const std::array<std::string, 3> names = {"race.db", "code.db", "racese.db"};
  return names;
}

TConfig::TConfig(fs::path appDir, const IClock& clock, IDialogs* dialogs, IRegistry* registry)
    : appDir_(std::move(appDir)), clock_(clock), dialogs_(dialogs), registry_(registry) {
  // The application folder is kept without a trailing separator.
  while (appDir_.has_relative_path() && appDir_.filename().empty()) appDir_ = appDir_.parent_path();
  for (const auto& k : SimulationJokenKeys()) joken_.push_back(k.def);
  BuildBindings();
  ApplyDefaults();
  loadedCount_ = bindings_.size();
  FindCompanionAFolder();
  FindCompanionBFolder();
  ClearCurrentCredentials();
}

void TConfig::BuildBindings() {
  using T = TSettingType;
  const TDateTime now = clock_.Now();
  const std::string weekAgo = FormatYmdHns(AddDays(now, -7));
  const TDateTime yesterday = AddDays(now.DateOnly(), -1);
  auto add = [&](const char* section, const char* key, T type, TStorage storage, TJokenValue def) {
    bindings_.push_back({section, key, type, storage, std::move(def), {}});
  };
  auto str = [&](const char* section, const char* key, std::string* m, std::string def = "") {
    add(section, key, T::String, m, std::move(def));
  };
  auto num = [&](const char* section, const char* key, T type, auto* m, long long def) {
    add(section, key, type, m, def);
  };
  auto flag = [&](const char* section, const char* key, bool* m, bool def) { add(section, key, T::Boolean, m, def); };
  auto date = [&](const char* section, const char* key, TDateTime* m, TDateTime def) {
    add(section, key, T::DateTime, m, std::string());
    bindings_.back().dateDefault = def;
  };

  const char* sys = "System";
  const char* cur = "CurrentInformation";
  const char* cus = "CustomSetting";
  str(sys, "BackUpDir", &BackUpDir, (appDir_ / "backup").string());
  str("Database", "DatabaseDriver", &DatabaseDriver, "Access");
  str("UmaConn", "UmaConnCheckMonth", &UmaConnCheckMonth, FormatYm(AddMonths(now, -1)));
  str(cur, "RACE", &RACE, weekAgo);
  str(cur, "RACENV", &RACENV, weekAgo);
  num(cur, "FormMainTop", T::Integer, &FormMainTop, 0);
  num(cur, "FormMainLeft", T::Integer, &FormMainLeft, 0);
  num(cur, "FormMainHeight", T::Integer, &FormMainHeight, 740);
  num(cur, "FormMainWidth", T::Integer, &FormMainWidth, 1024);
  flag(cur, "FormMainMaximize", &FormMainMaximize, true);
  flag(cur, "ChildFormMaximize", &ChildFormMaximize, false);
  num(cur, "FormBakenSimulationHeight", T::Integer, &FormBakenSimulationHeight, 0);
  num(cur, "FormBakenSimulationWidth", T::Integer, &FormBakenSimulationWidth, 0);
  num(cur, "FormShushiKanriHeight", T::Integer, &FormShushiKanriHeight, 0);
  num(cur, "FormShushiKanriWidth", T::Integer, &FormShushiKanriWidth, 0);
  num(cur, "FormAutoHandleHeight", T::Integer, &FormAutoHandleHeight, 0);
  num(cur, "FormAutoHandleWidth", T::Integer, &FormAutoHandleWidth, 0);
  num(cur, "FormAutoHandlePnlShuryoJokenHeight", T::Integer, &FormAutoHandlePnlShuryoJokenHeight, 83);
  flag(sys, "LogOutput", &LogOutput, true);
  flag(sys, "AutoDelete", &AutoDelete, true);
  num(sys, "LogHozonKikan", T::Integer, &LogHozonKikan, 7);
  num(sys, "SokuhoDataHozonKikan", T::Integer, &SokuhoDataHozonKikan, 14);
  flag(cus, "MainToolBarVisible", &MainToolBarVisible, false);
  num("Database", "CommitKensuJV", T::Word, &CommitKensuJV, 500);
  num(cus, "DenmaFukushoTekiyo", T::Byte, &DenmaFukushoTekiyo, 0);
  num(cus, "DenmaWideTekiyo", T::Byte, &DenmaWideTekiyo, 0);
  num(cus, "TotalHyosuTansyo", T::Integer, &TotalHyosuTansyo, 50);
  num(cus, "TotalHyosuUmaren", T::Integer, &TotalHyosuUmaren, 170);
  num(cus, "TotalHyosuUmatan", T::Integer, &TotalHyosuUmatan, 250);
  num(cus, "TotalHyosuSanrenpuku", T::Integer, &TotalHyosuSanrenpuku, 400);
  num(cus, "TotalHyosuSanrentan", T::Integer, &TotalHyosuSanrentan, 1600);
  flag(cus, "SetMaxOddsSanrentan", &SetMaxOddsSanrentan, false);
  flag(cus, "SimulationEndSound", &SimulationEndSound, false);
  str(cus, "SimulationEndSoundFileName", &SimulationEndSoundFileName);
  num(cus, "HaibunTekichuRitsuKubun", T::Byte, &HaibunTekichuRitsuKubun, 2);
  flag(cus, "RaceTekichuRitsu100", &RaceTekichuRitsu100, false);
  num(cus, "TanshoRitsuChoseiOption", T::Integer, &TanshoRitsuChoseiOption, 0);
  num(cus, "TanshoRitsuGensanKeisu", T::Decimal, &TanshoRitsuGensanKeisu, 10000);
  num(cus, "TanshoRitsuGosaHosei", T::Decimal, &TanshoRitsuGosaHosei, 10000);
  num(cus, "MinTanshoRitsu", T::Decimal, &MinTanshoRitsu, 1000);

  const auto& keys = SimulationJokenKeys();
  for (size_t n = 0; n < keys.size(); ++n) {
    TStorage storage;
    if (auto* s = std::get_if<std::string>(&joken_[n]))
      storage = s;
    else if (auto* v = std::get_if<long long>(&joken_[n]))
      storage = v;
    else
      storage = std::get_if<bool>(&joken_[n]);
    bindings_.push_back({cus, keys[n].key, keys[n].type, storage, keys[n].def, {}});
  }

  const char* col = "ColWidths";
  num(col, "ColShushiKanriDetailUkeNo", T::Word, &ColShushiKanriDetailUkeNo, 56);
  num(col, "ColShushiKanriDetailTime", T::Word, &ColShushiKanriDetailTime, 56);
  num(col, "ColShushiKanriDetailJomei", T::Word, &ColShushiKanriDetailJomei, 56);
  num(col, "ColShushiKanriDetailRaceNo", T::Word, &ColShushiKanriDetailRaceNo, 40);
  num(col, "ColShushiKanriDetailKaime", T::Word, &ColShushiKanriDetailKaime, 178);
  num(col, "ColShushiKanriDetailTensu", T::Word, &ColShushiKanriDetailTensu, 56);
  num(col, "ColShushiKanriDetailTanka", T::Word, &ColShushiKanriDetailTanka, 56);
  num(col, "ColShushiKanriDetailKonyuKingaku", T::Word, &ColShushiKanriDetailKonyuKingaku, 82);
  num(col, "ColShushiKanriDetailTekichu", T::Word, &ColShushiKanriDetailTekichu, 56);
  num(col, "ColShushiKanriDetailHaraimodoshiKingaku", T::Word, &ColShushiKanriDetailHaraimodoshiKingaku, 82);
  num(col, "ColShushiKanriDetailHenkanKingaku", T::Word, &ColShushiKanriDetailHenkanKingaku, 82);
  num(col, "ColShushiKanriDetailBetShushi", T::Word, &ColShushiKanriDetailBetShushi, 85);

  num(cus, "ShushiKanriRaceHeight", T::Word, &ShushiKanriRaceHeight, 168);
  flag(cus, "DeleteRace", &DeleteRace, true);
  flag(cus, "DeleteOdds6", &DeleteOdds6, true);
  flag(cus, "DeleteOdds1", &DeleteOdds1, true);
  flag(cus, "DeleteHanro", &DeleteHanro, true);
  str(cus, "DeleteYY1", &DeleteYY1);
  str(cus, "DeleteMM1", &DeleteMM1);
  str(cus, "DeleteDD1", &DeleteDD1);
  str(cus, "DeleteYY2", &DeleteYY2);
  str(cus, "DeleteMM2", &DeleteMM2);
  str(cus, "DeleteDD2", &DeleteDD2);
  str(cus, "LatestDate", &LatestDate, FormatYmdHns(AddMonths(now, -1)));

  flag("Ipat", "AutoZandakaKanri", &AutoZandakaKanri, true);
  num("Ipat", "IpatLatestKaishiKingaku", T::Integer, &IpatLatestKaishiKingaku, 0);
  num("Ipat", "IpatLatestKonyuKingaku", T::Integer, &IpatLatestKonyuKingaku, 0);
  num("Ipat", "IpatLatestHaraimodoshiKingaku", T::Integer, &IpatLatestHaraimodoshiKingaku, 0);
  num("Ipat", "IpatLatestGendogaku", T::Integer, &IpatLatestGendogaku, 0);
  num("Ipat", "IpatLatestKonyuKanouKensu", T::Integer, &IpatLatestKonyuKanouKensu, 0);
  str("Ipat", "IpatLatestUpdateTime", &IpatLatestUpdateTime);
  date("Ipat", "IpatLatestKanriDate", &IpatLatestKanriDate, yesterday);
  num("NAR", "NARLatestKaishiKingaku", T::Integer, &NARLatestKaishiKingaku, 0);
  num("NAR", "NARLatestKonyuKingaku", T::Integer, &NARLatestKonyuKingaku, 0);
  num("NAR", "NARLatestHaraimodoshiKingaku", T::Integer, &NARLatestHaraimodoshiKingaku, 0);
  num("NAR", "NARLatestGendogaku", T::Integer, &NARLatestGendogaku, 0);
  num("NAR", "NARLatestKonyuKanouKensu", T::Integer, &NARLatestKonyuKanouKensu, 0);
  str("NAR", "NARLatestUpdateTime", &NARLatestUpdateTime);
  date("NAR", "NARLatestKanriDate", &NARLatestKanriDate, yesterday);
}

void TConfig::ApplyDefaults() {
  for (const auto& b : bindings_) {
    std::visit(
        [&](auto* p) {
          using V = std::remove_pointer_t<decltype(p)>;
          if constexpr (std::is_same_v<V, std::string>)
            *p = std::get<std::string>(b.def);
          else if constexpr (std::is_same_v<V, bool>)
            *p = std::get<bool>(b.def);
          else if constexpr (std::is_same_v<V, TDateTime>)
            *p = b.dateDefault;
          else
            *p = static_cast<V>(std::get<long long>(b.def));
        },
        b.storage);
  }
}

void TConfig::ResetValues() {
  for (const auto& b : bindings_) std::visit([](auto* p) { *p = {}; }, b.storage);
}

bool TConfig::HoldsResetValue(const TBinding& b) const {
  return std::visit(
      [](auto* p) {
        using V = std::remove_pointer_t<decltype(p)>;
        return *p == V{};
      },
      b.storage);
}

void TConfig::ReadBinding(const TIniFile& ini, const TBinding& b) {
  std::optional<std::string> text = ini.Find(b.section, b.key);
  switch (b.type) {
    case TSettingType::String:
      *std::get<std::string*>(b.storage) = text ? *text : std::get<std::string>(b.def);
      return;
    case TSettingType::Boolean: {
      std::optional<long long> v = text ? ParseInteger(*text) : std::nullopt;
      *std::get<bool*>(b.storage) = v ? *v != 0 : std::get<bool>(b.def);
      return;
    }
    case TSettingType::Decimal: {
      std::optional<long long> v = text ? ParseDecimal(*text) : std::nullopt;
      *std::get<long long*>(b.storage) = v ? *v : std::get<long long>(b.def);
      return;
    }
    case TSettingType::DateTime: {
      std::optional<TDateTime> v = text ? ParseSettingsDateTime(TrimBlanksAscii(*text)) : std::nullopt;
      *std::get<TDateTime*>(b.storage) = v ? *v : b.dateDefault;
      return;
    }
    case TSettingType::Integer:
    case TSettingType::Byte:
    case TSettingType::Word: {
      std::optional<long long> v = text ? ParseInteger(*text) : std::nullopt;
      if (v && std::holds_alternative<int*>(b.storage) && (*v < INT_MIN || *v > INT_MAX)) v.reset();
      long long value = v ? *v : std::get<long long>(b.def);
      long long max = b.type == TSettingType::Byte ? 255 : b.type == TSettingType::Word ? 65535 : LLONG_MAX;
      if (b.type != TSettingType::Integer && (value < 0 || value > max))
        throw std::out_of_range("settings value out of range: " + b.key);
      if (auto* i = std::get_if<int*>(&b.storage))
        **i = static_cast<int>(value);
      else
        *std::get<long long*>(b.storage) = value;
      return;
    }
  }
}

void TConfig::WriteBinding(TIniFile& ini, const TBinding& b) const {
  std::string text;
  switch (b.type) {
    case TSettingType::String:
      text = *std::get<std::string*>(b.storage);
      break;
    case TSettingType::Boolean:
      text = *std::get<bool*>(b.storage) ? "1" : "0";
      break;
    case TSettingType::Decimal:
      text = FormatDecimal(*std::get<long long*>(b.storage));
      break;
    case TSettingType::DateTime:
      text = FormatSettingsDateTime(*std::get<TDateTime*>(b.storage));
      break;
    default:
      if (auto* i = std::get_if<int*>(&b.storage))
        text = std::to_string(**i);
      else
        text = std::to_string(*std::get<long long*>(b.storage));
  }
  ini.WriteString(b.section, b.key, text);
}

bool TConfig::LoadSettings() {
  SelectedIpat = {};
  SelectedIpatAccountNo = 0;
  // Defaults that follow the clock at each load.
  const TDateTime now = clock_.Now();
  for (auto& b : bindings_) {
    if (b.key == "RACE" || b.key == "RACENV") b.def = FormatYmdHns(AddDays(now, -7));
    if (b.type == TSettingType::DateTime) b.dateDefault = AddDays(now.DateOnly(), -1);
  }
  ResetValues();
  loadedCount_ = 0;
  bool ok = true;
  try {
    TIniFile ini(SettingsFile());
    ini.Load();
    for (const auto& b : bindings_) {
      ReadBinding(ini, b);
      ++loadedCount_;
    }
  } catch (const std::exception&) {
    ok = false;
    if (dialogs_) dialogs_->Error(kSettingsReadError);
  }
  LoadIpatAccounts();
  LoadRakutenAccounts();
  return ok;
}

bool TConfig::SaveSettings() {
  try {
    // Starting from the file on disk keeps keys written by others and, after a load that
    // stopped early, the values of the keys that load never reached.
    TIniFile ini(SettingsFile());
    ini.Load();
    for (size_t n = 0; n < bindings_.size(); ++n) {
      if (n >= loadedCount_ && HoldsResetValue(bindings_[n])) continue;
      WriteBinding(ini, bindings_[n]);
    }
    ini.Save();
    return true;
  } catch (const std::exception&) {
    if (dialogs_) dialogs_->Error(kSettingsWriteError);
    return false;
  }
}

void TConfig::GetLastImportTime(const std::string& name, std::string& text) const {
  if (name == "RACE") text = RACE;
}
void TConfig::SetLastImportTime(const std::string& name, const std::string& text) {
  if (name == "RACE") RACE = text;
}
void TConfig::GetLastImportTimeNV(const std::string& name, std::string& text) const {
  if (name == "RACE") text = RACENV;
}
void TConfig::SetLastImportTimeNV(const std::string& name, const std::string& text) {
  if (name == "RACE") RACENV = text;
}

void TConfig::LoadIpatAccounts() {
  SelectedIpat = {};
  SelectedIpatAccountNo = 0;
  try {
    if (!registry_ || !registry_->KeyExists(kZelkaroRegistryKey)) return;
    for (int n = 1; n <= 5; ++n) {
      auto items =
          SplitCommaText(registry_->ReadString(kZelkaroRegistryKey, kIpatValueName + std::to_string(n)).value_or(""));
      if (items.size() < 6) continue;
      TIpatCredentials codes{items[2], items[3], items[4], items[5]};
      if (items[0] == "1") {
        SelectedIpatAccountNo = n;
        SelectedIpat = codes;
      }
      IpatAccounts[n - 1] = {items[1], codes};
    }
  } catch (const std::exception&) {
    // An unreadable store loads no accounts, without a message.
  }
}

void TConfig::LoadRakutenAccounts() {
  SelectedRakuten = {};
  SelectedRakutenAccountNo = 0;
  try {
    if (!registry_ || !registry_->KeyExists(kZelkaroRegistryKey)) return;
    for (int n = 1; n <= 5; ++n) {
      auto items = SplitCommaText(
          registry_->ReadString(kZelkaroRegistryKey, kRakutenValueName + std::to_string(n)).value_or(""));
      if (items.size() < 5) continue;
      TRakutenCredentials codes{items[2], items[3], items[4]};
      if (items[0] == "1") {
        SelectedRakutenAccountNo = n;
        SelectedRakuten = codes;
      }
      RakutenAccounts[n - 1] = {items[1], codes};
    }
  } catch (const std::exception&) {
  }
}

void TConfig::ClearCurrentCredentials() {
  CurrentIpat = {};
  CurrentRakuten = {};
}

bool TConfig::UseIpatCredentials(const TIpatCredentials& chosen) {
  if (CurrentIpat == chosen) return false;
  // The betting library's settings file belongs to the account used before.
  std::error_code ec;
  fs::remove(XipatSettingFile(), ec);
  CurrentIpat = chosen;
  return true;
}

bool TConfig::UseSelectedIpatAccount() { return UseIpatCredentials(SelectedIpat); }

bool TConfig::UseIpatAccount(int accountNo) {
  if (accountNo < 1 || accountNo > 5) return false;
  return UseIpatCredentials(IpatAccounts[accountNo - 1].Codes);
}

bool TConfig::RakutenAccountChanged(int accountNo) const {
  if (!NVLoggedIn) return false;
  if (accountNo < 1 || accountNo > 5) return true;
  return !(CurrentRakuten == RakutenAccounts[accountNo - 1].Codes);
}

const TIpatAccount& TConfig::IpatAccount(int accountNo) const {
  static const TIpatAccount empty;
  return accountNo >= 1 && accountNo <= 5 ? IpatAccounts[accountNo - 1] : empty;
}

const TRakutenAccount& TConfig::RakutenAccount(int accountNo) const {
  static const TRakutenAccount empty;
  return accountNo >= 1 && accountNo <= 5 ? RakutenAccounts[accountNo - 1] : empty;
}

std::string TConfig::FindCompanionFolder(const char* identifier, const char* displayName) const {
  try {
    if (!registry_) return "";
    std::string key = RegistryKeyPath(kHkeyLocalMachine, std::string(kUninstallKeyPath) + "\\" + identifier);
    if (!registry_->KeyExists(key)) return "";
    if (registry_->ReadString(key, "DisplayName") != std::optional<std::string>(displayName)) return "";
    std::string folder = registry_->ReadString(key, "InstallLocation").value_or("");
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
  } catch (const std::exception&) {
    return "";
  }
}

void TConfig::FindCompanionAFolder() {
  CompanionAFolder = FindCompanionFolder(kCompanionAIdentifier, kCompanionADisplayName);
}
void TConfig::FindCompanionBFolder() {
  CompanionBFolder = FindCompanionFolder(kCompanionBIdentifier, kCompanionBDisplayName);
}

const TJokenValue& TConfig::SimulationJoken(const std::string& key) const { return joken_[JokenSlot(key)]; }

std::string TConfig::SimulationJokenText(const std::string& key) const {
  const TJokenValue& v = SimulationJoken(key);
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  throw std::invalid_argument("not a text simulation condition key: " + key);
}

long long TConfig::SimulationJokenNumber(const std::string& key) const {
  const TJokenValue& v = SimulationJoken(key);
  if (auto* n = std::get_if<long long>(&v)) return *n;
  throw std::invalid_argument("not a numeric simulation condition key: " + key);
}

bool TConfig::SimulationJokenFlag(const std::string& key) const {
  const TJokenValue& v = SimulationJoken(key);
  if (auto* b = std::get_if<bool>(&v)) return *b;
  throw std::invalid_argument("not a flag simulation condition key: " + key);
}

void TConfig::SetSimulationJoken(const std::string& key, TJokenValue value) {
  size_t slot = JokenSlot(key);
  if (value.index() != joken_[slot].index())
    throw std::invalid_argument("value does not fit simulation condition key: " + key);
  // Assigning the same alternative keeps the storage the bindings point at.
  std::visit([&](auto& target) { target = std::get<std::decay_t<decltype(target)>>(value); }, joken_[slot]);
}

}  // namespace zelk
