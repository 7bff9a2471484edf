#include "data/record_tables.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "common/config.h"
#include "common/cp932.h"
#include "common/error_log.h"
#include "common/general.h"
#include "data/data_module.h"
#include "data/database.h"
#include "data/row_statements.h"

namespace zelk {

namespace {

constexpr int kDefaultCreated = 19800101;

// How a field becomes a column value.
enum class TConv {
  Text,       // the characters as they stand
  Date,       // "yyyymmdd" -> 'YYYY-MM-DD', Null when not a valid date
  Strict,     // integer; anything else makes the record fail
  Digit,      // integer, 0 for blank or unreadable text
  DigitText,  // a digit field kept in a text column ("0" for blank)
  Name,       // CP932 -> UTF-8, blanks and full-width spaces trimmed at both ends
};

struct TColumn {
  std::string name;
  size_t offset;
  size_t length;
  TConv conv;
};
using TColumns = std::vector<TColumn>;

bool ParseInteger(std::string_view s, long long& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return false;
    if (v > (std::numeric_limits<long long>::max() - 9) / 10) return false;
    v = v * 10 + (c - '0');
  }
  out = negative ? -v : v;
  return true;
}

long long StrictInt(std::string_view s) {
  long long v;
  if (!ParseInteger(s, v)) throw std::invalid_argument("'" + Cp932ToUtf8(s) + "' は有効な整数値ではありません");
  return v;
}

long long DigitInt(std::string_view s) {
  long long v;
  return ParseInteger(s, v) ? v : 0;
}

// yyyymmdd as an integer, or 0 when it is not a valid date.
int YmdValue(std::string_view d) {
  if (d.size() != 8) return 0;
  for (char c : d)
    if (c < '0' || c > '9') return 0;
  int y = (d[0] - '0') * 1000 + (d[1] - '0') * 100 + (d[2] - '0') * 10 + (d[3] - '0');
  int m = (d[4] - '0') * 10 + (d[5] - '0');
  int day = (d[6] - '0') * 10 + (d[7] - '0');
  return IsValidDate(y, m, day) ? y * 10000 + m * 100 + day : 0;
}

std::string IsoOfYmd(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", v / 10000, v / 100 % 100, v % 100);
  return buf;
}

// Stored 'YYYY-MM-DD' as yyyymmdd; Null or unreadable counts as 1980-01-01.
int StoredCreatedValue(const std::string& s) {
  if (s.size() >= 10 && s[4] == '-' && s[7] == '-') {
    int v = YmdValue(s.substr(0, 4) + s.substr(5, 2) + s.substr(8, 2));
    if (v) return v;
  }
  return kDefaultCreated;
}

std::string TextOf(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return Cp932ToUtf8(s);
  return std::string(s);
}

TValue Convert(std::string_view field, TConv conv) {
  switch (conv) {
    case TConv::Text:
      return TextOf(field);
    case TConv::Date: {
      int v = YmdValue(field);
      if (!v) return std::monostate{};
      return IsoOfYmd(v);
    }
    case TConv::Strict:
      return StrictInt(field);
    case TConv::Digit:
      return DigitInt(field);
    case TConv::DigitText:
      return std::to_string(DigitInt(field));
    case TConv::Name:
      return TrimBoth(Cp932ToUtf8(field));
  }
  return std::monostate{};
}

void FillValues(std::vector<TValue>& values, const TColumns& columns, std::string_view text) {
  values.resize(columns.size());
  for (size_t i = 0; i < columns.size(); ++i)
    values[i] = Convert(text.substr(columns[i].offset, columns[i].length), columns[i].conv);
}

std::vector<std::string> NamesOf(const TColumns& columns) {
  std::vector<std::string> names;
  for (const auto& c : columns) names.push_back(c.name);
  return names;
}

const std::vector<std::string> kRaceKeyColumns = {"開催年月日", "競馬場コード", "レース番号"};
const std::vector<std::string> kHorseKeyColumns = {"開催年月日", "競馬場コード", "レース番号", "馬番"};

const TColumns& ColumnsRA(bool local) {
  auto make = [](bool nar) {
    return TColumns{
        {"データ区分", 2, 1, TConv::Text},
        {"データ作成年月日", 3, 8, TConv::Date},
        {"開催年月日", 11, 8, TConv::Date},
        {"競馬場コード", 19, 2, TConv::Text},
        {"レース番号", 25, 2, TConv::Strict},
        {"グレードコード", 614, 1, TConv::Text},
        {"競走種別コード", 616, 2, TConv::Digit},
        {"競走記号コード", 618, 3, TConv::Text},
        {"重量種別コード", 621, 1, TConv::Digit},
        {"競走条件コード最若年条件", 634, 3, TConv::Digit},
        {"距離", 697, 4, TConv::Digit},
        {"トラックコード", 705, 2, TConv::Digit},
        {"コース区分", 709, 2, TConv::Text},
        {"発走時刻", 873, 4, TConv::Text},
        {"登録頭数", 881, 2, TConv::Digit},
        {"出走頭数", 883, 2, TConv::Digit},
        {"天候コード", 887, 1, TConv::Digit},
        // Local racing delivers the turf going as a character of its own.
        {"芝馬場状態コード", 888, 1, nar ? TConv::Text : TConv::DigitText},
        {"ダート馬場状態コード", 889, 1, TConv::DigitText},
    };
  };
  static const TColumns central = make(false), nar = make(true);
  return local ? nar : central;
}

const TColumns& ColumnsSE() {
  static const TColumns columns{
      {"データ区分", 2, 1, TConv::Text},
      {"データ作成年月日", 3, 8, TConv::Date},
      {"開催年月日", 11, 8, TConv::Date},
      {"競馬場コード", 19, 2, TConv::Text},
      {"レース番号", 25, 2, TConv::Strict},
      {"枠番", 27, 1, TConv::Strict},
      {"馬番", 28, 2, TConv::Strict},
      {"血統登録番号", 30, 10, TConv::Strict},
      {"馬名", 40, 36, TConv::Name},
      {"騎手コード", 296, 5, TConv::Digit},
      {"異常区分コード", 331, 1, TConv::Digit},
      {"確定着順", 334, 2, TConv::Digit},
  };
  return columns;
}

const TColumns& ColumnsHR() {
  static const TColumns columns = [] {
    TColumns c{
        {"データ区分", 2, 1, TConv::Text},
        {"データ作成年月日", 3, 8, TConv::Date},
        {"開催年月日", 11, 8, TConv::Date},
        {"競馬場コード", 19, 2, TConv::Text},
        {"開催回", 21, 2, TConv::Strict},
        {"開催日目", 23, 2, TConv::Strict},
        {"レース番号", 25, 2, TConv::Strict},
        {"登録頭数", 27, 2, TConv::Strict},
        {"出走頭数", 29, 2, TConv::Strict},
    };
    // Refund flags per bet type; offset 54 (枠単) is not kept.
    const std::pair<const char*, size_t> flags[] = {{"単勝", 49}, {"複勝", 50}, {"枠連", 51},  {"馬連", 52},
                                                    {"ワイド", 53}, {"馬単", 55}, {"3連複", 56}, {"3連単", 57}};
    for (const auto& [name, offset] : flags) c.push_back({std::string("返還フラグ　") + name, offset, 1, TConv::Strict});
    for (int n = 1; n <= 28; ++n) c.push_back({"返還馬番情報" + std::to_string(n), size_t(57 + n), 1, TConv::Strict});
    for (int n = 1; n <= 8; ++n) c.push_back({"返還枠番情報" + std::to_string(n), size_t(85 + n), 1, TConv::Strict});
    for (int n = 1; n <= 8; ++n) c.push_back({"返還同枠情報" + std::to_string(n), size_t(93 + n), 1, TConv::Strict});
    struct TSlots {
      const char* number;  // column of the horse number or combination
      const char* payout;
      int count;
      size_t first, width, numberLength;
    };
    const TSlots slots[] = {
        {"単勝払戻馬番", "単勝払戻払戻金", 3, 102, 13, 2},      {"複勝払戻馬番", "複勝払戻払戻金", 5, 141, 13, 2},
        {"枠連払戻組番", "枠連払戻払戻金", 3, 206, 13, 2},      {"馬連払戻組番", "馬連払戻払戻金", 3, 245, 16, 4},
        {"ワイド払戻組番", "ワイド払戻払戻金", 7, 293, 16, 4},  {"馬単払戻組番", "馬単払戻払戻金", 6, 453, 16, 4},
        {"3連複払戻組番", "3連複払戻払戻金", 3, 549, 18, 6},    {"3連単払戻組番", "3連単払戻払戻金", 6, 603, 19, 6},
    };
    for (const auto& s : slots) {
      for (int n = 1; n <= s.count; ++n) {
        size_t at = s.first + size_t(n - 1) * s.width;
        c.push_back({s.number + std::to_string(n), at, s.numberLength, TConv::Text});
        c.push_back({s.payout + std::to_string(n), at + s.numberLength, 9, TConv::Digit});
      }
    }
    return c;
  }();
  return columns;
}

const std::string kDataKind = "データ区分";
const std::string kStartTime = "発走時刻";
const std::string kDistance = "距離";
const std::string kTrack = "トラックコード";

void RequireLength(std::string_view text, size_t deliveredLength) {
  if (text.size() + 2 < deliveredLength)
    throw std::length_error("レコード長が不足しています（" + std::to_string(text.size() + 2) + "バイト）");
}

bool IsSourceKey(std::string_view key) {
  static const std::array<std::string_view, 8> keys = {"YOSOU", "KETTO", "INBREED", "UMABAN",
                                                       "KISYU", "ABV",   "TOKEI",   "BLEND"};
  for (auto k : keys)
    if (k == key) return true;
  return false;
}

size_t OddsLineLength(std::string_view kind) {
  if (kind == "O1") return 960;
  if (kind == "O2") return 2040;
  if (kind == "O3") return 2652;
  if (kind == "O4") return 4029;
  if (kind == "O5") return 12291;
  if (kind == "O6") return 83283;
  if (kind == "OA") return 691;
  if (kind == "WF") return 7213;
  return 0;
}

bool IsOddsKind(std::string_view kind) {
  return kind.size() == 2 && kind[0] == 'O' && kind[1] >= '1' && kind[1] <= '6';
}

}  // namespace

