// The packages are the same bytes when built twice: from this build, and from
// a second build, made later under umask 077, of a copy of the sources at
// another path, checked out under that umask, with the packaged targets
// alone. Every directory in them is 0755 whatever the umask. The RPM holds
// the files the .deb holds, with the programs in /usr/bin and no link to
// Debian's font.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "Desktop.h"
#include "GameFiles.h"
#include "Packages.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char* const bothFormats = "DEB;RPM";
const char* const buildJobs = "2"; // the processors ctest gives the case
// A common hardened default: nothing for the group or others.
constexpr mode_t privateUmask = 077;
constexpr mode_t usualUmask = 022;
constexpr fs::perms privateBits = fs::perms::group_all | fs::perms::others_all;
// Where the .deb puts the programs, and the RPM.
const std::string debPrograms = "usr/games";
const std::string rpmPrograms = "usr/bin";
const std::string debFontLink = std::string("usr/share/games/quasaril/") + gamefiles::font;

// What cpack stamps on the packages, and where it came from: SOURCE_DATE_EPOCH
// as the caller set it, else the time of the last commit, as cpack itself
// takes it; in a tree without git history, the time of the newest source
// file, given to both builds.
struct Epoch {
    std::string time;
    std::string from;
    bool givenToBoth;
};

std::string newestFileTime(const fs::path& tree)
{
    time_t newest = 0;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        struct stat status {};
        if (entry.is_regular_file() && stat(entry.path().c_str(), &status) == 0)
            newest = std::max(newest, status.st_mtime);
    }
    return std::to_string(newest);
}

Epoch sourceDateEpoch()
{
    if (const char* given = std::getenv("SOURCE_DATE_EPOCH"))
        return {given, "SOURCE_DATE_EPOCH as set", true};
    const Outcome commit = run({"git", "-C", QUASARIL_SOURCE_DIR, "log", "-1", "--format=%ct"});
    std::string time = commit.output;
    if (!time.empty() && time.back() == '\n')
        time.pop_back();
    if (commit.status == 0 && !time.empty() &&
        time.find_first_not_of("0123456789") == std::string::npos)
        return {time, "the last commit", false};
    return {newestFileTime(QUASARIL_SOURCE_DIR),
            "the newest source file: no git history in " QUASARIL_SOURCE_DIR, true};
}

// The sources as they are, without git's history or any build tree, with the
// modes a checkout under umask 077 gives them.
void copySources(const fs::path& from, const fs::path& to)
{
    auto isBuildTree = [](const fs::path& directory) {
        return fs::exists(directory / "CMakeCache.txt");
    };
    fs::create_directories(to);
    for (auto entry = fs::recursive_directory_iterator(from);
         entry != fs::recursive_directory_iterator(); ++entry) {
        const fs::path target = to / fs::relative(entry->path(), from);
        if (entry->path().filename() == ".git" ||
            (entry->is_directory() && isBuildTree(entry->path())))
            entry.disable_recursion_pending();
        else if (entry->is_symlink())
            fs::copy_symlink(entry->path(), target);
        else {
            if (entry->is_directory())
                fs::create_directory(target);
            else
                fs::copy_file(entry->path(), target);
            fs::permissions(target, privateBits, fs::perm_options::remove);
        }
    }
}

// Configures the copy as this build is configured and builds what the
// package holds, nothing more, under umask 077.
Outcome buildPackagedFiles(const fs::path& sources, const fs::path& tree)
{
    const Setting hardened{{}, {}, privateUmask};
    const Outcome configured = run(
        {QUASARIL_CMAKE, "-S", sources, "-B", tree, "-G", QUASARIL_CMAKE_GENERATOR,
         "-DCMAKE_BUILD_TYPE=" QUASARIL_BUILD_TYPE, "-DCMAKE_CXX_COMPILER=" QUASARIL_CXX_COMPILER,
         "-DCMAKE_CXX_FLAGS=" QUASARIL_CXX_FLAGS, "-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON"},
        hardened);
    if (configured.status != 0)
        return configured;
    return run(
        {QUASARIL_CMAKE, "--build", tree, "-j", buildJobs, "--target", "quasaril_package_files"},
        hardened);
}

std::string octal(fs::perms mode)
{
    std::ostringstream text;
    text << std::oct << static_cast<int>(mode);
    return text.str();
}

