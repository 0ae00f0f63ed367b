#include <gtest/gtest.h>

#include <initializer_list>

#include "Brain.h"
#include "BrainProjectile.h"
#include "Projectile.h"
#include "Quasaril.h"
#include "TestPictures.h"
#include "TestSupport.h"

namespace {

const sf::Vector2f parked(900, 900);
constexpr float beforeFirstPeriod = 10000; // under 20 s: the arc row stays put

sf::Vector2f where(const VisibleGameObject& object)
{
    return object._sprite.getPosition();
}

// Shots and objects with a picture, in a fresh working directory.
class LoadedPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeTestPicture("shot.png");
        for (VisibleGameObject* object :
             std::initializer_list<VisibleGameObject*>{&shot, &brainShot}) {
            object->load("shot.png");
            ASSERT_TRUE(object->_isLoaded);
        }
    }

    ScopedWorkDir dir;
    Projectile shot;
    BrainProjectile brainShot;
};

} // namespace

TEST_F(LoadedPathTest, ShotRisesAQuarterPixelPerMillisecond)
{
    shot.update(1000, 300, 600, false);
    EXPECT_EQ(where(shot), sf::Vector2f(300, 350));
    shot.update(1001, 300, 600, false); // 349.75 truncates
    EXPECT_EQ(where(shot), sf::Vector2f(300, 349));
    shot.update(4000, 300, 600, false); // no ceiling without the virus
    EXPECT_EQ(where(shot), sf::Vector2f(300, -400));
    shot.update(1000, 300, 600, true);
    EXPECT_EQ(where(shot), sf::Vector2f(300, -400));
}

TEST_F(LoadedPathTest, ShotFollowsTheGameShipsVirusNotItsOwnFlags)
{
    Quasaril::_player1.virus = true;
    shot.update(1000, 300, 600, true); // the virus shot flies through what it hits
    EXPECT_EQ(where(shot), sf::Vector2f(300, 350));
    shot.update(2401, 300, 600, true); // -0.25 truncates towards zero, to row 0
    EXPECT_EQ(where(shot), sf::Vector2f(300, 0));
    shot.update(2500, 300, 600, true);
    EXPECT_EQ(where(shot), parked);
}

TEST_F(LoadedPathTest, ShipsOwnVirusFlagChangesNothing)
{
    SpaceShip ship;
    ship.load("shot.png");
    ship.virus = true;
    ship.update(2500, 300, 600, false);
    EXPECT_EQ(where(ship), sf::Vector2f(300, -25));
}

TEST_F(LoadedPathTest, EnemyShotFallsATenthPixelPerMillisecond)
{
    brainShot.brainUpdate(1500, 120, 200, false);
    EXPECT_EQ(where(brainShot), sf::Vector2f(120, 350));
    brainShot.brainUpdate(1505, 120, 200, false); // 350.5 truncates
    EXPECT_EQ(where(brainShot), sf::Vector2f(120, 350));
    brainShot.brainUpdate(9000, 120, 200, true);
    EXPECT_EQ(where(brainShot), sf::Vector2f(120, 350));
}

TEST_F(LoadedPathTest, TrajectoryClimbsInStepsOfTwoPastTheTop)
{
    shot.trajectory(50, 9);
    EXPECT_EQ(where(shot), sf::Vector2f(50, -1));
    shot.trajectory(70, 10);
    EXPECT_EQ(where(shot), sf::Vector2f(70, 0));
    shot.trajectory(90, 0);
    EXPECT_EQ(where(shot), sf::Vector2f(70, 0));
}

TEST(UnloadedPaths, ShotPathsAndTrajectoryDoNothing)
{
    Quasaril::_player1.virus = true;
    Projectile shot;
    shot.update(1000, 300, 600, false);
    shot.update(2500, 300, 600, false);
    BrainProjectile brainShot;
    brainShot.brainUpdate(1500, 120, 200, false);
    shot.trajectory(50, 9);
    EXPECT_EQ(where(shot), sf::Vector2f(0, 0));
    EXPECT_EQ(where(brainShot), sf::Vector2f(0, 0));
}