// The record being reflected: its text without CR LF and the header fields every rule needs.
struct TRecordTables::TRecord {
  std::string_view text;
  std::string_view kind;
  char dataKind;
  int created;  // yyyymmdd; 1980-01-01 when not a valid date

  std::string Head(size_t n) const { return TextOf(text.substr(0, n)); }
};

// The primary key of the race (and horse) a record speaks of.
class TKeyHolder {
 public:
  TKeyHolder(std::string_view text, bool withHorse) {
    int date = YmdValue(text.substr(11, 8));
    if (!date) throw std::invalid_argument("開催年月日が不正です");
    key.reserve(withHorse ? 4 : 3);
    key.emplace_back(IsoOfYmd(date));
    key.emplace_back(TextOf(text.substr(19, 2)));
    key.emplace_back(StrictInt(text.substr(25, 2)));
    if (withHorse) key.emplace_back(StrictInt(text.substr(28, 2)));
  }
  TKey key;
};

TRecordTablesTargets RecordTablesTargets(TdmdOV& dmd, const std::filesystem::path& dbDir,
                                         const std::filesystem::path& appDir) {
  return TRecordTablesTargets{dbDir,           appDir,           dmd.conRace,    dmd.conRacese,
                              dmd.conSokuhoRace, dmd.conSokuhoRacese, dmd.tblSokuhoRA};
}

