#include "SpaceShip.h"
