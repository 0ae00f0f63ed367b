#pragma once

#include <string>

#include "Quasaril.h"
#include "SpaceShip.h"
#include "VisibleGameObject.h"

// The one power-up of a process: its drift across the playfield, the random
// choice of a power when the ship takes it, and the powers' effects.
class PowerUp : public VisibleGameObject {
public:
    PowerUp();
    ~PowerUp() override;

    static void Placement(int& z, bool power, float& ab, float& bb, float& cb, float& db);
    static void Select(std::string& power);
    static void WrapAround(Quasaril::Direction dir, int& x);
    static void Shield(int& x, int& y);

    bool getWrapAround();
    bool getShield();
    bool getVirus();
    bool getTorpedo();

    // Powers that were planned but grant nothing.
    void ExtraLife();
    void GunSlinger();
    void Torpedo();
};

// The power-up unit's own objects, defined in PowerUp.cpp.
namespace powerUpUnit {
extern PowerUp _shield;    // the bubble around a shielded ship
extern SpaceShip _player1; // holds the power flags; not the game's ship
} // namespace powerUpUnit