TRecordTables::TRecordTables(const TRecordTablesTargets& targets, TErrorLog& log, bool local)
    : t_(targets),
      log_(log),
      local_(local),
      branch_(local ? kBranchNAR : kBranchJRA),
      clock_(&systemClock_),
      sokuho_(targets.appDir, sleepPump_) {
  sokuho_.SetOwner(local ? TSokuhoFiles::TOwner::Local : TSokuhoFiles::TOwner::Central);
  auto make = [&](TConnection& con, const char* table, const TColumns& columns, const std::vector<std::string>& keys) {
    return std::make_unique<TRowStatements>(con, table, NamesOf(columns), keys);
  };
  bulkRA_ = make(t_.conRace, "レース詳細", ColumnsRA(local_), kRaceKeyColumns);
  bulkHR_ = make(t_.conRace, "払戻", ColumnsHR(), kRaceKeyColumns);
  bulkSE_ = make(t_.conRacese, "馬毎レース情報", ColumnsSE(), kHorseKeyColumns);
  sokuhoRA_ = make(t_.conSokuhoRace, "レース詳細", ColumnsRA(local_), kRaceKeyColumns);
  sokuhoHR_ = make(t_.conSokuhoRace, "払戻", ColumnsHR(), kRaceKeyColumns);
  sokuhoSE_ = make(t_.conSokuhoRacese, "馬毎レース情報", ColumnsSE(), kHorseKeyColumns);
}

