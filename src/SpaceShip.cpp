#include "SpaceShip.h"

SpaceShip::SpaceShip() = default;

SpaceShip::~SpaceShip() = default;
