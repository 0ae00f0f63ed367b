#include "Projectile.h"
