#pragma once
// Shut-down clean-up of expired log files and real-time day folders.
#include <filesystem>

#include "common/date_time.h"

namespace zelk {

// Deletes, below the application folder:
// - Log/Log*.txt whose characters 4-11 give a date more than `logHozonKikan` days before today;
// - IpatLog/Ipat*.txt dated by characters 5-12, same period;
// - Sokuho/<yyyymmdd> day folders more than `sokuhoDataHozonKikan` days old (their files,
//   then the folder).
// Prefix and ".txt" match regardless of case. Names whose date characters do not form a valid
// date are left in place; entries that cannot be removed are skipped; nothing stops the
// clean-up. Returns the number of files and folders removed.
int DeleteExpiredFiles(const std::filesystem::path& appDir, const TDateTime& today, int logHozonKikan,
                       int sokuhoDataHozonKikan);

}  // namespace zelk
