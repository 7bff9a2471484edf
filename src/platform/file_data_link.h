#pragma once
// The data link over a link store folder (docs/linkstore.md): published files in server/,
// downloads copied into the save folder's data/, real-time answers in realtime/.
// Failures can be injected through the [Fail] section of link.ini for tests and rehearsals.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/data_link.h"

namespace zelk {

enum class TLinkSide { Central, Local };

class TFileDataLink final : public IDataLink {
 public:
  explicit TFileDataLink(std::filesystem::path storeFolder);

  // Default store of a link: <application folder>/linkstore/JV or /NV.
  static std::filesystem::path DefaultStoreFolder(const std::filesystem::path& appDir, TLinkSide side);
  // The store chosen in the properties dialog (linkstore.ini in the application folder,
  // section JV or NV, key Folder), else the default.
  static std::filesystem::path ConfiguredStoreFolder(const std::filesystem::path& appDir, TLinkSide side);
  // Remembers the chosen store in linkstore.ini. Throws when the file cannot be written.
  static void SaveStoreFolder(const std::filesystem::path& appDir, TLinkSide side, const std::filesystem::path& folder);

  const std::filesystem::path& StoreFolder() const { return store_; }
  // Points the link at another store; ends any open.
  void SetStoreFolder(std::filesystem::path storeFolder);
  // What Properties() shows (the window layer installs its dialog); without one it answers 0.
  void SetPropertiesHandler(std::function<int(TFileDataLink&)> handler) { properties_ = std::move(handler); }

  int Init(const std::string& sid) override;
  int Open(const std::string& dataSpec, const std::string& fromTime, int option, int& readCount, int& downloadCount,
           std::string& lastFileTimestamp) override;
  int Status() override;
  void Cancel() override;
  int RTOpen(const std::string& dataSpec, const std::string& key) override;
  int Read(std::string& record, int& size, std::string& fileName) override;
  void Skip() override;
  int Close() override;
  int Properties() override;

  std::string Version() const override;
  std::filesystem::path SavePath() const override;
  long long TotalReadFileSize() const override { return totalSize_; }
  long long CurrentReadFileSize() const override { return currentSize_; }

 private:
  struct TFile {
    std::string name;             // file name as reported by Read
    std::filesystem::path source;  // published file
    std::filesystem::path local;   // file read (the downloaded copy, or the real-time answer)
    long long size = 0;
  };
  struct TFailures {
    int init = 0, open = 0, rtOpen = 0, close = 0;
    int status = 0, statusAfter = 0;  // Status answers `status` once that many files are downloaded
    int read = 0, readAfter = 0;      // Read answers `read` once that many records were delivered
  };
  void LoadLinkIni();
  void ResetOpen();
  bool LoadFile(size_t index);

  std::filesystem::path store_;
  std::string version_ = "0400";
  std::filesystem::path saveFolder_;
  TFailures fail_;
  std::function<int(TFileDataLink&)> properties_;

  bool initialised_ = false;
  enum class TOpen { None, Stored, RealTime } open_ = TOpen::None;
  std::vector<TFile> files_;
  std::vector<size_t> toDownload_;  // indices of files_ still to copy into data/
  size_t downloaded_ = 0;
  bool downloadCancelled_ = false;
  long long totalSize_ = 0, currentSize_ = 0;
  size_t fileIndex_ = 0;
  bool fileLoaded_ = false;
  std::vector<std::string> records_;
  size_t recordIndex_ = 0;
  long long recordsDelivered_ = 0;
};

}  // namespace zelk
