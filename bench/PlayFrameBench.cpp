// What one play frame costs, and what holding the pictures and a lost game
// change in it. Ratios are measured within one run; no time is asserted.

#include <benchmark/benchmark.h>

#include <chrono>

#include "Platform.h"
#include "TestSupport.h"

namespace {

constexpr long benchClock = 1000; // no brain fires yet

// The game's files in a working directory of their own, the window open and
// the ship at its start, once for the whole run.
void preparePlay()
{
    static ScopedWorkDir workDir;
    static bool ready = false;
    if (ready)
        return;
    copyAllGameFiles();
    openGameWindow();
    placeShip();
    platform::testhooks::pinClock(benchClock);
    ready = true;
}

// One pass of the main loop in play: the frame and its display.
void playOneFrame()
{
    Quasaril::playing(eventOfType(sf::Event::GainedFocus));
    Quasaril::_mainWindow.display();
}

// Makes every brain read its picture from disk again in the next frame.
void forgetBrainPictures()
{
    for (Brain* row : {game::_brain1, game::_brain2, game::_brain3, game::_brain4, game::_brain5})
        for (int column = 0; column < game::cadets; ++column)
            row[column]._filename.clear();
}

double secondsFor(void (*prepare)(), int frames)
{
    double seconds = 0.0;
    for (int i = 0; i < frames; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        playOneFrame();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    return seconds;
}

void liveGame() { game::_quasa.life = true; }

void liveGameReloadingPictures()
{
    liveGame();
    forgetBrainPictures();
}

// After a loss every test of the ship repeats the loss.
void lostGame() { game::_quasa.life = false; }

void BM_PlayFrame(benchmark::State& state)
{
    preparePlay();
    liveGame();
    for (auto _ : state)
        playOneFrame();
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond);

// Frames of each kind in turn, so both sides of a ratio share the machine's
// moment.
void BM_FrameCostRatios(benchmark::State& state)
{
    constexpr int framesPerKind = 5;
    preparePlay();
    double held = 0.0, reloading = 0.0, lost = 0.0;
    for (auto _ : state) {
        held += secondsFor(liveGame, framesPerKind);
        reloading += secondsFor(liveGameReloadingPictures, framesPerKind);
        lost += secondsFor(lostGame, framesPerKind);
    }
    state.counters["reloading_over_held"] = reloading / held;
    state.counters["lost_over_live"] = lost / held;
}
BENCHMARK(BM_FrameCostRatios)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
