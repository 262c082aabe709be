#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace vellumor {

// Writes target through a temporary file in the same folder: write(temp) fills it, it is flushed to
// disk and renamed over target. When write returns false or anything fails, the temporary file is
// removed and target is left untouched. error receives a French reason on failure.
bool replace_file_safely(const std::filesystem::path& target,
                         const std::function<bool(const std::filesystem::path& temp)>& write,
                         std::string* error = nullptr);

// True for the names that replace_file_safely gives its temporary files, so that a folder scan can
// skip (or clean up) what an interrupted run left behind.
bool is_safe_replace_temporary(const std::filesystem::path& path);

}  // namespace vellumor
