#include "Backround.h"