TRecordTables::~TRecordTables() = default;

TJVTables::TJVTables(TConfig& config, TdmdOV& dmd, TErrorLog& log)
    : TRecordTables(RecordTablesTargets(dmd, config.DbDir(), config.AppDir()), log, false) {}

TNVTables::TNVTables(TConfig& config, TdmdOV& dmd, TErrorLog& log)
    : TRecordTables(RecordTablesTargets(dmd, config.DbDir(), config.AppDir()), log, true) {}

std::string TRecordTables::Op(const std::string& step) const {
  return (local_ ? "ClassTablesNV - " : "ClassTablesJV - ") + step;
}

int TRecordTables::Fail(const std::string& op, std::string_view record, const std::string& detail,
                        const std::string& message) {
  log_.WriteErrorLog(-900, op, detail, message);
  log_.WriteLog(TextOf(WithoutLineEnd(record)));
  return -900;
}

// ---- bulk kinds -------------------------------------------------------------------------------

int TRecordTables::OpenTables(const std::string& recordKind) {
  try {
    if (recordKind == "RA" || recordKind == "HR") {
      t_.conRace.BeginTrans();
      (recordKind == "RA" ? openRA_ : openHR_) = true;
    } else if (recordKind == "SE") {
      t_.conRacese.BeginTrans();
      openSE_ = true;
    } else if (IsOddsKind(recordKind) || (local_ && recordKind == "OA")) {
      odds_.Reset();
    } else if (local_ && recordKind == "WF") {
      odds_.Reset();
      odds_.Select(WFFilePath(t_.dbDir));
    } else {
      return -903;
    }
    return 0;
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-900, Op("OpenTables"), "レコード種別 = " + recordKind, e.what());
    return -900;
  }
}

int TRecordTables::CloseTables(const std::string& recordKind, bool commit) {
  try {
    TConnection* con = nullptr;
    if (recordKind == "RA") con = &t_.conRace, openRA_ = false, bulkRA_->Release();
    if (recordKind == "HR") con = &t_.conRace, openHR_ = false, bulkHR_->Release();
    if (recordKind == "SE") con = &t_.conRacese, openSE_ = false, bulkSE_->Release();
    if (con) {
      if (commit)
        con->CommitTrans();
      else
        con->RollbackTrans();
    } else if (IsOddsKind(recordKind) || (local_ && (recordKind == "OA" || recordKind == "WF"))) {
      odds_.Flush();
    }
    return 0;
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-900, Op("CloseTables"), "レコード種別 = " + recordKind, e.what());
    return -900;
  }
}

int TRecordTables::ReflectRecord(const std::string& record) { return Dispatch(record, TMode::Bulk); }

int TRecordTables::ReflectSokuhoRecord(const std::string& record) { return Dispatch(record, TMode::Sokuho); }

