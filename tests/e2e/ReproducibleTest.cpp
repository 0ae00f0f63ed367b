// The packages are the same bytes when built twice: from this build, and from
// a second build, made later, of a copy of the sources at another path, with
// the packaged targets alone. The RPM holds the files the .deb holds.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <string>

#include "Desktop.h"
#include "Packages.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char* const bothFormats = " -G 'DEB;RPM'";
const char* const buildJobs = " -j 2"; // the processors ctest gives the case

// What cpack stamps on the packages: SOURCE_DATE_EPOCH as the caller set it,
// else the time of the last commit, as cpack itself takes it.
std::string sourceDateEpoch()
{
    if (const char* given = std::getenv("SOURCE_DATE_EPOCH"))
        return given;
    std::string time = run("git -C " + quoted(QUASARIL_SOURCE_DIR) + " log -1 --format=%ct").output;
    if (!time.empty() && time.back() == '\n')
        time.pop_back();
    return time;
}

// The sources as they are, without git's history or any build tree.
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
        else if (entry->is_directory() && !entry->is_symlink())
            fs::create_directory(target);
        else
            fs::copy(entry->path(), target, fs::copy_options::copy_symlinks);
    }
}

// Configures the copy as this build is configured and builds what the
// package holds, nothing more.
Outcome buildPackagedFiles(const fs::path& sources, const fs::path& tree)
{
    const std::string cmake = quoted(QUASARIL_CMAKE);
    const Outcome configured =
        run(cmake + " -S " + quoted(sources) + " -B " + quoted(tree) +
            " -G '" QUASARIL_CMAKE_GENERATOR "' -DCMAKE_BUILD_TYPE='" QUASARIL_BUILD_TYPE
            "' -DCMAKE_CXX_COMPILER='" QUASARIL_CXX_COMPILER
            "' -DCMAKE_CXX_FLAGS='" QUASARIL_CXX_FLAGS "' -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON");
    if (configured.status != 0)
        return configured;
    return run(cmake + " --build " + quoted(tree) + buildJobs + " --target quasaril_package_files");
}

// Every entry under root: its type, and a file's mode and content.
std::map<std::string, std::string> entries(const fs::path& root)
{
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string& description = found[fs::relative(entry.path(), root).string()];
        if (entry.is_symlink())
            description = "link to " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            description = "directory";
        else
            description =
                "file, mode " + std::to_string(static_cast<int>(entry.status().permissions())) +
                ", content " + std::to_string(std::hash<std::string>{}(readFile(entry.path())));
    }
    return found;
}

} // namespace

TEST(Package, IsTheSameBuiltTwiceInTwoPlaces)
{
    const TemporaryDirectory work;
    ASSERT_FALSE(work.path().empty());
    const std::string epoch = sourceDateEpoch();
    ASSERT_FALSE(epoch.empty()) << "not a git checkout: set SOURCE_DATE_EPOCH";

    const fs::path first = work.path() / "first";
    const Outcome packed = run(std::string(QUASARIL_CPACK) + bothFormats + " --config " +
                               QUASARIL_CPACK_CONFIG + " -B " + quoted(first));
    ASSERT_EQ(packed.status, 0) << packed.output;

    const fs::path elsewhere = work.path() / "elsewhere";
    copySources(QUASARIL_SOURCE_DIR, elsewhere / "quasaril");
    const Outcome built = buildPackagedFiles(elsewhere / "quasaril", elsewhere / "tree");
    ASSERT_EQ(built.status, 0) << built.output;
    const fs::path second = work.path() / "second";
    const Outcome repacked =
        run("SOURCE_DATE_EPOCH=" + epoch + " " + QUASARIL_CPACK + bothFormats + " --config " +
            quoted(elsewhere / "tree/CPackConfig.cmake") + " -B " + quoted(second));
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
    const Outcome lint = run("rpmlint -r " + quoted(QUASARIL_RPMLINTRC) + " " + quoted(rpm));
    EXPECT_EQ(lint.status, 0) << lint.output;
    std::cout << lint.output;
    const fs::path debRoot = work.path() / "deb";
    const fs::path rpmRoot = work.path() / "rpm";
    fs::create_directory(rpmRoot);
    ASSERT_EQ(
        run("dpkg-deb -x " + quoted(onlyFileIn(first, ".deb")) + " " + quoted(debRoot)).status, 0);
    const Outcome unpacked =
        run("cd " + quoted(rpmRoot) + " && rpm2cpio " + quoted(rpm) + " | cpio -idm --quiet");
    ASSERT_EQ(unpacked.status, 0) << unpacked.output;
    const std::map<std::string, std::string> debFiles = entries(debRoot);
    EXPECT_GT(debFiles.size(), 1u);
    EXPECT_EQ(entries(rpmRoot), debFiles);
}
