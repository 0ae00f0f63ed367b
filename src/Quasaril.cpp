#include "Quasaril.h"

#include "MainMenu.h"
#include "PowerUp.h"
#include "SplashScreen.h"

namespace game {

// Static initialisation order matters here: the copies below take the start
// values of the variables above them, and the objects are built in the order
// they are defined in this file.
int x = 355;
int y = 600;
int a = x;
int b = y;
int e = 180;
int f = 40;
int g = e;
int e1 = e, e2 = e, e3 = e, e4 = e;
int h = f;
int t = 0, u = 0;
float uu = 0.0f, tt = 0.0f;
int z = 0;
int cadets = 7;

} // namespace game

sf::RenderWindow Quasaril::_mainWindow;
SpaceShip Quasaril::_player1;
Projectile Quasaril::_projectile;
BrainProjectile Quasaril::_brain_projectile;
Brain Quasaril::_brain;
Score Quasaril::_score;
Quasaril::GameState Quasaril::_gameState = Quasaril::Uninitialized;

namespace game {

float ab = 0.0f, bb = 0.0f, cb = 0.0f, db = 0.0f;
float eb = 0.0f, fb = 0.0f, gb = 0.0f, hb = 0.0f;
float _elapsedTimeSinceCreated = 2001.0f; // lets the first shot go at once
float _elapsedTimeSinceCreatedBrain11 = 0.0f;
float _elapsedTimeSinceCreatedBrain34 = 0.0f;
float _timeCreated = 0.0f;
float _brain11tTimeCreated = 0.0f;
float _brain34tTimeCreated = 0.0f;
float bulletTimeCreated[35] = {};
float leftBoundry = 0.0f, rightBoundry = 0.0f, topBoundry = 0.0f, bottomBoundry = 0.0f;
bool hit = false;
bool power = true;
Quasaril _quasa;
// The army is built once and lives until the process ends.
Brain* _brain1 = new Brain[cadets];
Brain* _brain2 = new Brain[cadets];
Brain* _brain3 = new Brain[cadets];
Brain* _brain4 = new Brain[cadets];
Brain* _brain5 = new Brain[cadets];

} // namespace game

using namespace game;

namespace {

constexpr int brainsInArmy = 35;

} // namespace

// ---------------------------------------------------------------------------
// The game record and its end-of-game rules

Quasaril::Quasaril()
    : GameScore(0.0f), killCount(0), life(true), hit1{}, hit2{}, hit3{}, hit4{}, hit5{},
      rev(false), pos{true}, alive1{true}, alive2{true}, alive3{true}, alive4{true},
      alive5{true}, gameWin(false), gameOver(false), x_position(0), y_position(0),
      time_2(0.0f), time_5(0.0f)
{
}

std::string Quasaril::getState()
{
    switch (_gameState) {
    case Uninitialized: return "Uninitialized";
    case ShowingSplash: return "ShowingSplash";
    case Paused: return "Paused";
    case ShowingMenu: return "ShowingMenu";
    case Playing: return "Playing";
    case Exiting: return "Exiting";
    }
    return "Uninitialized";
}

void Quasaril::setState(GameState state) { _gameState = state; }

bool Quasaril::IsExiting() { return _gameState == Exiting; }

void Quasaril::endGameCheck()
{
    _quasa.killCount = 0;
    const bool* rows[] = {_quasa.hit1, _quasa.hit2, _quasa.hit3, _quasa.hit4, _quasa.hit5};
    for (int i = 0; i < 7; ++i) {
        for (const bool* row : rows)
            if (row[i])
                ++_quasa.killCount;
        // Only true after the last column, with every brain struck. The win
        // is drawn again in every frame after that and play goes on.
        if (_quasa.killCount > brainsInArmy - 1) {
            _score.win();
            _quasa.gameWin = true;
        }
    }
}

bool Quasaril::getWin() { return _quasa.gameWin; }

bool Quasaril::getGameOver() { return _quasa.gameOver; }

int Quasaril::getKillCount() { return _quasa.killCount; }

// ---------------------------------------------------------------------------
// The game driver

namespace {

constexpr unsigned windowSize = 800;
constexpr unsigned bitsPerPixel = 32;

// pollEvent leaves the event untouched when the queue is empty, and a
// value-initialised sf::Event reads as sf::Event::Closed. Hand the play frame
// an event none of its tests reacts to instead.
sf::Event noEvent()
{
    sf::Event event{};
    event.type = sf::Event::Count;
    return event;
}

} // namespace

void Quasaril::Run()
{
    if (_gameState != Uninitialized)
        return;
    _mainWindow.create(sf::VideoMode(windowSize, windowSize, bitsPerPixel), "QUASARIL");
    _gameState = ShowingSplash;
    _player1.load("SpaceShip3.png");
    _player1.setPosition(static_cast<float>(x), static_cast<float>(y));
    while (!IsExiting()) {
        GameLoop();
        _mainWindow.display();
    }
    _mainWindow.close();
}

void Quasaril::GameLoop()
{
    _mainWindow.display();
    sf::Event currentEvent = noEvent();
    _mainWindow.pollEvent(currentEvent);
    switch (_gameState) {
    case ShowingSplash:
        ShowSplashScreen();
        break;
    case ShowingMenu:
        ShowMenu();
        break;
    case Playing:
        playing(currentEvent);
        _mainWindow.display();
        break;
    case Uninitialized:
    case Paused:
    case Exiting:
        break;
    }
}

void Quasaril::ShowSplashScreen()
{
    SplashScreen splashScreen;
    splashScreen.Show(_mainWindow);
    _gameState = ShowingMenu;
}

void Quasaril::ShowMenu()
{
    MainMenu mainMenu;
    switch (mainMenu.Show(_mainWindow)) {
    case MainMenu::Exit:
        _gameState = Exiting;
        break;
    case MainMenu::Play:
        _gameState = Playing;
        break;
    case MainMenu::Nothing:
        break;
    }
}

// ---------------------------------------------------------------------------
// Play: one frame and its input
