#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <limits>

#include "GameFiles.h"
#include "Brain.h"
#include "platform/GameClock.h"
#include "Quasaril.h"
#include "SpaceShip.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "VisibleGameObject.h"

namespace {

constexpr float untouched = -7.0f;
constexpr float award = 100.0f;
const char* const picture = "red.png";

using Box = std::array<float, 4>; // left, right, top, bottom

// A fresh working directory holding a small red picture.
class LoadedObjectTest : public ::testing::Test {
protected:
    void SetUp() override { writeTestPicture(picture); }

    // An object loaded with the red picture and placed at (x, y).
    void loadAt(VisibleGameObject& object, float x, float y)
    {
        object.load(picture);
        ASSERT_TRUE(object._isLoaded);
        object.setPosition(x, y);
    }

    ScopedWorkDir dir;
};

Box boxOf(VisibleGameObject& object, bool torpedo)
{
    Box box{untouched, untouched, untouched, untouched};
    object.setBoundry(box[0], box[1], box[2], box[3], torpedo);
    return box;
}

Box shipBoxOf(VisibleGameObject& object, bool torpedo)
{
    Box box{untouched, untouched, untouched, untouched};
    object.setShipBoundry(box[0], box[1], box[2], box[3], torpedo);
    return box;
}

bool strike(VisibleGameObject& object, const Box& box, float& score, bool alive = true)
{
    return object.collisionCheck(box[0], box[1], box[2], box[3], false, alive, score);
}

sf::Vector2f where(const VisibleGameObject& object)
{
    return object._sprite.getPosition();
}

int redPixelsDrawnBy(VisibleGameObject& object)
{
    clearGameWindow();
    object.draw(Quasaril::_mainWindow);
    return countPixels(windowPixels(), sf::IntRect(0, 0, 800, 800), sf::Color::Red);
}

} // namespace

TEST(UnloadedObject, IgnoresPlacingAndLeavesReferencesAlone)
{
    VisibleGameObject object;
    object.setPosition(100, 100);
    object.startPosition(100, 100);
    EXPECT_EQ(where(object), sf::Vector2f(0, 0));
    float x = untouched, y = untouched;
    object.getPosition(x, y);
    EXPECT_EQ(x, untouched);
    EXPECT_EQ(y, untouched);
    const Box untouchedBox{untouched, untouched, untouched, untouched};
    EXPECT_EQ(boxOf(object, false), untouchedBox);
    EXPECT_EQ(shipBoxOf(object, true), untouchedBox);
}

TEST(UnloadedObject, IsNeverStruck)
{
    VisibleGameObject object;
    float score = 300;
    EXPECT_TRUE(strike(object, {-50, 50, -50, 50}, score, true));
    EXPECT_FALSE(strike(object, {-50, 50, -50, 50}, score, false));
    EXPECT_EQ(score, 300);
    EXPECT_FALSE(object.collision);
}

TEST(ObjectDefaults, EveryFlagStartsFalse)
{
    const VisibleGameObject object;
    EXPECT_FALSE(object._isLoaded);
    EXPECT_FALSE(object.collision);
    EXPECT_FALSE(object.offScreen);
    EXPECT_FALSE(object.diveoffScreen);
    EXPECT_TRUE(object._filename.empty());
    const SpaceShip ship;
    for (bool flag :
         {ship.wrapAround, ship.shield, ship.extraLife, ship.gunSlinger, ship.torpedo, ship.virus})
        EXPECT_FALSE(flag);
    const Brain brain;
    EXPECT_EQ(brain.e, 300);
    EXPECT_EQ(brain.f, 40);
}

TEST_F(LoadedObjectTest, LoadKeepsThePositionAndTheFirstPictureSize)
{
    VisibleGameObject object;
    loadAt(object, 30, 40);
    EXPECT_EQ(object._filename, picture);
    writeTestPicture("big.png", 32, 16);
    object.load("big.png");
    EXPECT_EQ(object._filename, "big.png");
    EXPECT_EQ(where(object), sf::Vector2f(30, 40));
    EXPECT_EQ(object._sprite.getTextureRect(), sf::IntRect(0, 0, 8, 8));
}