int TRecordTables::Dispatch(std::string_view record, TMode mode) {
  try {
    TRecord r;
    r.text = WithoutLineEnd(record);
    if (r.text.size() < 2) return -903;
    r.kind = r.text.substr(0, 2);
    r.dataKind = r.text.size() > 2 ? r.text[2] : ' ';
    r.created = CreationDateValue(r.text);
    const auto& k = r.kind;
    if (k == "RA") return ReflectRA(r, mode);
    if (k == "SE") return ReflectSE(r, mode);
    if (k == "HR") return ReflectHR(r, mode);
    if (IsOddsKind(k)) return ReflectOddsText(r);
    if (local_ && k == "OA" && mode == TMode::Bulk) return ReflectOddsText(r);
    if (local_ && k == "WF") return ReflectOddsText(r);
    if (k == "WH" || k == "WE" || k == "AV" || k == "JC") return ReflectCollected(r);
    if (k == "TC") return ReflectTC(r);
    if (k == "CC") return ReflectCC(r);
    return -903;
  } catch (const std::exception& e) {
    std::string_view text = WithoutLineEnd(record);
    return Fail(Op(mode == TMode::Bulk ? "ReflectRecord" : "ReflectSokuhoRecord"), record,
                TextOf(text.substr(0, std::min<size_t>(19, text.size()))), e.what());
  }
}

// ---- row rules --------------------------------------------------------------------------------

// One row kind of one import: its statements, its columns and the names of its log steps.
struct TRecordTables::TRowKind {
  TRowStatements& statements;
  const TColumns& columns;
  bool open;  // inside OpenTables/CloseTables or BeginSokuhoTables/EndSokuhoTables
  const char* reflectStep;
  const char* updateStep;
};

int TRecordTables::ApplyRowRule(const TRowKind& kind, const TRecord& r, const TKeyHolder& key, bool dateTest,
                                bool resultRule, const std::string& updateDetail) {
  // Outside an open span the statements do not stay: the connection may be reconnected.
  struct TRelease {
    const TRowKind& k;
    ~TRelease() {
      if (!k.open) k.statements.Release();
    }
  } release{kind};
  std::optional<TRowStatements::TStored> stored;
  try {
    stored = kind.statements.Seek(key.key);
    if (!stored) {
      if (r.dataKind == '9' || r.dataKind == '0') return 0;
      FillValues(values_, kind.columns, r.text);
      kind.statements.Insert(values_);
      return 0;
    }
  } catch (const std::exception& e) {
    return Fail(Op(kind.reflectStep), r.text, r.Head(19), e.what());
  }
  const bool storedResult = stored->dataKind == "A";
  // Local racing: a row already holding the official result ("A") takes any later record.
  if (dateTest && !(resultRule && local_ && storedResult) && StoredCreatedValue(stored->created) > r.created)
    return -907;
  // Central racing: a record of data kind "A" only refreshes a row that is itself "A".
  if (resultRule && !local_ && r.dataKind == 'A' && !storedResult) return -907;
  try {
    if (r.dataKind == '0') {
      kind.statements.Delete(key.key);
    } else {
      FillValues(values_, kind.columns, r.text);
      kind.statements.Update(key.key, values_);
    }
    return 0;
  } catch (const std::exception& e) {
    return Fail(Op(kind.updateStep), r.text, r.Head(19) + updateDetail, e.what());
  }
}

int TRecordTables::ReflectRA(const TRecord& r, TMode mode) {
  const bool bulk = mode == TMode::Bulk;
  if (bulk && r.dataKind == '1') return 0;  // a card announcement before its entries: not kept
  std::optional<TKeyHolder> key;
  try {
    RequireLength(r.text, kRecordLengthRA);
    key.emplace(r.text, false);
  } catch (const std::exception& e) {
    return Fail(Op("ReflectRA"), r.text, r.Head(19), e.what());
  }
  TRowKind kind{bulk ? *bulkRA_ : *sokuhoRA_, ColumnsRA(local_), bulk ? openRA_ : sokuhoOpen_, "ReflectRA",
                "UpdateRA"};
  return ApplyRowRule(kind, r, *key, true, bulk, "");
}

