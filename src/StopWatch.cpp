#include "StopWatch.h"
