#include "VisibleGameObject.h"
