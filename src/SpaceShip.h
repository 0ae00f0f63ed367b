#pragma once

#include "VisibleGameObject.h"

// The player's ship and the power-ups it holds.
class SpaceShip : public VisibleGameObject {
public:
    SpaceShip();
    ~SpaceShip() override;

    bool wrapAround = false;
    bool shield = false;
    bool extraLife = false;
    bool gunSlinger = false;
    bool torpedo = false;
    bool virus = false;
};
