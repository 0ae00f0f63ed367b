#include "Brain.h"

#include "GameFiles.h"

#include "platform/GameClock.h"

namespace {

constexpr int shootSides = 100;
constexpr int formationStep = 20;

} // namespace

Brain::Brain() = default;

Brain::~Brain() = default;

// A draw from 1 to 100; the army fires on 100 only. A brain at x = 0 draws
// like any other, so the result is never 0.
int Brain::Shoot()
{
    return platform::gameRand() % shootSides + 1;
}

bool Brain::isAlive(bool alive)
{
    return alive;
}

// Works on the copy it is given: only x and y change for the caller.
void Brain::formation(Brain _brain, int& x, int& y)
{
    x += formationStep;
    y += formationStep;
    _brain.load(gamefiles::plainBrain);
    _brain.setPosition(static_cast<float>(x), static_cast<float>(y));
}