int TRecordTables::ReflectSE(const TRecord& r, TMode mode) {
  const bool bulk = mode == TMode::Bulk;
  std::optional<TKeyHolder> key;
  try {
    RequireLength(r.text, kRecordLengthSE);
    if (!local_ && r.dataKind == '1') return 0;  // central: entries before the draw are not kept
    long long pedigree = StrictInt(r.text.substr(30, 10));
    if (bulk && !local_ && pedigree == 0) return 0;
    key.emplace(r.text, true);
    if (!bulk && local_ && std::get<long long>(key->key[3]) == 0) return 0;
  } catch (const std::exception& e) {
    return Fail(Op("ReflectSE"), r.text, r.Head(19), e.what());
  }
  TRowKind kind{bulk ? *bulkSE_ : *sokuhoSE_, ColumnsSE(), bulk ? openSE_ : sokuhoOpen_, "ReflectSE", "UpdateSE"};
  return ApplyRowRule(kind, r, *key, true, bulk, "\r\n血統登録番号 = " + TextOf(r.text.substr(30, 10)));
}

int TRecordTables::ReflectHR(const TRecord& r, TMode mode) {
  const bool bulk = mode == TMode::Bulk;
  std::optional<TKeyHolder> key;
  try {
    RequireLength(r.text, kRecordLengthHR);
    key.emplace(r.text, false);
  } catch (const std::exception& e) {
    return Fail(Op("ReflectHR"), r.text, r.Head(19), e.what());
  }
  TRowStatements& statements = bulk ? *bulkHR_ : *sokuhoHR_;
  const bool open = bulk ? openHR_ : sokuhoOpen_;
  struct TRelease {
    TRowStatements& s;
    bool open;
    ~TRelease() {
      if (!open) s.Release();
    }
  } release{statements, open};
  std::optional<TRowStatements::TStored> stored;
  try {
    stored = statements.Seek(key->key);
    if (!stored) {
      if (r.dataKind == '9' || r.dataKind == '0') return 0;
      FillValues(values_, ColumnsHR(), r.text);
      statements.Insert(values_);
      return 0;
    }
  } catch (const std::exception& e) {
    return Fail(Op("ReflectHR"), r.text, r.Head(19), e.what());
  }
  if (StoredCreatedValue(stored->created) > r.created) return -907;
  try {
    // A payout row is replaced by digits only: 0 and 9 withdraw it.
    long long dataKind = StrictInt(r.text.substr(2, 1));
    if (dataKind == 0 || dataKind == 9) {
      statements.Delete(key->key);
    } else {
      FillValues(values_, ColumnsHR(), r.text);
      statements.Update(key->key, values_);
    }
    return 0;
  } catch (const std::exception& e) {
    return Fail(Op("UpdateHR"), r.text, r.Head(19), e.what());
  }
}

int TRecordTables::ReflectTC(const TRecord& r) {
  try {
    RequireLength(r.text, kRecordLengthTC);
    TKeyHolder key(r.text, false);
    auto stored = t_.tblSokuhoRA.Seek(key.key);
    // Only a header still showing the entries ("2") takes the new start time.
    if (!stored || stored->Text(kDataKind) != "2") return 0;
    TRow change;
    change.Set(kStartTime, TextOf(r.text.substr(35, 4)));
    t_.tblSokuhoRA.Update(key.key, change);
    return 0;
  } catch (const std::exception& e) {
    return Fail(Op("ReflectSokuhoTC"), r.text, r.Head(19), e.what());
  }
}

int TRecordTables::ReflectCC(const TRecord& r) {
  try {
    RequireLength(r.text, kRecordLengthCC);
    TKeyHolder key(r.text, false);
    auto stored = t_.tblSokuhoRA.Seek(key.key);
    if (!stored || stored->Text(kDataKind) != "2") return 0;
    TRow change;
    change.Set(kDistance, DigitInt(r.text.substr(35, 4)));
    change.Set(kTrack, DigitInt(r.text.substr(39, 2)));
    t_.tblSokuhoRA.Update(key.key, change);
    return 0;
  } catch (const std::exception& e) {
    return Fail(Op("ReflectSokuhoCC"), r.text, r.Head(19), e.what());
  }
}