TEST_F(LoadedObjectTest, FailedLoadAfterAGoodOneMakesItInert)
{
    VisibleGameObject object;
    loadAt(object, 100, 100);
    EXPECT_GT(redPixelsDrawnBy(object), 0);
    object.load("missing.png");
    EXPECT_FALSE(object._isLoaded);
    EXPECT_TRUE(object._filename.empty());
    object.setPosition(300, 300);
    EXPECT_EQ(where(object), sf::Vector2f(100, 100));
    EXPECT_EQ(redPixelsDrawnBy(object), 0);
    float score = 0;
    EXPECT_TRUE(strike(object, {70, 130, 80, 120}, score));
}

TEST_F(LoadedObjectTest, PositionAndStartPosition)
{
    VisibleGameObject object;
    loadAt(object, 12.5f, 99);
    float x = 0, y = 0;
    object.getPosition(x, y);
    EXPECT_EQ(x, 12.5f);
    EXPECT_EQ(y, 99);
    object.startPosition(50, 80);
    EXPECT_EQ(where(object), sf::Vector2f(50, 50));
}

TEST_F(LoadedObjectTest, HitBoxes)
{
    VisibleGameObject object;
    loadAt(object, 100, 100);
    EXPECT_EQ(boxOf(object, false), (Box{70, 130, 80, 120}));
    EXPECT_EQ(boxOf(object, true), (Box{90, 240, 80, 150}));
    EXPECT_EQ(shipBoxOf(object, false), (Box{60, 140, 0, 100}));
    EXPECT_EQ(shipBoxOf(object, true), (Box{60, 140, 0, 100}));
}

TEST_F(LoadedObjectTest, StrikeInsideTheBoxAwardsOneHundred)
{
    VisibleGameObject object;
    loadAt(object, 100, 100);
    float score = 250;
    EXPECT_FALSE(strike(object, {70, 130, 80, 120}, score));
    EXPECT_TRUE(object.collision);
    EXPECT_EQ(score, 250 + award);
}

TEST_F(LoadedObjectTest, PointOnAnEdgeOrNaNIsNotStruck)
{
    VisibleGameObject object;
    loadAt(object, 100, 100);
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    const Box misses[] = {{100, 130, 80, 120}, {70, 100, 80, 120},  {70, 130, 100, 120},
                          {70, 130, 80, 100},  {nan, 130, 80, 120}, {70, 130, nan, 120}};
    for (const Box& box : misses) {
        float score = 0;
        EXPECT_TRUE(strike(object, box, score, true));
        EXPECT_FALSE(strike(object, box, score, false));
        EXPECT_EQ(score, 0);
    }
    EXPECT_FALSE(object.collision);
}

TEST_F(LoadedObjectTest, OnlyARowOfExactlyNineHundredEarnsNothing)
{
    const struct {
        float x, y, points;
    } cases[] = {{900, 900, 0}, {900, 500, award}, {500, 899.5f, award}, {300, 900, 0}};
    for (const auto& place : cases) {
        VisibleGameObject object;
        loadAt(object, place.x, place.y);
        float score = 0;
        EXPECT_FALSE(strike(object, {place.x - 1, place.x + 1, place.y - 1, place.y + 1}, score));
        EXPECT_TRUE(object.collision);
        EXPECT_EQ(score, place.points) << place.x << ", " << place.y;
    }
}

// The collision test takes its verdict from destroy through the virtual table.
TEST_F(LoadedObjectTest, StrikeAsksDestroyThroughTheVirtualTable)
{
    struct Survivor : VisibleGameObject {
        bool destroy(bool, float&) override { return true; }
    } survivor;
    loadAt(survivor, 100, 100);
    float score = 0;
    EXPECT_TRUE(strike(survivor, {70, 130, 80, 120}, score, false));
    EXPECT_EQ(score, award);
    VisibleGameObject plain;
    EXPECT_FALSE(plain.destroy(true, score));
    EXPECT_EQ(score, award);
}

