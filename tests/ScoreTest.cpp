#include <gtest/gtest.h>

#include <filesystem>
#include <locale>
#include <optional>
#include <set>
#include <sstream>

#include "GameFiles.h"
#include "Score.h"
#include "platform/HighScoreFile.h"
#include "TestPictures.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const std::string highScoreFile = "HighScore.txt";

std::set<std::string> workDirEntries()
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator("."))
        names.insert(entry.path().filename().string());
    return names;
}

// Every case leaves the directory with the high-score file and nothing else:
// no temporary file may survive, whatever path the save took.
class HighScoreTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(workDirEntries(), std::set<std::string>{highScoreFile}); }

    ScopedWorkDir dir;
    Score score;
};

} // namespace

// A stored score the game does not beat stays byte for byte as it was.
TEST_F(HighScoreTest, KeepsTheBetterOfFileAndGame)
{
    const struct {
        const char* before;
        float game;
        float best;
        const char* after;
    } cases[] = {{"300", 400, 400, "400"},
                 {"500", 400, 500, "500"},
                 {"400", 400, 400, "400"},
                 {"250\n", 100, 250, "250\n"},
                 {"  \n700 ", 100, 700, "  \n700 "},
                 {"300abc", 100, 300, "300abc"},
                 {"-50", 0, 0, "0"}};
    for (const auto& c : cases) {
        writeFile(highScoreFile, c.before);
        EXPECT_EQ(score.SaveScore(c.game), c.best) << c.before;
        EXPECT_EQ(readFile(highScoreFile), c.after) << c.before;
    }
}

TEST_F(HighScoreTest, NoReadableNumberMeansTheGameScoreIsTheBest)
{
    EXPECT_EQ(score.SaveScore(300), 300);
    EXPECT_EQ(readFile(highScoreFile), "300");
    // The last number runs on past the part of the file that is read.
    const std::string cutNumber = std::string(platform::files::readLimit - 4, ' ') + "1234567";
    for (const std::string& garbage :
         {std::string(), std::string("   "), std::string("words"), std::string("nan"),
          std::string("inf"), std::string("1e999"), std::string("-1e999"), cutNumber}) {
        writeFile(highScoreFile, garbage);
        EXPECT_EQ(score.SaveScore(300), 300) << garbage;
        EXPECT_EQ(readFile(highScoreFile), "300") << garbage;
    }
}

// Plain digits that read back as the very float saved (16777217 is 16777216
// as a float), never an exponent.
TEST_F(HighScoreTest, WritesDigitsThatReadBackTheSame)
{
    const struct {
        float game;
        const char* text;
    } cases[] = {{0, "0"},
                 {1500, "1500"},
                 {12.5f, "12.5"},
                 {999999, "999999"},
                 {1234567, "1234567"},
                 {16777217.0f, "16777216"},
                 {1e10f, "10000000000"},
                 {0.1f, "0.1"}};
    for (const auto& c : cases) {
        fs::remove(highScoreFile);
        score.SaveScore(c.game);
        EXPECT_EQ(readFile(highScoreFile), c.text);
        EXPECT_EQ(parseWhole(readFile(highScoreFile)), c.game) << c.text;
    }
}

namespace {

// A locale that writes 1500.5 as "1.500,5".
struct GroupingPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

class GroupingGlobalLocale {
public:
    GroupingGlobalLocale()
        : _previous(std::locale::global(std::locale(std::locale::classic(), new GroupingPunct)))
    {
    }
    ~GroupingGlobalLocale() { std::locale::global(_previous); }

private:
    std::locale _previous;
};

} // namespace

TEST_F(HighScoreTest, IgnoresTheGlobalLocale)
{
    const GroupingGlobalLocale locale;
    std::ostringstream probe;
    probe << 1500.5f;
    ASSERT_EQ(probe.str(), "1.500,5"); // the locale is really in force
    EXPECT_EQ(score.SaveScore(1500.5f), 1500.5f);
    EXPECT_EQ(readFile(highScoreFile), "1500.5");
    EXPECT_EQ(score.SaveScore(1000), 1500.5f);
    EXPECT_EQ(readFile(highScoreFile), "1500.5");
}

namespace {

// The areas where the texts are drawn, and how many of their pixels must show.
const sf::IntRect scoreArea(50, 50, 150, 60);
const sf::IntRect highScoreArea(650, 50, 150, 60);
const sf::IntRect gameOverArea(200, 300, 450, 100);
const sf::IntRect powerUpArea(300, 400, 450, 100);
constexpr int textPixelsExpected = 20;

class ScoreTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        copyGameFiles({gamefiles::font});
        clearGameWindow();
    }

    int pixels(sf::IntRect area, sf::Color colour)
    {
        return countPixels(windowPixels(), area, colour);
    }

    ScopedWorkDir dir;
    Score score;
};

} // namespace

TEST_F(ScoreTextTest, DisplayScoreDrawsBothScoresAndSaves)
{
    writeFile(highScoreFile, "300");
    score.DisplayScore(700);
    EXPECT_GT(pixels(scoreArea, sf::Color::Magenta), textPixelsExpected);
    EXPECT_GT(pixels(highScoreArea, sf::Color::Cyan), textPixelsExpected);
    EXPECT_EQ(readFile(highScoreFile), "700");
}

TEST_F(ScoreTextTest, MessagesInTheirColoursAndPlaces)
{
    score.GameOver();
    score.PowerUp("Shield");
    EXPECT_GT(pixels(gameOverArea, sf::Color::Red), textPixelsExpected);
    EXPECT_GT(pixels(powerUpArea, sf::Color::Green), textPixelsExpected);
    EXPECT_EQ(pixels(scoreArea, sf::Color::Magenta), 0);
}

// The texts are kept from frame to frame, yet every call shows its own words.
TEST_F(ScoreTextTest, EachCallShowsItsOwnWords)
{
    score.DisplayScore(700);
    const int threeDigits = pixels(scoreArea, sf::Color::Magenta);
    clearGameWindow();
    score.DisplayScore(1500);
    EXPECT_GT(pixels(scoreArea, sf::Color::Magenta), threeDigits);
    score.PowerUp("Shield");
    clearGameWindow();
    score.PowerUp("");
    EXPECT_EQ(pixels(powerUpArea, sf::Color::Green), 0);
}

// A missing font is tried again at every call, but told only the first time.
TEST(ScoreFont, AMissingFontIsToldOnceAndTriedAgainUntilItComes)
{
    const ScopedWorkDir dir;
    clearGameWindow();
    std::ostringstream told;
    std::streambuf* const sfmlErrors = sf::err().rdbuf(told.rdbuf());
    Score score;
    for (int frame = 0; frame < 3; ++frame)
        score.DisplayScore(700);
    copyGameFiles({gamefiles::font});
    score.DisplayScore(700);
    sf::err().rdbuf(sfmlErrors);
    const std::string lines = told.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
    EXPECT_NE(lines.find(gamefiles::font), std::string::npos) << lines;
    EXPECT_GT(countPixels(windowPixels(), scoreArea, sf::Color::Magenta), textPixelsExpected);
}