// Every entry under root: its type and mode, a file's content, a link's target.
std::map<std::string, std::string> entries(const fs::path& root)
{
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string& description = found[fs::relative(entry.path(), root).string()];
        if (entry.is_symlink())
            description = "link to " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            description = "directory, mode " + octal(entry.status().permissions());
        else
            description = "file, mode " + octal(entry.status().permissions()) + ", content " +
                          std::to_string(std::hash<std::string>{}(readFile(entry.path())));
    }
    return found;
}

// What the RPM should hold, from what the .deb holds: the programs in
// /usr/bin, and no link to the font.
std::map<std::string, std::string> asInTheRpm(std::map<std::string, std::string> debFiles)
{
    debFiles.erase(debFontLink);
    std::map<std::string, std::string> rpmFiles;
    for (const auto& [path, description] : debFiles)
        rpmFiles[path.rfind(debPrograms, 0) == 0 ? rpmPrograms + path.substr(debPrograms.size())
                                                 : path] = description;
    return rpmFiles;
}

} // namespace

TEST(Package, IsTheSameBuiltTwiceInTwoPlaces)
{
    const TemporaryDirectory work;
    ASSERT_FALSE(work.path().empty());
    const Epoch epoch = sourceDateEpoch();
    std::cout << "SOURCE_DATE_EPOCH=" << epoch.time << ", from " << epoch.from << "\n";
    const Setting stamped{{}, {{"SOURCE_DATE_EPOCH", epoch.time}}, {}};

    const fs::path first = work.path() / "first";
    const Outcome packed =
        run({QUASARIL_CPACK, "-G", bothFormats, "--config", QUASARIL_CPACK_CONFIG, "-B", first},
            epoch.givenToBoth ? stamped : Setting{});
    ASSERT_EQ(packed.status, 0) << packed.output;

    const fs::path elsewhere = work.path() / "elsewhere";
    copySources(QUASARIL_SOURCE_DIR, elsewhere / "quasaril");
    const Outcome built = buildPackagedFiles(elsewhere / "quasaril", elsewhere / "tree");
    ASSERT_EQ(built.status, 0) << built.output;
    const fs::path second = work.path() / "second";
    Setting hardenedAndStamped = stamped;
    hardenedAndStamped.umask = privateUmask;
    const Outcome repacked = run({QUASARIL_CPACK, "-G", bothFormats, "--config",
                                  elsewhere / "tree/CPackConfig.cmake", "-B", second},
                                 hardenedAndStamped);
    ASSERT_EQ(repacked.status, 0) << repacked.output;

    for (const char* format : {".deb", ".rpm"}) {
        const fs::path once = onlyFileIn(first, format);
        const fs::path twice = onlyFileIn(second, format);
        ASSERT_FALSE(once.empty() || twice.empty()) << format << "\n"
                                                    << packed.output << repacked.output;
        EXPECT_EQ(once.filename(), twice.filename());
        const std::string bytes = readFile(once);
        EXPECT_FALSE(bytes.empty()) << once;
        EXPECT_TRUE(bytes == readFile(twice))
            << format << ": diffoscope on two builds shows where they differ";
    }

    const fs::path rpm = onlyFileIn(first, ".rpm");
    const Outcome lint = run({"rpmlint", "-r", QUASARIL_RPMLINTRC, rpm});
    EXPECT_EQ(lint.status, 0) << lint.output;
    std::cout << lint.output;
    const std::string requires = "\n" + run({"rpm", "-qp", "--requires", rpm}).output;
    EXPECT_NE(requires.find("\nfont(liberationsans)\n"), std::string::npos) << requires;
    const fs::path debRoot = work.path() / "deb";
    const fs::path rpmRoot = work.path() / "rpm";
    fs::create_directory(rpmRoot);
    ASSERT_EQ(run({"dpkg-deb", "-x", onlyFileIn(first, ".deb"), debRoot}).status, 0);
    // The directories the RPM leaves to the system are made as the umask says.
    const Outcome unpacked = run({"sh", "-c", "rpm2cpio \"$1\" | cpio -idm --quiet", "sh", rpm},
                                 {rpmRoot, {}, usualUmask});
    ASSERT_EQ(unpacked.status, 0) << unpacked.output;
    const std::map<std::string, std::string> debFiles = entries(debRoot);
    EXPECT_GT(debFiles.size(), 1u);
    for (const auto& [path, description] : debFiles)
        EXPECT_TRUE(description.rfind("directory", 0) != 0 || description == "directory, mode 755")
            << path << ": " << description;
    EXPECT_EQ(entries(rpmRoot), asInTheRpm(debFiles));
}
