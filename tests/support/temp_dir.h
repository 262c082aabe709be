#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace vellumor::test {

// A fresh folder under the system temporary folder, removed with everything in it at scope exit.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::string read_bytes(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::string& bytes);

// Every entry of the folder by name with its content ("<dossier>" for a sub-folder), to check that
// an operation left a folder exactly as it was.
std::map<std::string, std::string> folder_contents(const std::filesystem::path& folder);

}  // namespace vellumor::test
