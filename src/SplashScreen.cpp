#include "SplashScreen.h"
