#include "Brain.h"
