#include "PowerUp.h"
