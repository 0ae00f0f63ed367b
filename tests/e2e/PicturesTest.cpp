// The pictures our generator draws for the game: their sizes fit the places
// where the game draws them, and every build draws the same files. The
// Windows icon file holds the desktop's icons pixel for pixel. The sounds
// our synthesiser makes are short, soft-edged and about as loud as each
// other (the packages' reproducibility holds their bytes).

#include <gtest/gtest.h>

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "Commands.h"
#include "Files.h"
#include "GameFiles.h"

namespace fs = std::filesystem;

namespace {

struct Expected {
    const char* name;
    unsigned width;
    unsigned height;
};

// Brains fill 40 of their 60 pixel slots; the explosion keeps the ship's 60
// by 60 area, which the ship's sprite keeps for every later picture; the
// bubble frames the ship from 55 left and 40 above it; the three shots share
// one canvas, as wide as the bolt and as tall as the virus.
constexpr Expected sizes[] = {
    {gamefiles::ship, 60, 60},         {gamefiles::explodedShip, 60, 60},
    {gamefiles::plainBrain, 40, 40},   {gamefiles::freezeBrain, 40, 40},
    {gamefiles::fireBrain, 40, 40},    {gamefiles::brainShot, 40, 60},
    {gamefiles::plainShot, 150, 30},   {gamefiles::virusShot, 150, 30},
    {gamefiles::torpedoShot, 150, 30}, {gamefiles::powerUp, 32, 32},
    {gamefiles::bubble, 170, 140},     {gamefiles::splashScreen, 800, 800},
    {gamefiles::backdrop, 800, 800},   {gamefiles::mainMenu, 800, 800},
};

static_assert(std::size(sizes) == std::size(gamefiles::pictures), "a size for every picture");

const char* const screens[] = {gamefiles::splashScreen, gamefiles::backdrop, gamefiles::mainMenu};

sf::Image load(const std::string& name)
{
    sf::Image image;
    EXPECT_TRUE(image.loadFromFile((fs::path(QUASARIL_RUN_DIR) / name).string())) << name;
    return image;
}

std::string bytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The menu's click bands as pixel rows, and the colour of each button's frame.
struct Band {
    const char* item;
    int top;
    int bottom;
    sf::Color frame;
};
const Band menuBands[] = {
    {"PLAY", 146, 379, sf::Color(40, 220, 90)},
    {"EXIT", 384, 559, sf::Color(230, 60, 50)},
};
constexpr int firstAnsweringColumn = 1; // a click at x = 0 answers nothing
constexpr int lastColumn = 799;

struct MeanColour {
    double r = 0, g = 0, b = 0;
};

MeanColour meanOfOpaque(const sf::Image& image)
{
    MeanColour mean;
    int opaque = 0;
    for (unsigned y = 0; y < image.getSize().y; ++y)
        for (unsigned x = 0; x < image.getSize().x; ++x) {
            const sf::Color c = image.getPixel(x, y);
            if (c.a == 255) {
                mean.r += c.r, mean.g += c.g, mean.b += c.b;
                ++opaque;
            }
        }
    if (opaque > 0)
        mean = {mean.r / opaque, mean.g / opaque, mean.b / opaque};
    return mean;
}

// A little-endian number of `size` bytes at `at` in the file's bytes.
std::uint32_t number(const std::string& file, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int n = size - 1; n >= 0; --n)
        value = value << 8 | static_cast<unsigned char>(file.at(at + n));
    return value;
}

} // namespace

TEST(Pictures, TheWindowsIconFileHoldsEachDesktopIconPixelForPixel)
{
    const fs::path icons(QUASARIL_ICON_DIR);
    const std::string file = bytes(icons / "quasaril.ico");
    const unsigned sides[] = {16, 32, 48, 64, 128, 256};
    ASSERT_EQ(number(file, 0, 4), 0x10000u) << "not an icon file";
    ASSERT_EQ(number(file, 4, 2), std::size(sides));
    for (std::size_t entry = 0; entry < std::size(sides); ++entry) {
        const unsigned side = sides[entry];
        const std::size_t at = 6 + 16 * entry;
        EXPECT_EQ(number(file, at, 1), side % 256) << "the side, 256 as 0";
        EXPECT_EQ(number(file, at + 6, 2), 32u) << "bits per pixel";
        const std::size_t bitmap = number(file, at + 12, 4);
        const unsigned maskRow = (side + 31) / 32 * 4; // bits padded to whole 32-bit words
        ASSERT_EQ(number(file, at + 8, 4), 40 + side * side * 4 + maskRow * side);
        EXPECT_EQ(number(file, bitmap + 4, 4), side);
        EXPECT_EQ(number(file, bitmap + 8, 4), 2 * side) << "pixels and mask";
        sf::Image png;
        const std::string name = std::to_string(side) + "x" + std::to_string(side) + ".png";
        ASSERT_TRUE(png.loadFromFile((icons / name).string()));
        // Rows bottom first, each pixel blue, green, red, alpha.
        std::size_t pixel = bitmap + 40;
        for (unsigned y = side; y-- > 0;)
            for (unsigned x = 0; x < side; ++x, pixel += 4) {
                const sf::Color c = png.getPixel(x, y);
                ASSERT_EQ(number(file, pixel, 4),
                          std::uint32_t(c.a) << 24 | c.r << 16 | c.g << 8 | c.b)
                    << name << " at " << x << ", " << y;
            }
    }
}

