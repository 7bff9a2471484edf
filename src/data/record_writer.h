#pragma once
// What the import runner hands the data-link records to. TJVTables and TNVTables implement it.
// Record texts are the CP932 bytes of one record as the data link delivers it, CR LF included.
#include <string>

#include "common/date_time.h"

namespace zelk {

class IRecordWriter {
 public:
  virtual ~IRecordWriter() = default;
  // Bulk import: 0, -903 (kind not imported) or -900.
  virtual int OpenTables(const std::string& recordKind) = 0;
  virtual int CloseTables(const std::string& recordKind, bool commit) = 0;
  // 0, -903, -907 (older than the stored row) or -900.
  virtual int ReflectRecord(const std::string& record) = 0;
  // Real-time import of one record: same codes.
  virtual int ReflectSokuhoRecord(const std::string& record) = 0;
  virtual int BeginSokuhoTables() = 0;
  virtual int EndSokuhoTables(bool commit) = 0;
  // Real-time line collection of one race day.
  virtual void BeginSokuho(const TDateTime& raceDate) = 0;
  virtual void AddSokuho(const std::string& record) = 0;
  // 0, -902 when nothing was collected, -900 on a file error.
  virtual int WriteSokuho(const TDateTime& raceDate) = 0;
  // Real-time odds: forget / write back the day file in memory.
  virtual void ResetOddsFile() = 0;
  virtual int FlushOddsFile() = 0;
};

}  // namespace zelk
