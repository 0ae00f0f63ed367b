#pragma once

// Helpers for tests that drive play frames by hand: a fixture with the game's
// files and window, the army's rows by number, pixel probes that recognise a
// drawn picture in the window, and a model of the game's dice.

#include <gtest/gtest.h>

#include <SFML/Graphics.hpp>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Quasaril.h"
#include "TestSupport.h"

// A fresh working directory holding every picture and the font, the game
// window open, the clock pinned and the dice at the start of their sequence.
class FrameTest : public ::testing::Test {
public:
    static constexpr long startClock = 1000;

    // The window cleared, as at the start of a play frame.
    static void clearWindow();

protected:
    void SetUp() override;
    void TearDown() override;

    ScopedWorkDir workDir;
};

// Row 1 to 5, column 0 to 6 of the army.
Brain& brainAt(int row, int column);
bool& deadFlag(int row, int column);
// The formation slot of a brain, with the game's start values.
sf::Vector2f slotOf(int row, int column);
// The picture file the brain shows.
std::string pictureOf(int row, int column);

sf::Vector2f positionOf(VisibleGameObject& object);
void expectAt(VisibleGameObject& object, float x, float y, const char* what);

// A spot inside a picture with one solid colour around it, so a copy drawn in
// the window is recognised even where it lands a pixel off.
struct PictureProbe {
    sf::Vector2i offset;
    sf::Color colour;
};
// Reads the picture from the working directory; fails the test if the picture
// has no such spot.
PictureProbe probeOf(const std::string& picture);
// True if the frame shows the probe's colour where the picture drawn at `at`
// would have it.
bool showsPicture(const sf::Image& frame, const PictureProbe& probe, sf::Vector2f at);

// Pixels of the text colours SFML names, with some tolerance for smoothing.
bool isRed(sf::Color pixel);
bool isYellow(sf::Color pixel);
bool isGreen(sf::Color pixel);
int countPixels(const sf::Image& frame, const sf::IntRect& area,
                const std::function<bool(sf::Color)>& matches);

// Where the letters of the message texts stand (size 80, placed at (200, 300),
// (180, 300) and (300, 400)).
extern const sf::IntRect gameOverArea;
extern const sf::IntRect winArea;
extern const sf::IntRect powerUpTextArea;

// The game's dice, reproduced on their own: a 32-bit state from 1, times
// 214013 plus 2531011 per draw, bits 16 to 30 drawn.
class DiceModel {
public:
    int next();

private:
    std::uint32_t _state = 1;
};

// The first n draws of a fresh sequence.
std::vector<int> diceDraws(long n);
// How many draws of a fresh sequence come before a run of `length` draws
// that `wanted` accepts; fails the test if none is found in the first million.
long drawsBefore(int length, const std::function<bool(const std::vector<int>&)>& wanted);
// Restarts the game's dice and throws away the first `draws` draws.
void restartDiceAfter(long draws);
// The value Brain::Shoot makes of a draw: 1 to 100, and only 100 fires.
int shootValue(int draw);
constexpr int firingShoot = 100;

// Events of kinds the play frame must ignore, each carrying bytes that read as
// a key it reacts to if the kind is not checked.
std::vector<sf::Event> eventsOfOtherKinds();
// The event the game hands to a frame in which nothing happened.
sf::Event noEvent();
