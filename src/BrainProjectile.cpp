#include "BrainProjectile.h"

namespace {

constexpr double fallDivisor = 10.0; // 0.1 pixel per millisecond

} // namespace

BrainProjectile::BrainProjectile() = default;

BrainProjectile::~BrainProjectile() = default;

void BrainProjectile::brainUpdate(float _elapsedTimeSinceCreated, int a, int b, bool hit)
{
    if (!_isLoaded || hit)
        return;
    const int row = static_cast<int>(b + _elapsedTimeSinceCreated / fallDivisor);
    _sprite.setPosition(static_cast<float>(a), static_cast<float>(row));
}
