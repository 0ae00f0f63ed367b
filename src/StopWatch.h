#pragma once

// Measures time on the game clock and prints it as hours:minutes:seconds:hundredths.
class Stopwatch {
public:
    enum stopwatch_status { STARTED, STOPPED, RESET };

    Stopwatch();

    double getProcessTime();
    void start();
    void stop();
    void reset();
    void calcTime();
    void modTime(double totaltime);
    void display();

    int iMilliSecond; // hundredths of a second, despite the name
    int iSecond;
    int iMinute;
    int iHour;
    double dTempTime;
    double dTotalTime;
    stopwatch_status status;
};
