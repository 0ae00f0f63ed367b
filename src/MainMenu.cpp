#include "MainMenu.h"
