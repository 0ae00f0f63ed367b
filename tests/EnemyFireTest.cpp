// One row at a time: enemy fire, the sway of rows 2 and 4 and the crash
// tests, driven on a row of the test's own.

#include <algorithm>
#include <array>
#include <iterator>

#include "GameFiles.h"
#include "FrameTest.h"
#include "platform/GameClock.h"

namespace {

using namespace game;

constexpr long rowClock = 50000;
constexpr float frameStart = 3000.0f; // what the army hands the first fire call
constexpr float longAgo = 20000.0f;   // more than fifteen seconds since the last shot
constexpr float award = 100.0f;
constexpr int firingColumns[] = {0, 2, 4, 6};

class EnemyRowTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        platform::testhooks::pinClock(rowClock);
        for (int i = 0; i < 7; ++i) {
            row[i].load(gamefiles::plainBrain);
            row[i].setPosition(100.0f + 100.0f * i, 100.0f);
        }
    }

    void fire(float elapsedSoFar)
    {
        elapsed.fill(elapsedSoFar);
        Quasaril::BrainFire(row, elapsed.data(), bulletTimeCreated);
    }

    // The ship at (x, y) under a shot of column 0, which fell 100 pixels from
    // its brain at (100, 500); the other columns' shots are far below.
    void shipUnderColumnZerosShot()
    {
        row[0].setPosition(100.0f, 500.0f);
        Quasaril::_brain_projectile.load(gamefiles::brainShot);
        bulletTimeCreated[0] = rowClock - 1000;
        x = 100;
        y = 600;
        placeShip();
    }

    static int redInGameOver() { return countPixels(windowPixels(), gameOverArea, isRed); }

    Brain row[7];
    std::array<float, 7> elapsed{};
};

// Dice that give the column at `index` (0 to 3 in firing order) the only
// hundred of one fire call.
long diceWithOnlyHundredFor(int index)
{
    return drawsBefore(4, [index](const std::vector<int>& run) {
        for (int i = 0; i < 4; ++i)
            if ((shootValue(run[i]) == firingShoot) != (i == index))
                return false;
        return true;
    });
}

void forgetShots()
{
    for (float& fired : bulletTimeCreated)
        fired = 0.0f;
}

TEST_F(EnemyRowTest, NoColumnFiresWithTheTimesAFrameStartsWith)
{
    for (int index = 0; index < 4; ++index) {
        restartDiceAfter(diceWithOnlyHundredFor(index));
        fire(frameStart);
        for (float fired : bulletTimeCreated)
            EXPECT_EQ(fired, 0.0f) << "column " << firingColumns[index];
    }
    EXPECT_FALSE(Quasaril::_brain_projectile._isLoaded);
    EXPECT_EQ(elapsed[0], static_cast<float>(rowClock)); // measured for the next call
    EXPECT_EQ(elapsed[1], frameStart);
}

TEST_F(EnemyRowTest, AColumnFiresOnAHundredAfterMoreThanFifteenSeconds)
{
    for (int index = 0; index < 4; ++index) {
        forgetShots();
        restartDiceAfter(diceWithOnlyHundredFor(index));
        fire(longAgo);
        for (int column = 0; column < 35; ++column)
            EXPECT_EQ(bulletTimeCreated[column],
                      column == firingColumns[index] ? static_cast<float>(rowClock) : 0.0f)
                << "column " << column;
        EXPECT_EQ(Quasaril::_brain_projectile._filename, gamefiles::brainShot);
    }
}

TEST_F(EnemyRowTest, FifteenSecondsExactlyIsNotEnough)
{
    const long hundredForColumnZero = diceWithOnlyHundredFor(0);
    restartDiceAfter(hundredForColumnZero);
    fire(15000.0f);
    EXPECT_EQ(bulletTimeCreated[0], 0.0f);
    restartDiceAfter(hundredForColumnZero);
    fire(15000.5f);
    EXPECT_EQ(bulletTimeCreated[0], static_cast<float>(rowClock));
}

TEST_F(EnemyRowTest, OnlyColumnsZeroTwoFourAndSixEverFire)
{
    constexpr int calls = 4000;
    const std::vector<int> draws = diceDraws(4L * calls);
    int expected[7] = {}, fired[7] = {};
    for (int call = 0; call < calls; ++call) {
        platform::testhooks::pinClock(rowClock + call + 1);
        std::array<float, 35> before{};
        std::copy(std::begin(bulletTimeCreated), std::end(bulletTimeCreated), before.begin());
        fire(longAgo);
        for (int column = 0; column < 7; ++column)
            fired[column] += bulletTimeCreated[column] != before[column];
        for (int index = 0; index < 4; ++index)
            expected[firingColumns[index]] += shootValue(draws[4 * call + index]) == firingShoot;
    }
    for (int column = 0; column < 7; ++column)
        EXPECT_EQ(fired[column], expected[column]) << "column " << column;
    EXPECT_GT(expected[0] * expected[2] * expected[4] * expected[6], 0);
    for (int column = 7; column < 35; ++column)
        EXPECT_EQ(bulletTimeCreated[column], 0.0f);
}

TEST_F(EnemyRowTest, TheShotFallsFromItsColumnsBrain)
{
    Quasaril::_brain_projectile.load(gamefiles::brainShot);
    bulletTimeCreated[6] = rowClock - 1000; // column 6 fired a second ago
    fire(longAgo);                          // the fresh dice hold no hundred
    EXPECT_EQ(elapsed[6], 1000.0f);
    expectAt(Quasaril::_brain_projectile, 700.0f, 200.0f, "the last column's shot");
}

