// The army's frame: formation, arc and dive, sway, the shot test and the
// calls into enemy fire and the crash tests.

#include <filesystem>

#include "GameFiles.h"
#include "FrameTest.h"
#include "platform/GameClock.h"
#include "PowerUp.h"

namespace {

using namespace game;

// At this clock the arcing brain stands at (184, 40) and the diving brain at
// (420, 250), clear of every slot; no column can fire yet.
constexpr long armyClock = 2500;
const sf::Vector2f arcingAtArmyClock(184.0f, 40.0f);
const sf::Vector2f divingAtArmyClock(420.0f, 250.0f);
constexpr float swayPerCall = 1.0f / 50.0f; // shift per unit of the sway counter
constexpr int swayCallsPerFrame = 14;
constexpr int diceDrawsPerFrame = 32; // four columns in each of eight fire calls
constexpr float award = 100.0f;
constexpr float boxHalf = 10.0f;

class ArmyTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        platform::testhooks::pinClock(armyClock);
    }

    static void armyFrame()
    {
        clearWindow();
        Quasaril::BrainArmy();
    }

    static void shotBoxAround(sf::Vector2f at)
    {
        leftBoundry = at.x - boxHalf;
        rightBoundry = at.x + boxHalf;
        topBoundry = at.y - boxHalf;
        bottomBoundry = at.y + boxHalf;
    }

    // Where a brain stands when it is tested and drawn in the first frame:
    // rows 2 and 4 are drawn after the sway call made at their own column.
    static sf::Vector2f firstFrameSpot(int row, int column)
    {
        if (row == 1 && column == 0)
            return arcingAtArmyClock;
        if (row == 3 && column == 4)
            return divingAtArmyClock;
        const int swayCount = row == 2 ? column : row == 4 ? 7 + column : 0;
        return slotOf(row, column) + sf::Vector2f(swayCount * swayPerCall, 0.0f);
    }

    static bool shown(const sf::Image& frame, int row, int column, sf::Vector2f at)
    {
        return showsPicture(frame, probeOf(pictureOf(row, column)), at);
    }
};

TEST_F(ArmyTest, FirstFrameDrawsAllThirtyFiveBrainsWhereTheyStand)
{
    armyFrame();
    const sf::Image frame = windowPixels();
    for (int row = 1; row <= 5; ++row)
        for (int column = 0; column < 7; ++column)
            EXPECT_TRUE(shown(frame, row, column, firstFrameSpot(row, column)))
                << "row " << row << ", column " << column;
}

TEST_F(ArmyTest, FirstFramePutsTheFixedRowsInTheirSlots)
{
    armyFrame();
    for (int row : {1, 3, 5})
        for (int column = 0; column < 7; ++column) {
            const sf::Vector2f at = firstFrameSpot(row, column);
            expectAt(brainAt(row, column), at.x, at.y, "fixed row");
        }
    EXPECT_EQ(Quasaril::_score.GameScore, 0.0f);
    EXPECT_FALSE(hit);
}

TEST_F(ArmyTest, FirstFrameLeavesSwayingBrainsShiftedOnceMorePerLaterLivingColumn)
{
    armyFrame();
    for (int row : {2, 4})
        for (int column = 0; column < 7; ++column) {
            const int firstCall = (row == 2 ? 0 : 7) + column;
            const int lastCall = (row == 2 ? 6 : 13);
            float shift = 0.0f;
            for (int call = firstCall; call <= lastCall; ++call)
                shift += call * swayPerCall;
            const sf::Vector2f slot = slotOf(row, column);
            expectAt(brainAt(row, column), slot.x + shift, slot.y, "swaying row");
        }
}

struct Target {
    int row;
    int column;
};

void PrintTo(const Target& target, std::ostream* out)
{
    *out << "row " << target.row << " column " << target.column;
}

class ArmyShotTest : public ArmyTest, public ::testing::WithParamInterface<Target> {};

TEST_P(ArmyShotTest, StrikesABrainStrictlyInsideTheShotBoxOnce)
{
    const auto [row, column] = GetParam();
    const sf::Vector2f spot = firstFrameSpot(row, column);
    shotBoxAround(slotOf(row, column));
    armyFrame();
    EXPECT_TRUE(deadFlag(row, column));
    EXPECT_FALSE(QuasarilInspector::alive(row)[column]);
    EXPECT_TRUE(hit);
    EXPECT_EQ(Quasaril::_score.GameScore, award);
    EXPECT_FALSE(shown(windowPixels(), row, column, spot));
    int dead = 0;
    for (int r = 1; r <= 5; ++r)
        for (int c = 0; c < 7; ++c)
            dead += deadFlag(r, c);
    EXPECT_EQ(dead, 1);

    armyFrame();
    EXPECT_TRUE(deadFlag(row, column));
    EXPECT_TRUE(QuasarilInspector::alive(row)[column]);
    EXPECT_EQ(Quasaril::_score.GameScore, award);
    EXPECT_FALSE(shown(windowPixels(), row, column, spot));
}

