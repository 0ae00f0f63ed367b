#include "Projectile.h"

Projectile::Projectile() = default;

Projectile::~Projectile() = default;
