#include "StopWatch.h"

#include <cmath>
#include <iostream>

#include "platform/GameClock.h"

namespace {

constexpr double ticksPerSecond = 1000.0;
constexpr int hundredthsPerSecond = 100;
constexpr int secondsPerMinute = 60;
constexpr int secondsPerHour = 3600;

} // namespace

Stopwatch::Stopwatch()
    : iMilliSecond(0), iSecond(0), iMinute(0), iHour(0), dTempTime(0.0), dTotalTime(0.0),
      status(STOPPED)
{
}

double Stopwatch::getProcessTime()
{
    return platform::gameClock() / ticksPerSecond;
}

void Stopwatch::start()
{
    status = STARTED;
    dTempTime = getProcessTime();
}

void Stopwatch::stop()
{
    status = STOPPED;
}

void Stopwatch::reset()
{
    status = RESET;
}

void Stopwatch::calcTime()
{
    switch (status) {
    case STARTED:
        dTotalTime = getProcessTime() - dTempTime;
        break;
    case RESET:
        dTempTime = dTotalTime;
        dTotalTime = 0.0;
        break;
    case STOPPED:
        break;
    }
    modTime(dTotalTime);
}

void Stopwatch::modTime(double totaltime)
{
    iSecond = static_cast<int>(std::floor(totaltime));
    iMilliSecond = static_cast<int>(std::floor((totaltime - iSecond) * hundredthsPerSecond));
    iMinute = (iSecond % secondsPerHour) / secondsPerMinute;
    iHour = iSecond / secondsPerHour;
    iSecond = iSecond % secondsPerMinute;
}

void Stopwatch::display()
{
    calcTime();
    std::cout << iHour << ":" << iMinute << ":" << iSecond << ":" << iMilliSecond << std::endl;
}