TEST_P(ArmyShotTest, ParksRowOneAtOnceAndTheOtherRowsFromTheNextFrame)
{
    const auto [row, column] = GetParam();
    shotBoxAround(slotOf(row, column));
    armyFrame();
    const sf::Vector2f afterHit = positionOf(brainAt(row, column));
    if (row == 1) {
        EXPECT_EQ(afterHit, sf::Vector2f(900.0f, 900.0f));
    } else {
        EXPECT_EQ(afterHit.y, slotOf(row, column).y);
        EXPECT_NEAR(afterHit.x, slotOf(row, column).x, 1.0f);
    }

    armyFrame();
    const sf::Vector2f parked = positionOf(brainAt(row, column));
    EXPECT_EQ(parked.y, 900.0f);
    if (row == 2 || row == 4)
        EXPECT_GE(parked.x, 900.0f); // the sway still shifts a dead brain
    else
        EXPECT_EQ(parked.x, 900.0f);
}

INSTANTIATE_TEST_SUITE_P(Brains, ArmyShotTest,
                         ::testing::Values(Target{1, 3}, Target{2, 2}, Target{3, 1}, Target{4, 5},
                                           Target{5, 6}));

struct Edge {
    const char* name;
    sf::FloatRect box;
};

void PrintTo(const Edge& edge, std::ostream* out)
{
    *out << edge.name;
}

class ArmyShotEdgeTest : public ArmyTest, public ::testing::WithParamInterface<Edge> {};

TEST_P(ArmyShotEdgeTest, SparesABrainOnTheEdgeOfTheBox)
{
    const sf::FloatRect box = GetParam().box;
    leftBoundry = box.left;
    rightBoundry = box.left + box.width;
    topBoundry = box.top;
    bottomBoundry = box.top + box.height;
    armyFrame();
    EXPECT_FALSE(deadFlag(5, 2));
    EXPECT_FALSE(hit);
    EXPECT_EQ(Quasaril::_score.GameScore, 0.0f);
    EXPECT_TRUE(shown(windowPixels(), 5, 2, slotOf(5, 2)));
}

// Boxes with one edge through the brain of row 5, column 2 at (300, 280).
INSTANTIATE_TEST_SUITE_P(Edges, ArmyShotEdgeTest,
                         ::testing::Values(Edge{"left", {300, 270, 20, 20}},
                                           Edge{"right", {280, 270, 20, 20}},
                                           Edge{"top", {290, 280, 20, 20}},
                                           Edge{"bottom", {290, 260, 20, 20}}));

// Thirty seconds in, every arc step adds one row to the arc's height h.
constexpr long oneArcRowPerStep = 30000;

TEST_F(ArmyTest, FliesTheArcingBrainSevenStepsPerFrame)
{
    platform::testhooks::pinClock(oneArcRowPerStep);
    armyFrame();
    EXPECT_EQ(h, 47);
    expectAt(brainAt(1, 0), 196.0f, 47.0f, "after seven arc steps from row 40");
}

TEST_F(ArmyTest, LeavesADeadArcingBrainParked)
{
    platform::testhooks::pinClock(oneArcRowPerStep);
    deadFlag(1, 0) = true;
    armyFrame();
    EXPECT_EQ(h, 40);
    expectAt(brainAt(1, 0), 900.0f, 900.0f, "dead arcing brain");
}

TEST_F(ArmyTest, FliesTheArcEvenWithoutTheArcingBrainsPicture)
{
    std::filesystem::remove(gamefiles::freezeBrain);
    platform::testhooks::pinClock(oneArcRowPerStep);
    armyFrame();
    EXPECT_EQ(h, 47);
    EXPECT_EQ(brainAt(1, 0)._sprite.getPosition(), sf::Vector2f(196.0f, 47.0f));
}

