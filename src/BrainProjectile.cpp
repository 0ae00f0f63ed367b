#include "BrainProjectile.h"