TEST_F(EnemyRowTest, AShotStrikesAnUnshieldedShipAndDrawsGameOver)
{
    shipUnderColumnZerosShot();
    fire(frameStart);
    EXPECT_FALSE(_quasa.life);
    EXPECT_EQ(Quasaril::_score.GameScore, award);
    EXPECT_EQ(Quasaril::_player1._filename, gamefiles::explodedShip);
    expectAt(Quasaril::_player1, 80.0f, 600.0f, "the exploded ship");
    EXPECT_GT(redInGameOver(), 200);
    EXPECT_FALSE(Quasaril::getGameOver());
}

TEST_F(EnemyRowTest, AShieldedShipIsNotTested)
{
    shipUnderColumnZerosShot();
    Quasaril::_player1.shield = true;
    fire(frameStart);
    EXPECT_TRUE(_quasa.life);
    EXPECT_EQ(Quasaril::_score.GameScore, 0.0f);
    EXPECT_EQ(Quasaril::_player1._filename, gamefiles::ship);
    expectAt(Quasaril::_player1, 100.0f, 600.0f, "the shielded ship");
    EXPECT_EQ(redInGameOver(), 0);
}

TEST_F(EnemyRowTest, ALostShipExplodesAgainAtEveryTest)
{
    placeShip();
    _quasa.life = false;
    fire(frameStart);
    EXPECT_EQ(Quasaril::_player1._filename, gamefiles::explodedShip);
    expectAt(Quasaril::_player1, x - 20.0f, static_cast<float>(y), "the exploded ship");
    EXPECT_GT(redInGameOver(), 200);
    EXPECT_FALSE(Quasaril::getGameOver());
}

TEST_F(EnemyRowTest, AShipInsideABrainsBoxLosesAndTheRestOfTheRowIsParked)
{
    x = 410; // inside the box of column 3 at (400, 100)
    y = 110;
    placeShip();
    Quasaril::Crash(row);
    EXPECT_FALSE(_quasa.life);
    EXPECT_TRUE(Quasaril::getGameOver());
    EXPECT_EQ(Quasaril::_score.GameScore, award);
    expectAt(Quasaril::_player1, 390.0f, 110.0f, "the exploded ship");
    for (int i = 0; i < 7; ++i)
        expectAt(row[i], i < 3 ? 100.0f + 100.0f * i : 900.0f, i < 3 ? 100.0f : 900.0f,
                 "crash parks from the struck brain on");
    EXPECT_GT(redInGameOver(), 200);
}

TEST_F(EnemyRowTest, AShieldedShipCrashesIntoNothing)
{
    x = 410;
    y = 110;
    placeShip();
    Quasaril::_player1.shield = true;
    Quasaril::Crash(row);
    EXPECT_TRUE(_quasa.life);
    EXPECT_FALSE(Quasaril::getGameOver());
    expectAt(row[3], 400.0f, 100.0f, "brain next to a shielded ship");
}

TEST_F(EnemyRowTest, BrainsWithoutPicturesNeverCrash)
{
    Brain pictureless[7];
    pictureless[0].setPosition(90.0f, 90.0f);
    Quasaril::Crash(pictureless); // the ship has no picture yet
    x = y = 0;
    placeShip();
    Quasaril::Crash(pictureless);
    EXPECT_TRUE(_quasa.life);
    EXPECT_FALSE(Quasaril::getGameOver());
}

TEST_F(EnemyRowTest, AfterALossBrainsWithoutPicturesRepeatTheLossToo)
{
    Brain pictureless[7];
    placeShip();
    _quasa.life = false;
    Quasaril::Crash(pictureless);
    EXPECT_TRUE(Quasaril::getGameOver());
    EXPECT_EQ(Quasaril::_player1._filename, gamefiles::explodedShip);
    expectAt(Quasaril::_player1, x - 20.0f, static_cast<float>(y), "the exploded ship");
    EXPECT_GT(redInGameOver(), 200);
}

// The shift is worked out in double and only the new position is rounded to
// float: at 401 the two roundings of float arithmetic land one step higher.
TEST_F(EnemyRowTest, SwayIsWorkedOutInDouble)
{
    constexpr float counter = 401.0f;
    const float expected = static_cast<float>(100.0 + counter / 50.0);
    ASSERT_NE(expected, 100.0f + counter / 50.0f); // the case tells the two apart
    QuasarilInspector::time_2() = counter;
    Quasaril::BrainMovement(row);
    EXPECT_EQ(positionOf(row[0]).x, expected);
}

struct Sway {
    float counter;
    float firstShift; // of the row's first brain
    float otherShift; // of the other six
    float counterAfter;
};

void PrintTo(const Sway& sway, std::ostream* out)
{
    *out << "counter " << sway.counter;
}

class BrainSwayTest : public EnemyRowTest, public ::testing::WithParamInterface<Sway> {};

TEST_P(BrainSwayTest, ShiftsTheRowByTheCounter)
{
    const Sway sway = GetParam();
    QuasarilInspector::time_2() = sway.counter;
    Quasaril::BrainMovement(row);
    for (int i = 0; i < 7; ++i)
        expectAt(row[i], 100.0f + 100.0f * i + (i == 0 ? sway.firstShift : sway.otherShift), 100.0f,
                 "swayed brain");
    EXPECT_EQ(QuasarilInspector::time_2(), sway.counterAfter);
}

INSTANTIATE_TEST_SUITE_P(Counters, BrainSwayTest,
                         ::testing::Values(Sway{0.0f, 0.0f, 0.0f, 1.0f},
                                           Sway{2999.0f, 59.98f, 59.98f, 3000.0f},
                                           Sway{3000.0f, 0.0f, 0.0f, 3001.0f},
                                           Sway{3001.0f, -60.02f, -60.02f, 3002.0f},
                                           Sway{6001.0f, -120.02f, 0.0f, 1.0f}));

} // namespace