TEST_F(ArmyTest, HandsADeadDivingBrainToTheDiveFromThePark)
{
    deadFlag(3, 4) = true;
    armyFrame();
    EXPECT_FALSE(shown(windowPixels(), 3, 4, divingAtArmyClock));
    expectAt(brainAt(3, 4), 900.0f, divingAtArmyClock.y, "dive started from the park");
}

TEST_F(ArmyTest, SwaysOncePerLivingBrainOfRowsTwoAndFour)
{
    armyFrame();
    EXPECT_EQ(QuasarilInspector::time_2(), swayCallsPerFrame);
    armyFrame();
    EXPECT_EQ(QuasarilInspector::time_2(), 2 * swayCallsPerFrame);
}

TEST_F(ArmyTest, DoesNotSwayWhenRowsTwoAndFourAreDead)
{
    for (int column = 0; column < 7; ++column)
        deadFlag(2, column) = deadFlag(4, column) = true;
    armyFrame();
    EXPECT_EQ(QuasarilInspector::time_2(), 0.0f);
    deadFlag(4, 0) = deadFlag(4, 3) = deadFlag(4, 6) = false;
    armyFrame();
    EXPECT_EQ(QuasarilInspector::time_2(), 3.0f);
}

TEST_F(ArmyTest, RetriesAMissingPictureEveryFrame)
{
    std::filesystem::remove(gamefiles::plainBrain);
    shotBoxAround({0.0f, 0.0f}); // where a brain without a picture stands
    armyFrame();
    EXPECT_FALSE(deadFlag(5, 2));
    EXPECT_EQ(Quasaril::_score.GameScore, 0.0f);
    copyGameFiles({gamefiles::plainBrain});
    armyFrame();
    EXPECT_TRUE(shown(windowPixels(), 5, 2, slotOf(5, 2)));
}

TEST_F(ArmyTest, DrawsFourShootsInEachOfEightFireCalls)
{
    armyFrame();
    EXPECT_EQ(platform::gameRand(), diceDraws(diceDrawsPerFrame + 1).back());
}

// Past fifteen seconds every column may fire; a dice run decides which call
// of the frame draws the only hundred.
constexpr long fireClock = 50000;

long diceWithOnlyHundredAt(int draw)
{
    return drawsBefore(diceDrawsPerFrame, [draw](const std::vector<int>& run) {
        for (int i = 0; i < diceDrawsPerFrame; ++i)
            if ((shootValue(run[i]) == firingShoot) != (i == draw))
                return false;
        return true;
    });
}

TEST_F(ArmyTest, NeverFiresInTheFirstFireCallOfAFrame)
{
    platform::testhooks::pinClock(fireClock);
    restartDiceAfter(diceWithOnlyHundredAt(0));
    armyFrame();
    for (float fired : bulletTimeCreated)
        EXPECT_EQ(fired, 0.0f);
    EXPECT_FALSE(Quasaril::_brain_projectile._isLoaded);
}

TEST_F(ArmyTest, FiresFromTheRowThreeCalls)
{
    platform::testhooks::pinClock(fireClock);
    restartDiceAfter(diceWithOnlyHundredAt(4)); // column 0 of the first row-3 call
    armyFrame();
    EXPECT_EQ(bulletTimeCreated[0], static_cast<float>(fireClock));
    EXPECT_EQ(Quasaril::_brain_projectile._filename, gamefiles::brainShot);
}

TEST_F(ArmyTest, NoColumnFiresUntilTheClockHasPassedFifteenSeconds)
{
    const long hundredInRowThree = diceWithOnlyHundredAt(4);
    platform::testhooks::pinClock(15000);
    restartDiceAfter(hundredInRowThree);
    armyFrame();
    EXPECT_EQ(bulletTimeCreated[0], 0.0f);
    platform::testhooks::pinClock(15001);
    restartDiceAfter(hundredInRowThree);
    armyFrame();
    EXPECT_EQ(bulletTimeCreated[0], 15001.0f);
}

TEST_F(ArmyTest, AfterALossTheCrashTestsParkEveryBrainOnceDrawn)
{
    placeShip();
    game::_quasa.life = false;
    armyFrame();
    EXPECT_TRUE(shown(windowPixels(), 1, 3, slotOf(1, 3)));
    for (int row = 1; row <= 5; ++row)
        for (int column = 0; column < 7; ++column)
            expectAt(brainAt(row, column), 900.0f, 900.0f, "parked by the crash test");
    EXPECT_TRUE(Quasaril::getGameOver());
    EXPECT_GT(countPixels(windowPixels(), gameOverArea, isRed), 200);
}

} // namespace
