// The art: the sprites' grids and their palettes, drawn in art.cpp as text,
// one character a cell ('.' is clear), so that the pictures show in the grids.
#pragma once

#include "grid.h"

namespace pictures {

// A brain with a grim face and little legs, 20 by 20 cells, and its three
// skins: pink for the plain brain, blue for the ice brain, red for the fire one.
extern const Grid brainBody;
extern const Palette pinkBrain;
extern const Palette iceBrain;
extern const Palette emberBrain;

// The fire brain's flames, behind its body from the body's top row on.
extern const Grid brainFlames;
extern const Palette flameColours;

// The ice brain's icicles, over its body from row icicleRow of the body on.
extern const Grid brainIcicles;
extern const Palette frostColours;
constexpr int icicleRow = 15;

// The player's ship, 20 by 20 cells.
extern const Grid shipArt;
extern const Palette shipColours;

// The player's plain shot and the brains' drop of slime.
extern const Grid playerShotArt;
extern const Palette playerShotColours;
extern const Grid brainShotArt;
extern const Palette brainShotColours;

// The power-up's star.
extern const Grid starArt;
extern const Palette starColours;

} // namespace pictures
