// Liberation Sans as the system's font configuration finds it, and no other
// family in its place.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/SystemFont.h"
#include "TestSupport.h"

namespace fs = std::filesystem;
namespace font = platform::font;

namespace {

// Where Debian's fonts-liberation2 keeps its fonts.
const fs::path liberationFonts = "/usr/share/fonts/truetype/liberation2";

} // namespace

TEST(SystemFont, FindsLiberationSansRegularAndNoOtherFamilyInItsPlace)
{
    fs::path found;
    const platform::Failure failure = font::liberationSans(found);
    EXPECT_FALSE(failure) << failure.what();
    EXPECT_EQ(found.filename(), "LiberationSans-Regular.ttf");

    // A configuration that knows Liberation Mono alone: fontconfig offers it
    // as the nearest match.
    const ScopedWorkDir dir;
    const fs::path fonts = fs::path(dir.path()) / "fonts";
    fs::create_directories(fonts);
    fs::copy_file(liberationFonts / "LiberationMono-Regular.ttf", fonts / "Mono.ttf");
    const fs::path config = fs::path(dir.path()) / "fonts.conf";
    std::ofstream(config) << "<fontconfig><dir>" << fonts.string() << "</dir><cachedir>"
                          << dir.path() << "/cache</cachedir></fontconfig>\n";
    setenv("FONTCONFIG_FILE", config.c_str(), 1);
    fs::path other;
    const platform::Failure nearest = font::liberationSans(other);
    unsetenv("FONTCONFIG_FILE");
    EXPECT_EQ(other, fs::path());
    EXPECT_NE(nearest.what().find("the nearest is Liberation Mono"), std::string::npos)
        << nearest.what();
}
