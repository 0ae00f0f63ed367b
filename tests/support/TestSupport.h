#pragma once

#include <SFML/Graphics.hpp>
#include <optional>
#include <string>
#include <vector>

#include "ChildProgram.h"
#include "Files.h"
#include "Quasaril.h"

// The run directory of the build: executables, pictures and font.
std::string runDirectory();

// The whole text as one finite number; nothing when it is not one.
std::optional<float> parseWhole(const std::string& text);

// A fresh temporary directory, the working directory for the object's
// lifetime; the old working directory comes back afterwards.
class ScopedWorkDir {
public:
    ScopedWorkDir();
    ~ScopedWorkDir();
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

    const std::string& path() const { return _path; }

private:
    const TemporaryDirectory _directory;
    const std::string _path = _directory.path().string();
    const std::string _previous = std::filesystem::current_path().string();
};

// Copies the named files (pictures, the font) from the run directory into
// the working directory.
void copyGameFiles(const std::vector<std::string>& names);
// Copies every file the game reads: the pictures, the sounds and the font.
void copyAllGameFiles();

// Opens Quasaril::_mainWindow (800 by 800) unless it is open already.
void openGameWindow();
// Loads the ship's picture and puts it at the ship's position (x, y), as the
// game does before play starts.
void placeShip();
// What has been drawn into the game window's back buffer so far.
sf::Image windowPixels();

// Reads and writes the private fields of the game record game::_quasa and
// the class's private statics.
class QuasarilInspector {
public:
    static bool* pos() { return game::_quasa.pos; }
    static bool* alive(int row);
    static bool& gameWin() { return game::_quasa.gameWin; }
    static bool& gameOver() { return game::_quasa.gameOver; }
    static float& time_2() { return game::_quasa.time_2; }
    static float& time_5() { return game::_quasa.time_5; }
    static Quasaril::GameState& gameState() { return Quasaril::_gameState; }
    static Projectile& projectile() { return Quasaril::_projectile; }
    // The fields of any record, for checking the constructor's defaults.
    static const bool* pos(const Quasaril& record) { return record.pos; }
    static const bool* alive(const Quasaril& record, int row);
    static bool rev(const Quasaril& record) { return record.rev; }
    static bool gameWin(const Quasaril& record) { return record.gameWin; }
    static bool gameOver(const Quasaril& record) { return record.gameOver; }
    static float time_2(const Quasaril& record) { return record.time_2; }
    static float time_5(const Quasaril& record) { return record.time_5; }
};

// An event of the given kind; keyboard events carry the key.
sf::Event keyEvent(sf::Keyboard::Key key, sf::Event::EventType type = sf::Event::KeyPressed);
sf::Event eventOfType(sf::Event::EventType type);
