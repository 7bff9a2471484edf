#pragma once
// Creation and upgrade of the three racing databases: db/race.db (レース詳細, 払戻),
// db/racese.db (馬毎レース情報) and db/code.db (the code masters). Every file carries a
// schema_version table; UpgradeDatabase brings an older file up step by step.
#include <filesystem>
#include <string>
#include <vector>

namespace zelk {

class TConnection;

inline constexpr int kSchemaVersion = 1;

inline const char* const kRaceDbFile = "race.db";
inline const char* const kRaceseDbFile = "racese.db";
inline const char* const kCodeDbFile = "code.db";

// Creates the three database files in dbDir (created when missing) with every table, the
// schema version and the code master rows. Refuses (std::runtime_error, nothing written)
// when any of the three files already exists.
void CreateDatabases(const std::filesystem::path& dbDir);

// The database files of dbDir that already exist.
std::vector<std::filesystem::path> ExistingDatabaseFiles(const std::filesystem::path& dbDir);

// Reads the file's schema version and runs the upgrade steps from there to kSchemaVersion,
// each in its own transaction. Throws std::runtime_error for a file without a schema_version
// table or with a version newer than this program knows.
void UpgradeDatabase(TConnection& connection);
int SchemaVersionOf(TConnection& connection);

// Column names of the tables in table order.
std::vector<std::string> RaceColumns();        // レース詳細
std::vector<std::string> EntryColumns();       // 馬毎レース情報
std::vector<std::string> PayoutColumns();      // 払戻

}  // namespace zelk
