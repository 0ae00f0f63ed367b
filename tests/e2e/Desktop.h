#pragma once

// A desktop for playing the game as a person would: a private virtual X
// server, the game started in a fresh copy of the run directory, real X input
// through xdotool and screenshots of the game window.

#include <SFML/Graphics/Image.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "ChildProgram.h"
#include "Files.h"

namespace e2e {

using Seconds = std::chrono::duration<double>;

// Sanitizer builds run several times slower; every time limit is stretched
// by this factor there.
Seconds scaled(Seconds limit);

// Calls check until it returns true or the limit has passed; true if it did.
bool pollUntil(Seconds limit, const std::function<bool()>& check);

// The tests' own file helpers, under the names these tests know them by.
using ::readFile;
using ::TemporaryDirectory;
using ::writeFile;

// A virtual X server of its own on a free display, made the DISPLAY of this
// process and of everything it starts, for the object's lifetime. Its screen
// is given as Xvfb takes it: width x height x depth.
class VirtualDisplay {
public:
    static constexpr const char* roomyScreen = "1024x1024x24";

    explicit VirtualDisplay(const std::string& screen = roomyScreen);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool ready() const { return _ready; }
    // Stops the server now, as a crash or a lost connection would end it for
    // its clients.
    void shutDown();

private:
    std::optional<ChildProgram> _server;
    bool _ready = false; // a client has connected
};

// quasaril running with a temporary data home (XDG_DATA_HOME) and
// temporary directory (TMPDIR) of its own, so the directories it plays in are
// the test's: either a temporary
// copy of the run directory, holding the front end itself and, unless told
// otherwise, every picture and the font, or a given program started in a
// given directory.
class GameRun {
public:
    enum Files {
        WithGameFiles,
        WithoutGameFiles,
        StartedElsewhere,        // with them, but started in an empty directory
        WithoutPlayersDirectory, // with them, but XDG_DATA_HOME lies under a file
    };

    explicit GameRun(Files files = WithGameFiles);
    GameRun(const std::string& program, const std::string& startDirectory);
    // A program looked up on PATH, with its arguments: a launcher and the game.
    GameRun(const std::vector<std::string>& command, const std::string& startDirectory);
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    bool running();
    void signal(int signal);
    // The exit status once the process has ended within the limit; a death
    // by signal reads as 128 plus the signal number.
    std::optional<int> waitForExit(Seconds limit);
    // What the game wrote into its "HighScore.txt", if the file exists.
    std::optional<std::string> highScoreText() const;
    // What the game wrote on its standard error.
    std::string errorOutput() const;
    // $XDG_DATA_HOME/quasaril of the game.
    std::string playerDirectory() const;
    // The names in the directory the game was started in.
    std::vector<std::string> startDirectoryContents() const;
    // The names in its TMPDIR.
    std::vector<std::string> temporaryContents() const;

private:
    void start(const std::vector<std::string>& command);

    const TemporaryDirectory _root;
    const std::string _directory = _root.path().string();
    std::string _dataHome;
    std::string _startDirectory;
    std::optional<ChildProgram> _game;
};

// Where a window of some size shows the game's 800 by 800 playfield: the
// largest centred square, scaled.
class Playfield {
public:
    explicit Playfield(sf::Vector2i windowSize);

    // The window pixel that shows a playfield point.
    sf::Vector2i pixelAt(sf::Vector2f point) const;
    // The playfield point a window pixel's centre shows.
    sf::Vector2f pointAt(sf::Vector2i pixel) const;
    // The window pixels whose centres lie in a playfield rectangle.
    sf::IntRect pixelsOf(const sf::FloatRect& area) const;
    float scale() const { return _scale; }

private:
    sf::Vector2f _offset;
    float _scale;
};

// A screenshot of the game window. Every position is in playfield
// coordinates, at any window size.
class Screen {
public:
    Screen(sf::Image shot, Playfield playfield) : _shot(std::move(shot)), _playfield(playfield) {}

    sf::Color at(sf::Vector2i pixel) const; // window pixel; outside is black
    // Share of the window pixels showing the picture's opaque pixels that
    // match them, with the picture's top-left corner at (x, y).
    double shows(const sf::Image& picture, int x, int y) const;
    // How many window pixels in the rectangle pass the test.
    int count(const sf::IntRect& area, const std::function<bool(sf::Color)>& test) const;
    // The magenta score and the cyan high score at the top of play.
    bool showsScores() const;
    // Both shots hold the same pixels.
    bool samePixels(const Screen& other) const;

private:
    sf::Image _shot;
    Playfield _playfield;
};

// The game's window on the virtual display, found by its title.
class GameWindow {
public:
    static std::optional<GameWindow> find(Seconds limit);
    // A window in a frame the program draws itself (Wine's), around a
    // drawing area of the given size.
    static std::optional<GameWindow> findFramed(Seconds limit, sf::Vector2i drawingArea);

    Screen screen() const;
    // Real input: the pointer moves into the window first, so the window
    // under it has the keyboard (there is no window manager to give focus).
    // Clicks are given in playfield coordinates.
    void click(int x, int y) const;
    void key(const std::string& name) const;
    // Resizes the window, as a player or a window manager would. The object
    // keeps the old size: find the window again.
    void resize(sf::Vector2i size) const;
    // The window's place and size on the screen.
    sf::IntRect area() const { return {_origin, _size}; }
    // The class part of the window's WM_CLASS, which a dock matches against
    // a desktop entry's StartupWMClass; empty if there is none.
    std::string windowClass() const;

private:
    GameWindow(std::string id, sf::Vector2i origin, sf::Vector2i size, sf::Vector2i inset)
        : _id(std::move(id)), _origin(origin), _size(size), _inset(inset)
    {
    }
    static std::optional<GameWindow> find(Seconds limit, std::optional<sf::Vector2i> drawingArea);
    void pointAt(int x, int y, const std::string& then) const;

    std::string _id;
    sf::Vector2i _origin; // of the drawing area on the screen
    sf::Vector2i _size;   // of the drawing area
    sf::Vector2i _inset;  // of the drawing area in the X window
};

// One of the run directory's pictures, loaded.
const sf::Image& picture(const std::string& name);

// --- the game's screens as they show ---

constexpr double wholePicture = 0.95; // of a picture's pixels on screen
constexpr double spriteShown = 0.85;  // sprites may be crossed by others

// Where the menu's items answer, in playfield coordinates.
const sf::Vector2i playClick(400, 250);
const sf::Vector2i gapClick(400, 381);
const sf::Vector2i exitClick(400, 450);

// The whole window shows the named picture (the splash screen, the menu).
bool showsScreen(const GameWindow& window, const char* name);

// Clicks again after each wait in vain: a click that arrives while the game
// is between two menus is taken by the main loop and dropped.
bool clickUntil(const GameWindow& window, sf::Vector2i at, const std::function<bool()>& done);

// The brains that keep their slots: rows 1, 3 and 5 but the arcing brain
// (row 1, column 0) and the diving one (row 3, column 4).
std::vector<sf::Vector2i> fixedBrainSlots();

// The score file holds a plain number and nothing else.
bool isNumber(const std::string& text);

} // namespace e2e
