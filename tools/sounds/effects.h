#pragma once

// The game's effects, each under a second, none shrill, all about as loud.

#include "synth.h"

namespace sounds {

Samples playerShot();
Samples enemyShot();
Samples brainHit();
Samples shipHit();
Samples powerUp();
Samples win();
Samples menuClick();

} // namespace sounds
