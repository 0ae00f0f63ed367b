// The power-up: its drift and box, the one choice of a power per process,
// wrap-around, the shield bubble and the pick-up by the ship.

#include <filesystem>

#include "GameFiles.h"
#include "FrameTest.h"
#include "platform/GameClock.h"
#include "PowerUp.h"

namespace {

using namespace game;

constexpr int powerCount = 4;

int powersHeld()
{
    SpaceShip& holder = powerUpUnit::_player1;
    return holder.wrapAround + holder.shield + holder.torpedo + holder.virus;
}

struct Box {
    float left, right, top, bottom;
};

Box placeAt(long clock, bool waiting)
{
    platform::testhooks::pinClock(clock);
    FrameTest::clearWindow();
    Box box{};
    PowerUp::Placement(z, waiting, box.left, box.right, box.top, box.bottom);
    return box;
}

struct Drift {
    long clock;
    int step; // along the line from (0, 1) to (799, 800)
};

void PrintTo(const Drift& drift, std::ostream* out)
{
    *out << "clock " << drift.clock;
}

class PowerUpDriftTest : public FrameTest, public ::testing::WithParamInterface<Drift> {};

TEST_P(PowerUpDriftTest, DriftsOnePixelEveryFortyTicks)
{
    const Drift drift = GetParam();
    const Box box = placeAt(drift.clock, true);
    const float at = static_cast<float>(drift.step);
    EXPECT_EQ(z, drift.step);
    EXPECT_EQ(box.left, at - 40.0f);
    EXPECT_EQ(box.right, at + 40.0f);
    EXPECT_EQ(box.top, at + 1.0f - 100.0f);
    EXPECT_EQ(box.bottom, at + 1.0f);
    if (drift.step < 700) { // lower down the picture leaves the window
        EXPECT_TRUE(showsPicture(windowPixels(), probeOf(gamefiles::powerUp), {at, at + 1.0f}));
    }
}

INSTANTIATE_TEST_SUITE_P(Clocks, PowerUpDriftTest,
                         ::testing::Values(Drift{24000, 600}, Drift{24039, 600}, Drift{24040, 601},
                                           Drift{31999, 799}, Drift{32000, 0}, Drift{32040, 1}));

class PowerUpTest : public FrameTest {};

TEST_F(PowerUpTest, OnceTakenItIsNotDrawnAndItsBoxStaysAtTheCorner)
{
    const Box box = placeAt(24000, false);
    EXPECT_EQ(box.left, -40.0f);
    EXPECT_EQ(box.right, 40.0f);
    EXPECT_EQ(box.top, -100.0f);
    EXPECT_EQ(box.bottom, 0.0f);
    EXPECT_FALSE(showsPicture(windowPixels(), probeOf(gamefiles::powerUp), {600.0f, 601.0f}));
}

TEST_F(PowerUpTest, WithoutItsPictureItLeavesTheBoxAsItWas)
{
    std::filesystem::remove(gamefiles::powerUp);
    ab = bb = cb = db = 7.0f;
    PowerUp::Placement(z, true, ab, bb, cb, db);
    EXPECT_EQ(ab + bb + cb + db, 28.0f);
}

TEST_F(PowerUpTest, NoPowerIsHeldAtFirst)
{
    PowerUp one, other;
    for (PowerUp* powerUp : {&one, &other}) {
        EXPECT_FALSE(powerUp->getWrapAround());
        EXPECT_FALSE(powerUp->getShield());
        EXPECT_FALSE(powerUp->getTorpedo());
        EXPECT_FALSE(powerUp->getVirus());
    }
}

TEST_F(PowerUpTest, TheFreshDiceChooseTheShield)
{
    std::string chosen;
    PowerUp::Select(chosen);
    EXPECT_EQ(chosen, "Shield");
    PowerUp any;
    EXPECT_TRUE(any.getShield());
    EXPECT_EQ(powersHeld(), 1);
}

TEST_F(PowerUpTest, OnlyTheFirstSelectOfAProcessChooses)
{
    std::string first, second, kept = "kept";
    PowerUp::Select(first);
    PowerUp::Select(second);
    PowerUp::Select(kept);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(second, "");
    EXPECT_EQ(kept, "kept");
    EXPECT_EQ(powersHeld(), 1);
}

TEST_F(PowerUpTest, AShieldAlreadyUpLeavesNothingToChoose)
{
    PowerUp::Shield(x, y);
    std::string chosen;
    PowerUp::Select(chosen);
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(powersHeld(), 1);
    EXPECT_TRUE(PowerUp().getShield());
}

struct Choice {
    int draw; // the dice modulo 4
    const char* name;
    bool (PowerUp::*query)();
};

void PrintTo(const Choice& choice, std::ostream* out)
{
    *out << choice.name;
}

class PowerUpChoiceTest : public FrameTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(PowerUpChoiceTest, TheDiceDecideThePower)
{
    const Choice choice = GetParam();
    restartDiceAfter(drawsBefore(1, [&choice](const std::vector<int>& next) {
        return next[0] % powerCount == choice.draw;
    }));
    std::string chosen;
    PowerUp::Select(chosen);
    EXPECT_EQ(chosen, choice.name);
    PowerUp any;
    EXPECT_TRUE((any.*choice.query)());
    EXPECT_EQ(powersHeld(), 1);
}

INSTANTIATE_TEST_SUITE_P(Draws, PowerUpChoiceTest,
                         ::testing::Values(Choice{0, "Wrap Around", &PowerUp::getWrapAround},
                                           Choice{1, "Shield", &PowerUp::getShield},
                                           Choice{2, "Shock Therapy", &PowerUp::getTorpedo},
                                           Choice{3, "Virus", &PowerUp::getVirus}));

struct Wrap {
    Quasaril::Direction direction;
    int from;
    int to;
};

void PrintTo(const Wrap& wrap, std::ostream* out)
{
    const char* names[] = {"right", "left", "up", "down"};
    *out << names[wrap.direction] << " from " << wrap.from;
}

class WrapAroundTest : public ::testing::TestWithParam<Wrap> {};

TEST_P(WrapAroundTest, StepsAndWrapsAtTheEdges)
{
    const Wrap wrap = GetParam();
    int shipX = wrap.from;
    PowerUp::WrapAround(wrap.direction, shipX);
    EXPECT_EQ(shipX, wrap.to);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WrapAroundTest,
    ::testing::Values(Wrap{Quasaril::RIGHT, 0, 20}, Wrap{Quasaril::RIGHT, 690, -70},
                      Wrap{Quasaril::RIGHT, 699, -61}, Wrap{Quasaril::RIGHT, 700, 700},
                      Wrap{Quasaril::RIGHT, 775, -5}, Wrap{Quasaril::LEFT, 20, 0},
                      Wrap{Quasaril::LEFT, 15, 775}, Wrap{Quasaril::LEFT, 5, 765},
                      Wrap{Quasaril::LEFT, 0, 0}, Wrap{Quasaril::LEFT, -5, 775},
                      Wrap{Quasaril::UP, 355, 355}, Wrap{Quasaril::DOWN, -5, -5}));

TEST_F(PowerUpTest, TheBubbleIsDrawnWhereThePreviousCallPutIt)
{
    const PictureProbe bubble = probeOf(gamefiles::bubble);
    const sf::Vector2f aroundShip(300.0f, 560.0f); // the ship at (355, 600)
    PowerUp::Shield(x, y);
    EXPECT_TRUE(showsPicture(windowPixels(), bubble, {0.0f, 0.0f}));
    EXPECT_FALSE(showsPicture(windowPixels(), bubble, aroundShip));
    expectAt(powerUpUnit::_shield, aroundShip.x, aroundShip.y, "the bubble");
    clearWindow();
    PowerUp::Shield(x, y);
    EXPECT_TRUE(showsPicture(windowPixels(), bubble, aroundShip));
}

TEST_F(PowerUpTest, TheShipTakesItOnceAndItsNameShowsInThatFrameOnly)
{
    platform::testhooks::pinClock(24000); // the power-up at (600, 601)
    x = 600;
    y = 560;
    placeShip();
    Quasaril::playing(noEvent());
    EXPECT_FALSE(power);
    EXPECT_EQ(Quasaril::_score.GameScore, 100.0f);
    EXPECT_EQ(powersHeld(), 1);
    EXPECT_GT(countPixels(windowPixels(), powerUpTextArea, isGreen), 100);

    Quasaril::playing(noEvent());
    EXPECT_FALSE(power);
    EXPECT_EQ(Quasaril::_score.GameScore, 100.0f);
    EXPECT_EQ(countPixels(windowPixels(), powerUpTextArea, isGreen), 0);
}

} // namespace
