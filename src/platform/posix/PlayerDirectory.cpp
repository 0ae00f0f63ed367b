#include "platform/PlayerDirectory.h"
#include "platform/PlayerDirectorySides.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

// Where the player's directory is on a POSIX system, and the links in it.
namespace platform::playerdir {
namespace {

namespace fs = std::filesystem;

constexpr const char* gameName = "quasaril";

// The variable's value if it is an absolute path, else empty.
fs::path absolutePathFrom(const char* variable)
{
    const char* value = std::getenv(variable);
    const fs::path path = value ? value : "";
    return path.is_absolute() ? path : fs::path();
}

bool linksTo(const fs::path& link, const fs::path& target)
{
    std::error_code failed;
    const bool isLink = fs::is_symlink(fs::symlink_status(link, failed));
    return isLink && fs::read_symlink(link, failed) == target && !failed;
}

// The file system makes no links at all (FAT, some network mounts).
bool linksUnsupported(const std::error_code& error)
{
    return error == std::errc::operation_not_permitted ||
           error == std::errc::function_not_supported ||
           error == std::errc::operation_not_supported;
}

// Replaces whatever has the link's name by a link to the target; an error
// code only where the link could not be made. Another game may make the same
// link between our removal and our making it: then the link is there as
// wanted.
std::error_code makeLink(const fs::path& target, const fs::path& link)
{
    std::error_code failed;
    fs::create_symlink(target, link, failed);
    if (failed == std::errc::file_exists && linksTo(link, target))
        failed.clear();
    return failed;
}

} // namespace

Failure executableDirectory(fs::path& directory)
{
    std::error_code failed;
    const fs::path executable = fs::read_symlink("/proc/self/exe", failed);
    if (failed)
        return Failure::of("read /proc/self/exe", failed);
    directory = executable.parent_path();
    return {};
}

Failure playerDirectory(fs::path& directory)
{
    fs::path data = absolutePathFrom("XDG_DATA_HOME");
    if (data.empty()) {
        const fs::path home = absolutePathFrom("HOME");
        if (home.empty())
            return Failure("neither XDG_DATA_HOME nor HOME is an absolute path, so there is no "
                           "player's directory to keep the high score in");
        data = home / ".local" / "share";
    }
    directory = data / gameName;
    return {};
}

Failure sameFile(const fs::path& one, const fs::path& other, bool& same)
{
    std::error_code failed;
    same = fs::equivalent(one, other, failed);
    return failed ? Failure::of("compare " + one.string() + " with " + other.string(), failed)
                  : Failure();
}

Failure placeGameFiles(const fs::path& files, const fs::path& directory,
                       const std::vector<std::string>& names)
{
    if (files.empty())
        return {};
    for (const std::string& name : names) {
        std::error_code failed;
        const fs::path target = fs::absolute(files / name, failed);
        const fs::path entry = directory / name;
        bool same = false;
        if (!fs::exists(target, failed) || linksTo(entry, target) ||
            (!sameBytes(target, entry, same) && same))
            continue;
        fs::remove(entry, failed);
        if (failed)
            return Failure::of("remove " + entry.string(), failed);
        failed = makeLink(target, entry);
        if (linksUnsupported(failed))
            return copyFiles(files, directory, names);
        if (failed)
            return Failure::of("link " + entry.string() + " to " + target.string(), failed);
    }
    return {};
}

} // namespace platform::playerdir
