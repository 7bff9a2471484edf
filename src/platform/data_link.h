#pragma once
// The data-link operations the import runner drives: one link for central racing (JV),
// one for local racing (NV). Return codes are the link's own: 0 success, -1 no data,
// negative errors (-201 not initialised, -202 previous open not closed, -203 not opened, ...).
// Record texts are the CP932 bytes of one record as delivered, CR LF included.
#include <filesystem>
#include <string>

namespace zelk {

class IDataLink {
 public:
  virtual ~IDataLink() = default;

  // Initialises the link with the software identifier; must precede every open.
  virtual int Init(const std::string& sid) = 0;
  // Stored-data open: data kind ("RACE"), start time "yyyymmddhhnnss", option (1 normal,
  // 3 setup). Answers 0, -1 (no data) or an error; fills the number of files to read, the number
  // of files to download and the time stamp of the last file.
  virtual int Open(const std::string& dataSpec, const std::string& fromTime, int option, int& readCount,
                   int& downloadCount, std::string& lastFileTimestamp) = 0;
  // Number of files downloaded so far, or a negative error.
  virtual int Status() = 0;
  // Stops the download of the current open.
  virtual void Cancel() = 0;
  // Real-time open: data kind ("0B12", "0B14", "0B15", "0B30") and key. 0, -1 (no data) or an error.
  virtual int RTOpen(const std::string& dataSpec, const std::string& key) = 0;
  // Next record: its length (> 0) with the record, its size and the file name filled; -1 at the
  // end of one file, 0 at the end of all files, other negative = error. `size` is the buffer size
  // on entry and the record length on return.
  virtual int Read(std::string& record, int& size, std::string& fileName) = 0;
  // Abandons the rest of the current file; the next read starts the next file.
  virtual void Skip() = 0;
  // Ends the current open. 0 or an error.
  virtual int Close() = 0;
  // Shows the link's properties dialog. The answer is not used.
  virtual int Properties() = 0;

  // Four digits such as "0400".
  virtual std::string Version() const = 0;
  // The save folder; it holds the subfolders "data" and "cache".
  virtual std::filesystem::path SavePath() const = 0;
  // Bytes of all files of the current open, and of the file being read.
  virtual long long TotalReadFileSize() const = 0;
  virtual long long CurrentReadFileSize() const = 0;
};

// The version as shown to the user: digits 2, 3 and 4 joined by "." ("0400" -> "4.0.0").
inline std::string LinkVersionText(const std::string& version) {
  if (version.size() < 4) return version;
  return std::string(1, version[1]) + "." + version[2] + "." + version[3];
}

}  // namespace zelk
