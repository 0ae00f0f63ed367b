#pragma once

#include "VisibleGameObject.h"

// One enemy of the army.
class Brain : public VisibleGameObject {
public:
    Brain();
    ~Brain() override;

    int Shoot();
    bool isAlive(bool alive);
    void formation(Brain _brain, int& x, int& y);

    // Declared but not read by the game: the army keeps its slots itself.
    bool alive = false;
    int e = 300;
    int f = 40;
};
