#pragma once

#include "VisibleGameObject.h"

// The enemies' shot, falling towards the ship.
class BrainProjectile : public VisibleGameObject {
public:
    BrainProjectile();
    ~BrainProjectile() override;

    void brainUpdate(float _elapsedTimeSinceCreated, int a, int b, bool hit);
};
