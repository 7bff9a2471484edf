#pragma once
// Setting up a new application folder: its working folders, the link stores and the three
// racing databases.
#include <filesystem>
#include <string>
#include <vector>

namespace zelk {

// The folders of a new application folder, relative to it, parents before children.
std::vector<std::filesystem::path> ApplicationFolders();

struct TInitResult {
  bool created = false;
  std::string message;  // what was done, or why nothing was done
};

// Creates the application folder with its folders and the databases in db. When any of the
// database files already exists nothing is created or changed and `created` is false.
// Throws std::runtime_error when a folder or file cannot be created.
TInitResult InitApplicationFolder(const std::filesystem::path& appDir);

}  // namespace zelk