TEST(Pictures, EachHasTheSizeOfItsPlaceInTheGame)
{
    for (const Expected& expected : sizes) {
        const sf::Image image = load(expected.name);
        EXPECT_EQ(image.getSize(), sf::Vector2u(expected.width, expected.height)) << expected.name;
    }
}

TEST(Pictures, ScreensAreOpaqueAndSpritesHaveClearCorners)
{
    // The screens are drawn over the last frame without clearing it first.
    for (const char* name : screens) {
        const sf::Image image = load(name);
        for (unsigned y = 0; y < image.getSize().y; ++y)
            for (unsigned x = 0; x < image.getSize().x; ++x)
                ASSERT_EQ(image.getPixel(x, y).a, 255) << name << " at " << x << ", " << y;
    }
    for (const Expected& sprite : sizes) {
        if (sprite.width == 800)
            continue;
        const sf::Image image = load(sprite.name);
        EXPECT_EQ(image.getPixel(0, 0).a, 0) << sprite.name;
        EXPECT_EQ(image.getPixel(sprite.width - 1, sprite.height - 1).a, 0) << sprite.name;
    }
}

TEST(Pictures, TheThreeBrainsShowTheirKinds)
{
    const MeanColour plain = meanOfOpaque(load(gamefiles::plainBrain));
    const MeanColour freeze = meanOfOpaque(load(gamefiles::freezeBrain));
    const MeanColour fire = meanOfOpaque(load(gamefiles::fireBrain));
    EXPECT_TRUE(plain.r > plain.g && plain.b > plain.g) << "plain brains are pink";
    EXPECT_TRUE(freeze.b > freeze.g && freeze.g > freeze.r) << "freeze brains are icy blue";
    EXPECT_TRUE(fire.r > fire.g && fire.g > fire.b) << "fire brains are red and orange";
}

TEST(Pictures, EveryRunOfTheGeneratorWritesTheSameFiles)
{
    const fs::path again =
        fs::temp_directory_path() / ("quasaril-pictures-" + std::to_string(::getpid()));
    fs::create_directories(again);
    const e2e::Outcome drew = e2e::run({MAKE_PICTURES, again});
    ASSERT_EQ(drew.status, 0) << drew.output;
    for (const Expected& expected : sizes) {
        const std::string drawn = bytes(again / expected.name);
        EXPECT_FALSE(drawn.empty()) << expected.name;
        EXPECT_EQ(drawn, bytes(fs::path(QUASARIL_RUN_DIR) / expected.name)) << expected.name;
    }
    fs::remove_all(again);
}

TEST(Pictures, EachMenuButtonFramesExactlyItsClickBandAcrossTheWindow)
{
    const sf::Image menu = load(gamefiles::mainMenu);
    for (const Band& band : menuBands) {
        const auto framed = [&](int x, int y) {
            return menu.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)) == band.frame;
        };
        for (int x = firstAnsweringColumn; x <= lastColumn; ++x) {
            EXPECT_TRUE(framed(x, band.top) && framed(x, band.bottom))
                << band.item << " frame open at column " << x;
            EXPECT_FALSE(framed(x, band.top - 1) || framed(x, band.bottom + 1))
                << band.item << " frame outside its band at column " << x;
        }
        for (int y = band.top; y <= band.bottom; ++y) {
            EXPECT_TRUE(framed(firstAnsweringColumn, y) && framed(lastColumn, y))
                << band.item << " does not reach both edges at row " << y;
            EXPECT_FALSE(framed(0, y)) << band.item << " drawn over column 0 at row " << y;
        }
    }
}

// 16-bit PCM, one channel at 44100 Hz, under a second; silent at both ends
// (no click), its peak between -14 and -6 dBFS, and its loudness (root
// mean square) within a factor of two of every other sound's.
TEST(Sounds, EachIsShortSoftEdgedAndAsLoudAsTheOthers)
{
    constexpr std::size_t header = 44;
    constexpr double edge = 0.002, highestPeak = 0.5, lowestPeak = 0.2, spread = 2.0;
    std::vector<double> loudness;
    for (const char* name : gamefiles::sounds) {
        SCOPED_TRACE(name);
        const std::string file = bytes(fs::path(QUASARIL_RUN_DIR) / name);
        ASSERT_GT(file.size(), header);
        EXPECT_EQ(file.compare(0, 4, "RIFF"), 0);
        EXPECT_EQ(numberAt<std::uint16_t>(file, 20), 1); // PCM
        EXPECT_EQ(numberAt<std::uint16_t>(file, 22), 1); // one channel
        EXPECT_EQ(numberAt<std::uint32_t>(file, 24), 44100u);
        EXPECT_EQ(numberAt<std::uint16_t>(file, 34), 16);
        const std::size_t count = (file.size() - header) / 2;
        EXPECT_LT(count, 44100u);
        double peak = 0, power = 0;
        for (std::size_t n = 0; n < count; ++n) {
            const double sample = numberAt<std::int16_t>(file, header + 2 * n) / 32768.0;
            peak = std::max(peak, std::fabs(sample));
            power += sample * sample;
        }
        EXPECT_LE(std::fabs(numberAt<std::int16_t>(file, header) / 32768.0), edge);
        EXPECT_LE(std::fabs(numberAt<std::int16_t>(file, file.size() - 2) / 32768.0), edge);
        EXPECT_TRUE(peak >= lowestPeak && peak <= highestPeak) << peak;
        loudness.push_back(std::sqrt(power / count));
    }
    const auto [quietest, loudest] = std::minmax_element(loudness.begin(), loudness.end());
    EXPECT_LE(*loudest / *quietest, spread);
}
