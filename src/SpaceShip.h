#pragma once

#include "VisibleGameObject.h"

// The player's ship and the power-ups it holds.
class SpaceShip : public VisibleGameObject {
public:
    SpaceShip();
    ~SpaceShip() override;

    // The ship's moves, by the arrow keys and by the wrap-around. The limits
    // are tested before the step, so the ship can pass them by one step: x
    // runs from -5 to 715, y from 0 to 600.
    static constexpr int step = 20;
    static constexpr int rightmostMoveStart = 699;
    static constexpr int lowestMoveStart = 599;

    bool wrapAround = false;
    bool shield = false;
    bool extraLife = false;
    bool gunSlinger = false;
    bool torpedo = false;
    bool virus = false;
};
