// A long game of random input: the play frame must neither crash nor grow.
// A hundred thousand frames by default; QUASARIL_SOAK_FRAMES asks for another
// number above the warm-up's thousand.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>

#include "ResidentMemory.h"
#include "platform/GameClock.h"
#include "TestSupport.h"

namespace {

constexpr long defaultSoakFrames = 100000;
constexpr long warmUpFrames = 1000;
constexpr double allowedGrowth = 1.10;
constexpr unsigned inputSeed = 20240607;
// Frames of 1 to 16 ticks: with this seed the diving brain strikes the ship
// within the warm-up, so the memory baseline already holds the lost game.
constexpr int longestFrameTicks = 16;

long soakFrames()
{
    const char* asked = std::getenv("QUASARIL_SOAK_FRAMES");
    const long frames = asked ? std::atol(asked) : 0;
    return frames > warmUpFrames ? frames : defaultSoakFrames;
}

// Presses and releases of the keys the game knows and one it does not, and
// events of other kinds, as a player and a desktop would send them.
sf::Event randomEvent(std::mt19937& dice)
{
    static const sf::Keyboard::Key keys[] = {
        sf::Keyboard::Left,  sf::Keyboard::Right,  sf::Keyboard::Up, sf::Keyboard::Down,
        sf::Keyboard::Space, sf::Keyboard::Escape, sf::Keyboard::A};
    static const sf::Event::EventType others[] = {sf::Event::MouseMoved, sf::Event::TextEntered,
                                                  sf::Event::GainedFocus,
                                                  sf::Event::MouseButtonPressed, sf::Event::Closed};
    std::uniform_int_distribution<int> kind(0, 9);
    const int chosen = kind(dice);
    if (chosen < 8) {
        std::uniform_int_distribution<std::size_t> key(0, std::size(keys) - 1);
        return keyEvent(keys[key(dice)],
                        chosen % 2 ? sf::Event::KeyReleased : sf::Event::KeyPressed);
    }
    std::uniform_int_distribution<std::size_t> other(0, std::size(others) - 1);
    return eventOfType(others[other(dice)]);
}

// One pass of play as the main loop makes it: the frame, then the display,
// with the window's own events drained.
void playOneFrame(std::mt19937& dice)
{
    std::uniform_int_distribution<int> ticks(1, longestFrameTicks);
    platform::testhooks::advanceClock(ticks(dice));
    Quasaril::playing(randomEvent(dice));
    Quasaril::setState(Quasaril::Playing); // Escape and Close only end the loop
    Quasaril::_mainWindow.display();
    sf::Event ignored;
    while (Quasaril::_mainWindow.pollEvent(ignored)) {
    }
}

TEST(Soak, RandomPlayFrames)
{
    ScopedWorkDir workDir;
    copyAllGameFiles();
    openGameWindow();
    placeShip();
    platform::testhooks::pinClock(0);
    std::mt19937 dice(inputSeed);
    const long frames = soakFrames();

    const auto start = std::chrono::steady_clock::now();
    long afterWarmUp = 0;
    for (long frame = 1; frame <= frames; ++frame) {
        playOneFrame(dice);
        if (frame == warmUpFrames)
            afterWarmUp = residentKilobytes();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const long atEnd = residentKilobytes();

    std::cout << "soak: " << frames << " frames in " << took.count() << " s, "
              << frames / took.count() << " frames per second; resident " << afterWarmUp
              << " KiB after " << warmUpFrames << " frames, " << atEnd << " KiB at the end; score "
              << Quasaril::_score.GameScore << ", " << Quasaril::getKillCount()
              << " brains struck, life " << (game::_quasa.life ? "kept" : "lost") << std::endl;
    ASSERT_GT(afterWarmUp, 0) << "the resident memory could not be read";
    EXPECT_LE(atEnd, afterWarmUp * allowedGrowth);
    platform::testhooks::releaseClock();
}

} // namespace
