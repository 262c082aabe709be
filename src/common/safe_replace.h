#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/output_file.h"
#include "common/regular_file.h"

namespace vellumor {

enum class ReplaceStatus {
    Replaced,
    Failed,      // nothing replaced: a write, flush or rename failed, or the target is read-only
    HardLinked,  // nothing replaced: the target has other hard links, which a rename would split
    Changed,     // nothing replaced: the target is no longer the file that was read
};

struct ReplaceResult {
    ReplaceStatus status = ReplaceStatus::Failed;
    std::string message;  // French reason, empty when replaced
    explicit operator bool() const { return status == ReplaceStatus::Replaced; }
};

struct ReplaceOptions {
    // When set, target is replaced only if it is still this file just before the rename (Changed
    // otherwise, a deleted target included).
    std::optional<FileIdentity> expected;
    // Called with the resolved target once the new content is complete and flushed and the target
    // checked, just before the rename (to keep the old file elsewhere, for example). Returning
    // false stops the replacement; error then holds the reason.
    std::function<bool(const std::filesystem::path& target, std::string& error)> before_rename;
    // How many of the target's hard links are the program's own copies (originals kept by an
    // earlier run, perhaps interrupted): those do not count as other links.
    std::function<std::uintmax_t(const std::filesystem::path& target)> own_links;
    // A new file only: the rename itself refuses a target that exists by then (Failed), so a file
    // another program creates after every check is kept, never replaced.
    bool never_replace = false;
};

// Fills the temporary file; false (or an exception) abandons the replacement.
using WriteContent = std::function<bool(OutputFile& out)>;

// Writes target through a temporary file created beside it (exclusively, never through a link):
// write(out) fills it through the descriptor that created it, it is flushed and synced to disk
// through that descriptor, renamed onto the name target itself, and the folder is synced. When
// target exists, the temporary file is private from its first instant and takes target's owner and
// group (as far as the process may set them), its mode and its extended attributes before write
// is called; a mode bit is never given to a group the file could not keep. A new file gets
// 0666 less the umask (or the folder's default access list). A symbolic link at target is refused
// ("... est un lien symbolique : rien n'est écrit"), never followed. On any failure, or when write
// returns false or throws, the temporary file is removed and target is left untouched.
ReplaceResult replace_file(const std::filesystem::path& target, const WriteContent& write,
                           const ReplaceOptions& options = {});

// replace_file without options; error receives the French reason on failure.
bool replace_file_safely(const std::filesystem::path& target, const WriteContent& write,
                         std::string* error = nullptr);

// replace_file with bytes as the whole content.
ReplaceResult replace_file_with(const std::filesystem::path& target, std::string_view bytes);

// True for the names that replace_file gives its temporary files: hidden, and never a page's
// ".png" (what a killed run leaves behind is not taken for a page).
bool is_safe_replace_temporary(const std::filesystem::path& path);

}  // namespace vellumor