// The arc and the dive move objects that have no picture too.
TEST(Arc, CurveColumnsByRow)
{
    const struct {
        int row, column;
    } curve[] = {{40, 184},  {100, 277}, {200, 357}, {326, 394},
                 {366, 394}, {500, 353}, {600, 268}, {692, 16}};
    for (const auto& point : curve) {
        Brain brain;
        int d = point.row;
        brain.arc(beforeFirstPeriod, 180, d, 180, 40);
        EXPECT_EQ(where(brain), sf::Vector2f(point.column, point.row)) << point.row;
        EXPECT_EQ(d, point.row);
        EXPECT_FALSE(brain.offScreen);
    }
}

TEST(Arc, RowCreepsByWholeTwentySecondPeriods)
{
    Brain brain;
    int d = 40;
    brain.arc(1, 180, d, 180, 40); // not yet under way
    EXPECT_EQ(where(brain), sf::Vector2f(0, 0));
    EXPECT_EQ(d, 40);
    brain.arc(30000, 180, d, 180, 40);
    EXPECT_EQ(where(brain), sf::Vector2f(184, 41));
    EXPECT_EQ(d, 41);
    brain.arc(50000, 180, d, 180, 40);
    EXPECT_EQ(d, 43);
}

TEST(Arc, DiagonalFromSelectorFourHundred)
{
    Brain brain;
    int d = 100;
    brain.arc(50000, 400, d, 180, 40);
    EXPECT_EQ(where(brain), sf::Vector2f(700, 102));
    EXPECT_EQ(d, 102);
}

TEST(Arc, LeavingThePlayfieldReturnsToTheSlotForGood)
{
    for (int selector : {180, 400}) {
        Brain brain;
        int d = selector == 180 ? 693 : 801; // first row past the playfield
        brain.arc(beforeFirstPeriod, selector, d, 250, 60);
        EXPECT_TRUE(brain.offScreen) << selector;
        EXPECT_EQ(where(brain), sf::Vector2f(250, 60));
        EXPECT_EQ(d, 60);
        d = 100;
        brain.arc(beforeFirstPeriod, selector, d, 250, 60);
        EXPECT_EQ(where(brain), sf::Vector2f(250, 60));
        EXPECT_EQ(d, 60);
    }
}

TEST(Arc, ReturnRowZeroEndsAtTheTopOfTheReturnColumn)
{
    Brain brain;
    int d = 693;
    brain.arc(beforeFirstPeriod, 180, d, 250, 0);
    EXPECT_EQ(where(brain), sf::Vector2f(250, 0));
    EXPECT_EQ(d, 0);
}

TEST(Dive, DownThroughTheBottomAndBackInAtTheTop)
{
    Brain brain;
    int d = 0;
    brain.dive(5000, 420, d, 300, 160);
    EXPECT_EQ(where(brain), sf::Vector2f(420, 500));
    EXPECT_EQ(d, 500);
    brain.dive(8000, 420, d, 300, 160); // row 800 is still on screen
    EXPECT_FALSE(brain.diveoffScreen);
    brain.dive(8010, 420, d, 300, 160);
    EXPECT_TRUE(brain.diveoffScreen);
    EXPECT_EQ(where(brain), sf::Vector2f(420, 2));
    EXPECT_EQ(d, 2);
    brain.dive(9000, 420, d, 300, 160);
    EXPECT_EQ(where(brain), sf::Vector2f(300, 100));
    EXPECT_EQ(d, 100);
    brain.dive(9605, 420, d, 300, 160); // -160.5 truncates towards zero
    EXPECT_EQ(where(brain), sf::Vector2f(300, 160));
    brain.dive(9900, 420, d, 300, 160);
    EXPECT_EQ(where(brain), sf::Vector2f(300, 160));
    EXPECT_EQ(d, 160);
}

TEST(Dive, CallThatLeavesTheScreenDoesNotStartTheReturn)
{
    Brain brain;
    int d = 0;
    brain.dive(8010, 420, d, 300, 160);
    EXPECT_EQ(where(brain), sf::Vector2f(420, 2));
    EXPECT_EQ(d, 2);
}

TEST(Dive, ReturnRowTwoOrLessStaysAtTheBottomExit)
{
    Brain brain;
    int d = 0;
    brain.dive(8010, 420, d, 300, 2);
    brain.dive(9000, 420, d, 300, 2);
    EXPECT_EQ(where(brain), sf::Vector2f(420, 2));
    EXPECT_EQ(d, 2);
}
