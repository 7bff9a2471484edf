#pragma once
// Text files of the system: CP932 bytes with CR LF line ends on disk, UTF-8 lines in memory.
// Files that are replaced whole are written to a temporary file in the same folder, flushed
// and renamed over the old one, so a crash never leaves half a file.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// Whole file as bytes. Throws std::runtime_error when the file cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Splits bytes into lines at CR LF (a lone LF also ends a line); the line ends are dropped.
// A last line without line end is kept; an empty final line after the last CR LF is not.
std::vector<std::string> SplitLines(std::string_view bytes);

// Reads a CP932 text file as UTF-8 lines. Throws when the file cannot be read.
std::vector<std::string> ReadTextLines(const std::filesystem::path& path);

// Reads a CP932 text file as raw CP932 lines (records cut by byte offsets).
std::vector<std::string> ReadRawLines(const std::filesystem::path& path);

// Replaces the file with `bytes` atomically (temporary file, fsync, rename). Creates missing folders.
// Throws std::runtime_error on failure; the old file is then unchanged.
void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

// Writes UTF-8 lines as CP932 with CR LF after every line, atomically.
void WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Writes raw CP932 lines with CR LF after every line, atomically.
void WriteRawLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

// Appends one raw line plus CR LF to a file, creating it when missing.
void AppendRawLine(const std::filesystem::path& path, std::string_view line);

}  // namespace zelk
