#include "PowerUp.h"

#include "GameFiles.h"
#include "platform/GameClock.h"

namespace powerUpUnit {

PowerUp _shield;
SpaceShip _player1;

} // namespace powerUpUnit

using powerUpUnit::_player1;
using powerUpUnit::_shield;

namespace {

// The power-up drifts one pixel right and one down every 40 ticks along the
// line from (0, 1) to (799, 800), and starts again every 32 seconds.
// Deliberate: see docs/game.md, "The process clock".
constexpr int ticksPerDriftStep = 40;
constexpr int driftSteps = 800;
constexpr int driftRowOffset = 1;

constexpr int powerCount = 4;

constexpr int rightWrapAfter = 700;
constexpr int wrapDistance = 780;

constexpr int bubbleOffsetX = 55;
constexpr int bubbleOffsetY = 40;

bool anyPowerHeld()
{
    return _player1.wrapAround || _player1.shield || _player1.torpedo || _player1.virus;
}

} // namespace

PowerUp::PowerUp() = default;

PowerUp::~PowerUp() = default;

// The power-up's picture is held from frame to frame. Once taken it stands
// at (0, 0), where a fresh object would, for its box; nothing is drawn.
void PowerUp::Placement(int& z, bool power, float& ab, float& bb, float& cb, float& db)
{
    static PowerUp powerUp;
    const int now = static_cast<int>(platform::gameClock());
    z = (now / ticksPerDriftStep) % driftSteps;
    const int row = z + driftRowOffset;
    showPicture(powerUp, gamefiles::powerUp);
    if (power)
        powerUp.setPosition(static_cast<float>(z), static_cast<float>(row));
    else
        powerUp.setPosition(0.0f, 0.0f);
    powerUp.setShipBoundry(ab, bb, cb, db, false);
    if (power)
        powerUp.draw(Quasaril::_mainWindow);
}

// Only the first choice of a process counts: the flags are never cleared.
// Deliberate: see docs/game.md, "One power-up a process".
void PowerUp::Select(std::string& power)
{
    if (anyPowerHeld())
        return;
    switch (platform::gameRand() % powerCount) {
    case 0:
        _player1.wrapAround = true;
        power = "Wrap Around";
        break;
    case 1:
        _player1.shield = true;
        power = "Shield";
        break;
    case 2:
        _player1.torpedo = true;
        power = "Shock Therapy";
        break;
    default:
        _player1.virus = true;
        power = "Virus";
        break;
    }
}

void PowerUp::WrapAround(Quasaril::Direction dir, int& x)
{
    switch (dir) {
    case Quasaril::RIGHT:
        if (x <= SpaceShip::rightmostMoveStart)
            x += SpaceShip::step;
        if (x > rightWrapAfter)
            x -= wrapDistance;
        break;
    case Quasaril::LEFT:
        if (x > 0)
            x -= SpaceShip::step;
        if (x < 0)
            x += wrapDistance;
        break;
    case Quasaril::UP:
    case Quasaril::DOWN:
        break;
    }
}

// The bubble is drawn before it is moved, so each frame shows it where the
// previous frame put it.
// Deliberate: see docs/game.md, "The bubble a frame behind".
void PowerUp::Shield(int& x, int& y)
{
    showPicture(_shield, gamefiles::bubble);
    _shield.draw(Quasaril::_mainWindow);
    _shield.setPosition(static_cast<float>(x - bubbleOffsetX),
                        static_cast<float>(y - bubbleOffsetY));
    _player1.shield = true;
}

bool PowerUp::getWrapAround()
{
    return _player1.wrapAround;
}

bool PowerUp::getShield()
{
    return _player1.shield;
}

bool PowerUp::getVirus()
{
    return _player1.virus;
}

bool PowerUp::getTorpedo()
{
    return _player1.torpedo;
}

void PowerUp::ExtraLife() {}

void PowerUp::GunSlinger() {}

void PowerUp::Torpedo() {}
