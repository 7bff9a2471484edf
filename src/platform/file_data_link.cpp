#include "platform/file_data_link.h"

#include <chrono>

#include <algorithm>
#include <cctype>
#include <system_error>

#include "common/date_time.h"
#include "common/ini_file.h"
#include "common/text_file.h"

namespace zelk {
namespace fs = std::filesystem;

namespace {

constexpr int kNoData = -1;
constexpr int kSidMissing = -101;
constexpr int kSidTooLong = -102;
constexpr int kBadDataSpec = -111;
constexpr int kBadFromTime = -112;
constexpr int kBadKey = -114;
constexpr int kBadOption = -115;
constexpr int kNotInitialised = -201;
constexpr int kNotClosed = -202;
constexpr int kNotOpened = -203;
constexpr int kFileMissing = -503;

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// Data kinds become folder names: only upper-case letters and digits are accepted.
bool IsDataSpec(const std::string& s) {
  return s.size() == 4 &&
         std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isupper(c) || std::isdigit(c); });
}

bool IsTimeStamp(const std::string& s) {
  if (s.size() != 14 || !AllDigits(s)) return false;
  auto n = [&](size_t pos, size_t len) { return std::stoi(s.substr(pos, len)); };
  return IsValidDate(n(0, 4), n(4, 2), n(6, 2)) && n(8, 2) < 24 && n(10, 2) < 60 && n(12, 2) < 60;
}

int IniInt(const TIniFile& ini, const std::string& key) {
  std::string v = ini.ReadString("Fail", key, "0");
  try {
    return std::stoi(v);
  } catch (...) {
    return 0;
  }
}

// One record per line; every record keeps (or gets) its CR LF. Blank lines are not records.
std::vector<std::string> SplitRecords(const std::string& bytes) {
  std::vector<std::string> records;
  for (auto& line : SplitLines(bytes))
    if (!line.empty()) records.push_back(line + "\r\n");
  return records;
}

fs::path LinkStoreIni(const fs::path& appDir) { return appDir / "linkstore.ini"; }
const char* SideSection(TLinkSide side) { return side == TLinkSide::Central ? "JV" : "NV"; }

}  // namespace

TFileDataLink::TFileDataLink(fs::path storeFolder) : store_(std::move(storeFolder)) { LoadLinkIni(); }

fs::path TFileDataLink::DefaultStoreFolder(const fs::path& appDir, TLinkSide side) {
  return appDir / "linkstore" / SideSection(side);
}

fs::path TFileDataLink::ConfiguredStoreFolder(const fs::path& appDir, TLinkSide side) {
  TIniFile ini(LinkStoreIni(appDir));
  try {
    ini.Load();
  } catch (...) {
    return DefaultStoreFolder(appDir, side);
  }
  std::string folder = ini.ReadString(SideSection(side), "Folder", "");
  if (folder.empty()) return DefaultStoreFolder(appDir, side);
  fs::path p(folder);
  return p.is_absolute() ? p : appDir / p;
}

void TFileDataLink::SaveStoreFolder(const fs::path& appDir, TLinkSide side, const fs::path& folder) {
  TIniFile ini(LinkStoreIni(appDir));
  ini.Load();
  ini.WriteString(SideSection(side), "Folder", folder.string());
  ini.Save();
}

void TFileDataLink::SetStoreFolder(fs::path storeFolder) {
  store_ = std::move(storeFolder);
  ResetOpen();
  LoadLinkIni();
}

void TFileDataLink::LoadLinkIni() {
  TIniFile ini(store_ / "link.ini");
  try {
    ini.Load();
  } catch (...) {
    // An unreadable link.ini counts as an absent one.
  }
  std::string v = ini.ReadString("Link", "Version", "0400");
  version_ = (v.size() == 4 && AllDigits(v)) ? v : "0400";
  std::string save = ini.ReadString("Link", "SaveFolder", "");
  saveFolder_ = save.empty() ? store_ : (fs::path(save).is_absolute() ? fs::path(save) : store_ / save);
  fail_ = {};
  fail_.init = IniInt(ini, "Init");
  fail_.open = IniInt(ini, "Open");
  fail_.rtOpen = IniInt(ini, "RTOpen");
  fail_.close = IniInt(ini, "Close");
  fail_.status = IniInt(ini, "Status");
  fail_.statusAfter = IniInt(ini, "StatusAfter");
  fail_.read = IniInt(ini, "Read");
  fail_.readAfter = IniInt(ini, "ReadAfter");
}

void TFileDataLink::ResetOpen() {
  open_ = TOpen::None;
  files_.clear();
  toDownload_.clear();
  downloaded_ = 0;
  downloadCancelled_ = false;
  totalSize_ = currentSize_ = 0;
  fileIndex_ = 0;
  fileLoaded_ = false;
  records_.clear();
  recordIndex_ = 0;
  recordsDelivered_ = 0;
}

int TFileDataLink::Init(const std::string& sid) {
  ResetOpen();
  LoadLinkIni();
  initialised_ = false;
  if (sid.empty()) return kSidMissing;
  if (sid.size() > 64) return kSidTooLong;
  if (fail_.init != 0) return fail_.init;
  initialised_ = true;
  return 0;
}