TEST(ObjectClock, StampsAndElapsedTimeFollowThePinnedClock)
{
    VisibleGameObject object; // never loaded: the clock works regardless
    platform::testhooks::pinClock(1234);
    EXPECT_EQ(object.timeCreated(), 1234.0f);
    EXPECT_EQ(object._timeCreated, 1234.0f);
    platform::testhooks::advanceClock(500);
    EXPECT_EQ(object.Timer(1000), 734.0f);
    EXPECT_EQ(object._elapsedTimeSinceCreated, 734.0f);
    EXPECT_EQ(object._timeCreated, 1234.0f);
}

TEST(BrainShoot, DrawsFromOneToHundredAtAnyColumn)
{
    for (float x : {0.0f, 200.0f}) {
        platform::testhooks::restartRandom();
        Brain brain;
        brain._sprite.setPosition(x, 40);
        // The game's first two draws are 41 and 18467.
        EXPECT_EQ(brain.Shoot(), 42) << x;
        EXPECT_EQ(brain.Shoot(), 68) << x;
        bool sawHundred = false;
        for (int i = 0; i < 5000; ++i) {
            const int value = brain.Shoot();
            ASSERT_GE(value, 1);
            ASSERT_LE(value, 100);
            sawHundred = sawHundred || value == 100;
        }
        EXPECT_TRUE(sawHundred) << x; // the army fires only on 100
    }
}

TEST(BrainIsAlive, ReturnsItsArgument)
{
    Brain brain;
    EXPECT_TRUE(brain.isAlive(true));
    EXPECT_FALSE(brain.isAlive(false));
}

TEST_F(LoadedObjectTest, FormationMovesTheSlotButNotTheCallersBrain)
{
    writeTestPicture(gamefiles::plainBrain, 16, 16, sf::Color::Green);
    Brain brain;
    loadAt(brain, 10, 10);
    int x = 100, y = 50;
    brain.formation(brain, x, y);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 70);
    EXPECT_EQ(where(brain), sf::Vector2f(10, 10));
    EXPECT_EQ(brain._filename, picture);
}

// Every object showing a file draws the one texture held for it, read once;
// a missing file is tried again at each call; the first picture bound to a
// sprite still fixes its size.
TEST_F(LoadedObjectTest, ShownPicturesAreHeldOncePerFileAndShared)
{
    writeTestPicture("shared.png", 16, 16);
    Brain one, other;
    showPicture(one, "shared.png");
    showPicture(other, "shared.png");
    ASSERT_TRUE(one._isLoaded && other._isLoaded);
    EXPECT_EQ(one._sprite.getTexture(), other._sprite.getTexture());
    std::filesystem::remove("shared.png");
    Brain afterwards;
    showPicture(afterwards, "shared.png");
    EXPECT_EQ(afterwards._sprite.getTexture(), one._sprite.getTexture());

    Brain late;
    showPicture(late, "late.png");
    EXPECT_FALSE(late._isLoaded);
    writeTestPicture("late.png", 32, 8);
    showPicture(late, "late.png");
    EXPECT_TRUE(late._isLoaded);
    EXPECT_EQ(late._filename, "late.png");
    showPicture(late, "shared.png");
    EXPECT_EQ(late._sprite.getTexture(), one._sprite.getTexture());
    EXPECT_EQ(late._sprite.getTextureRect(), sf::IntRect(0, 0, 32, 8));

    showPicture(other, "missing.png");
    EXPECT_FALSE(other._isLoaded);
    EXPECT_TRUE(other._filename.empty());
    one.load(picture); // a load of its own still binds the object's own texture
    EXPECT_EQ(one._sprite.getTexture(), &one._texture);
}
