#pragma once

#include "VisibleGameObject.h"

// The player's shot.
class Projectile : public VisibleGameObject {
public:
    Projectile();
    ~Projectile() override;
};
