#include <gtest/gtest.h>

#include <utility>

#include "GameFiles.h"
#include "Quasaril.h"
#include "TestPictures.h"
#include "TestSupport.h"

namespace {

constexpr int rows = 5;
constexpr int columns = 7;

// Row 1 to 5 of the struck flags, of a const or a writable record.
template <typename Record> auto hitRow(Record& record, int row)
{
    decltype(&record.hit1[0]) hits[] = {record.hit1, record.hit2, record.hit3, record.hit4,
                                        record.hit5};
    return hits[row - 1];
}

// Marks the first `count` brains of the game record struck, column by column.
void strikeBrains(int count)
{
    for (int i = 0; i < count; ++i)
        hitRow(game::_quasa, i % rows + 1)[i / rows] = true;
}

// Where "You Win!!!" is drawn, and how many of its pixels must show.
const sf::IntRect winTextArea(180, 300, 420, 100);
constexpr int textPixelsExpected = 50;

int yellowPixelsInWinArea()
{
    return countPixels(windowPixels(), winTextArea, sf::Color::Yellow);
}

} // namespace

TEST(GameRecord, ConstructorDefaults)
{
    const Quasaril record;
    EXPECT_EQ(record.GameScore, 0.0f);
    EXPECT_EQ(record.killCount, 0);
    EXPECT_TRUE(record.life);
    EXPECT_FALSE(QuasarilInspector::rev(record));
    EXPECT_FALSE(QuasarilInspector::gameWin(record));
    EXPECT_FALSE(QuasarilInspector::gameOver(record));
    EXPECT_EQ(QuasarilInspector::time_2(record), 0.0f);
    EXPECT_EQ(QuasarilInspector::time_5(record), 0.0f);
    for (int i = 0; i < columns; ++i) {
        SCOPED_TRACE(i);
        for (int row = 1; row <= rows; ++row) {
            EXPECT_FALSE(hitRow(record, row)[i]);
            EXPECT_EQ(QuasarilInspector::alive(record, row)[i], i == 0);
        }
        EXPECT_EQ(QuasarilInspector::pos(record)[i], i == 0);
    }
}

TEST(GameStateMachine, NamesEveryStateAndExitsOnlyOnExiting)
{
    const std::pair<Quasaril::GameState, const char*> states[] = {
        {Quasaril::Exiting, "Exiting"},
        {Quasaril::Uninitialized, "Uninitialized"},
        {Quasaril::ShowingSplash, "ShowingSplash"},
        {Quasaril::Paused, "Paused"},
        {Quasaril::ShowingMenu, "ShowingMenu"},
        {Quasaril::Playing, "Playing"}};
    for (const auto& [state, name] : states) {
        Quasaril::setState(state);
        EXPECT_EQ(Quasaril::getState(), name);
        EXPECT_EQ(QuasarilInspector::gameState(), state);
        EXPECT_EQ(Quasaril::IsExiting(), state == Quasaril::Exiting) << name;
    }
}

TEST(GameStateMachine, StateIsSharedByEveryRecord)
{
    Quasaril one;
    Quasaril other;
    one.setState(Quasaril::Exiting);
    EXPECT_TRUE(other.IsExiting());
    EXPECT_EQ(other.getState(), "Exiting");
}

TEST(EndGameCheck, CountsOnlyTheGameRecord)
{
    Quasaril local;
    for (int row = 1; row <= rows; ++row)
        for (int i = 0; i < columns; ++i)
            hitRow(local, row)[i] = true;
    local.killCount = 25;
    Quasaril::endGameCheck();
    EXPECT_EQ(Quasaril::getKillCount(), 0);
    EXPECT_FALSE(Quasaril::getWin());
}

TEST(EndGameCheck, ThirtyFourStruckIsNoWin)
{
    ScopedWorkDir dir;
    copyGameFiles({gamefiles::font});
    clearGameWindow();
    strikeBrains(rows * columns - 1);
    Quasaril::endGameCheck();
    EXPECT_EQ(Quasaril::getKillCount(), 34);
    EXPECT_FALSE(Quasaril::getWin());
    EXPECT_EQ(yellowPixelsInWinArea(), 0);
}

TEST(EndGameCheck, AllStruckWinsAndDrawsTheMessage)
{
    ScopedWorkDir dir;
    copyGameFiles({gamefiles::font});
    clearGameWindow();
    strikeBrains(rows * columns);
    Quasaril::endGameCheck();
    EXPECT_EQ(Quasaril::getKillCount(), 35);
    EXPECT_TRUE(Quasaril::getWin());
    EXPECT_GT(yellowPixelsInWinArea(), textPixelsExpected);
}

TEST(EndGameCheck, RecountsEveryCallAndTheWinSticks)
{
    ScopedWorkDir dir;
    copyGameFiles({gamefiles::font});
    clearGameWindow();
    strikeBrains(rows * columns);
    Quasaril::endGameCheck();
    Quasaril::endGameCheck();
    EXPECT_EQ(Quasaril::getKillCount(), 35);
    game::_quasa.hit5[6] = false;
    Quasaril::endGameCheck();
    EXPECT_EQ(Quasaril::getKillCount(), 34);
    EXPECT_TRUE(Quasaril::getWin());
}

TEST(GameUnitStart, SharedVariablesHoldTheirStartValues)
{
    EXPECT_EQ(game::x, 355);
    EXPECT_EQ(game::y, 600);
    EXPECT_EQ(game::a, 355);
    EXPECT_EQ(game::b, 600);
    EXPECT_EQ(game::e, 180);
    EXPECT_EQ(game::f, 40);
    EXPECT_EQ(game::h, 40);
    for (int value : {game::g, game::e1, game::e2, game::e3, game::e4})
        EXPECT_EQ(value, 180);
    EXPECT_EQ(game::cadets, 7);
    EXPECT_EQ(game::_elapsedTimeSinceCreated, 2001.0f);
    EXPECT_TRUE(game::power);
    EXPECT_FALSE(game::hit);
    EXPECT_EQ(Quasaril::getState(), "Uninitialized");
    EXPECT_FALSE(Quasaril::IsExiting());
    for (float stamp : game::bulletTimeCreated)
        EXPECT_EQ(stamp, 0.0f);
    EXPECT_EQ(game::_quasa.killCount, 0);
    EXPECT_TRUE(game::_quasa.life);
    EXPECT_TRUE(QuasarilInspector::pos()[0]);
    EXPECT_FALSE(QuasarilInspector::pos()[1]);
}

TEST(GameUnitStart, FiveSeparateRowsOfSevenFreshBrains)
{
    Brain* armyRows[] = {game::_brain1, game::_brain2, game::_brain3, game::_brain4, game::_brain5};
    for (int row = 0; row < rows; ++row) {
        ASSERT_NE(armyRows[row], nullptr);
        for (int other = 0; other < row; ++other)
            EXPECT_NE(armyRows[row], armyRows[other]);
        for (int i = 0; i < columns; ++i) {
            const Brain& brain = armyRows[row][i];
            EXPECT_FALSE(brain._isLoaded);
            EXPECT_EQ(brain.e, 300);
            EXPECT_EQ(brain.f, 40);
        }
    }
}