// ---- odds and real-time lines -----------------------------------------------------------------

int TRecordTables::ReflectOddsText(const TRecord& r) {
  try {
    size_t need = OddsLineLength(r.kind);
    if (r.text.size() < need)
      throw std::length_error("レコード長が不足しています（" + std::to_string(r.text.size()) + "バイト）");
    std::string line(r.text);
    if (r.kind == "WF") {
      odds_.Select(WFFilePath(t_.dbDir));
      odds_.PlaceWF(std::move(line));
    } else {
      odds_.Select(OddsDayFileOfRecord(t_.dbDir, branch_, r.text));
      if (local_ && (r.kind == "O6" || r.kind == "OA"))
        odds_.PlaceByRace(std::move(line));
      else
        odds_.PlaceSorted(std::move(line));
    }
    return 0;
  } catch (const std::exception& e) {
    return Fail(Op("Reflect" + std::string(r.kind) + "Text"), r.text, r.Head(19), e.what());
  }
}

int TRecordTables::ReflectCollected(const TRecord& r) {
  if (sokuho_.Add(r.text)) return 0;
  return Fail(Op("ReflectSokuhoRecord"), r.text, r.Head(19), "速報データの競馬場コードまたはレース番号が不正です");
}

int TRecordTables::ReflectYosoOddsRecord(const std::string& record, const std::string& sourceKey) {
  std::string_view text = WithoutLineEnd(record);
  try {
    if (!IsSourceKey(sourceKey)) throw std::invalid_argument("確率の種別が不正です: " + sourceKey);
    std::string line = BuildProbabilityLine(text, clock_->Now());
    odds_.Select(OddsDayFilePath(t_.dbDir, branch_, sourceKey, std::string_view(line).substr(11, 4),
                                 std::string_view(line).substr(15, 4)));
    odds_.PlaceProbability(std::move(line));
    return 0;
  } catch (const std::exception& e) {
    return Fail(Op("ReflectYosoOddsRecord"), text, TextOf(text.substr(0, std::min<size_t>(12, text.size()))),
                e.what());
  }
}

// ---- real-time transaction and collection ------------------------------------------------------

int TRecordTables::BeginSokuhoTables() {
  try {
    t_.conSokuhoRace.BeginTrans();
    sokuhoOpen_ = true;
    return 0;
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-900, Op("BeginSokuhoTables"), "", e.what());
    return -900;
  }
}

int TRecordTables::EndSokuhoTables(bool commit) {
  sokuhoOpen_ = false;
  for (auto* s : {sokuhoRA_.get(), sokuhoHR_.get(), sokuhoSE_.get()}) s->Release();
  try {
    if (commit)
      t_.conSokuhoRace.CommitTrans();
    else
      t_.conSokuhoRace.RollbackTrans();
    return 0;
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-900, Op("EndSokuhoTables"), "", e.what());
    return -900;
  }
}

void TRecordTables::BeginSokuho(const TDateTime& raceDate) {
  try {
    sokuho_.Begin(raceDate);
  } catch (const std::exception& e) {
    // Writing the files later answers -900 when the day folder still cannot be made.
    log_.WriteErrorLog(-900, Op("BeginSokuho"), "開催日 = " + FormatShortDate(raceDate), e.what());
  }
}

void TRecordTables::AddSokuho(const std::string& record) { sokuho_.Add(record); }

int TRecordTables::WriteSokuho(const TDateTime& raceDate) { return sokuho_.Write(raceDate); }

void TRecordTables::ResetOddsFile() { odds_.Reset(); }

int TRecordTables::FlushOddsFile() {
  try {
    odds_.Flush();
    return 0;
  } catch (const std::exception& e) {
    log_.WriteErrorLog(-900, Op("FlushOddsFile"), odds_.Path().string(), e.what());
    return -900;
  }
}

}  // namespace zelk