int TFileDataLink::Open(const std::string& dataSpec, const std::string& fromTime, int option, int& readCount,
                        int& downloadCount, std::string& lastFileTimestamp) {
  readCount = downloadCount = 0;
  lastFileTimestamp.clear();
  if (!initialised_) return kNotInitialised;
  if (open_ != TOpen::None) return kNotClosed;
  if (!IsDataSpec(dataSpec)) return kBadDataSpec;
  if (!IsTimeStamp(fromTime)) return kBadFromTime;
  if (option < 1 || option > 4) return kBadOption;
  if (fail_.open != 0) return fail_.open;

  // Files published after the start time, in stamp order, then name order. A setup (option 3, 4)
  // starts at the start time itself; a difference import starts after the last stamp taken.
  bool setup = option >= 3;
  struct TCandidate {
    std::string stamp, name;
    fs::path path;
  };
  std::vector<TCandidate> found;
  std::error_code ec;
  fs::path serverDir = store_ / "server" / dataSpec;
  for (fs::directory_iterator it(serverDir, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    std::string name = it->path().filename().string();
    if (name.size() < 16 || name[14] != '_' || !AllDigits(name.substr(0, 14))) continue;
    std::string stamp = name.substr(0, 14);
    if (setup ? stamp < fromTime : stamp <= fromTime) continue;
    found.push_back({stamp, name, it->path()});
  }
  open_ = TOpen::Stored;  // a "no data" open still wants its Close
  if (found.empty()) return kNoData;
  std::sort(found.begin(), found.end(),
            [](const TCandidate& a, const TCandidate& b) { return std::tie(a.stamp, a.name) < std::tie(b.stamp, b.name); });

  fs::path dataDir = saveFolder_ / "data";
  for (const auto& c : found) {
    TFile f;
    f.name = c.name;
    f.source = c.path;
    f.local = dataDir / c.name;
    f.size = static_cast<long long>(fs::file_size(c.path, ec));
    if (ec) f.size = 0;
    totalSize_ += f.size;
    if (!fs::exists(f.local)) toDownload_.push_back(files_.size());
    files_.push_back(std::move(f));
  }
  readCount = static_cast<int>(files_.size());
  downloadCount = static_cast<int>(toDownload_.size());
  lastFileTimestamp = found.back().stamp;
  return 0;
}

int TFileDataLink::Status() {
  if (open_ != TOpen::Stored) return kNotOpened;
  if (fail_.status != 0 && downloaded_ >= static_cast<size_t>(std::max(0, fail_.statusAfter))) return fail_.status;
  // Copies files for at most a fifth of a second per poll: a small store is downloaded at the
  // first poll, a large one shows its progress and can still be stopped between polls.
  const auto started = std::chrono::steady_clock::now();
  while (!downloadCancelled_ && downloaded_ < toDownload_.size()) {
    if (fail_.status != 0 && downloaded_ >= static_cast<size_t>(std::max(0, fail_.statusAfter))) break;
    const TFile& f = files_[toDownload_[downloaded_]];
    try {
      WriteFileAtomic(f.local, ReadFileBytes(f.source));
    } catch (...) {
      return -502;
    }
    ++downloaded_;
    if (std::chrono::steady_clock::now() - started > std::chrono::milliseconds(200)) break;
  }
  return static_cast<int>(downloaded_);
}

void TFileDataLink::Cancel() { downloadCancelled_ = true; }

int TFileDataLink::RTOpen(const std::string& dataSpec, const std::string& key) {
  if (!initialised_) return kNotInitialised;
  if (open_ != TOpen::None) return kNotClosed;
  if (dataSpec != "0B12" && dataSpec != "0B14" && dataSpec != "0B15" && dataSpec != "0B30") return kBadDataSpec;
  size_t keyLength = dataSpec == "0B30" ? 12 : 8;
  if (key.size() != keyLength || !AllDigits(key)) return kBadKey;
  if (fail_.rtOpen != 0) return fail_.rtOpen;
  open_ = TOpen::RealTime;
  fs::path answer = store_ / "realtime" / dataSpec / (key + ".txt");
  std::error_code ec;
  if (!fs::is_regular_file(answer, ec)) return kNoData;
  TFile f;
  f.name = key + ".txt";
  f.source = f.local = answer;
  f.size = static_cast<long long>(fs::file_size(answer, ec));
  if (ec) f.size = 0;
  totalSize_ = f.size;
  files_.push_back(std::move(f));
  return 0;
}

bool TFileDataLink::LoadFile(size_t index) {
  const TFile& f = files_[index];
  std::string bytes;
  try {
    bytes = ReadFileBytes(f.local);
  } catch (...) {
    return false;
  }
  records_ = SplitRecords(bytes);
  recordIndex_ = 0;
  currentSize_ = static_cast<long long>(bytes.size());
  fileLoaded_ = true;
  return true;
}

int TFileDataLink::Read(std::string& record, int& size, std::string& fileName) {
  if (open_ == TOpen::None) return kNotOpened;
  if (fail_.read != 0 && recordsDelivered_ >= fail_.readAfter) return fail_.read;
  if (fileIndex_ >= files_.size()) return 0;
  if (!fileLoaded_ && !LoadFile(fileIndex_)) return kFileMissing;
  fileName = files_[fileIndex_].name;
  if (recordIndex_ < records_.size()) {
    record = records_[recordIndex_++];
    size = static_cast<int>(record.size());
    ++recordsDelivered_;
    return size;
  }
  // End of this file; its size stays readable until the next file begins.
  fileLoaded_ = false;
  records_.clear();
  ++fileIndex_;
  return -1;
}

void TFileDataLink::Skip() {
  if (open_ == TOpen::None || fileIndex_ >= files_.size()) return;
  if (!fileLoaded_) LoadFile(fileIndex_);  // the skipped file still counts with its size
  fileLoaded_ = false;
  records_.clear();
  ++fileIndex_;
}

int TFileDataLink::Close() {
  bool wasOpen = open_ != TOpen::None;
  ResetOpen();
  if (!wasOpen) return 0;
  return fail_.close;
}

int TFileDataLink::Properties() { return properties_ ? properties_(*this) : 0; }

std::string TFileDataLink::Version() const { return version_; }

fs::path TFileDataLink::SavePath() const { return saveFolder_; }

}  // namespace zelk
