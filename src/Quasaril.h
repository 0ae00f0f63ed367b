#pragma once

#include <SFML/Graphics.hpp>
#include <string>

#include "Brain.h"
#include "BrainProjectile.h"
#include "Projectile.h"
#include "Score.h"
#include "SpaceShip.h"

class QuasarilInspector; // test-only window onto the private record fields

// The game. Every operation is static and works on the class's static members
// and on the one game record game::_quasa; calling an operation through any
// other Quasaril object behaves exactly like calling it through the class.
class Quasaril {
public:
    enum GameState { Uninitialized, ShowingSplash, Paused, ShowingMenu, Playing, Exiting };
    enum Direction { RIGHT, LEFT, UP, DOWN };

    // The army: five rows of seven brains.
    static constexpr int rows = 5;
    static constexpr int columns = 7;
    static constexpr int brainsInArmy = rows * columns;

    Quasaril();

    static void Run();
    static bool IsExiting();
    static void GameLoop();
    static void playing(sf::Event currentEvent);
    static void ShowSplashScreen();
    static void ShowMenu();
    static std::string getState();
    static void setState(GameState state);
    static void checkEvents(sf::Event currentEvent);
    static void BrainArmy();
    static void BrainFire(Brain* brain_, float* elapsedTimeSinceCreatedBrainProjectile_,
                          float* bulletTimeCreated_);
    static void BrainMovement(Brain* brain_);
    static void Crash(Brain* brain_);
    static void endGameCheck();
    static bool getWin();
    static bool getGameOver();
    static int getKillCount();

    static sf::RenderWindow _mainWindow;
    static SpaceShip _player1;
    static Score _score;
    float GameScore; // never used: the live score is _score.GameScore
    int killCount;
    static BrainProjectile _brain_projectile;
    bool life;
    bool hit1[columns];
    bool hit2[columns];
    bool hit3[columns];
    bool hit4[columns];
    bool hit5[columns];

private:
    friend class QuasarilInspector;

    bool rev; // never used
    bool pos[columns];
    bool alive1[columns];
    bool alive2[columns];
    bool alive3[columns];
    bool alive4[columns];
    bool alive5[columns];
    bool gameWin;
    bool gameOver;
    int x_position; // never used
    int y_position; // never used
    float time_2;   // sway counter of rows 2 and 4
    float time_5;   // frames the shield has been up, over the whole run
    static GameState _gameState;
    static Projectile _projectile;
    static Brain _brain; // held by the class, never read
};

// State shared by the game's operations, defined in Quasaril.cpp. It lives for
// the whole process and nothing resets it.
// Deliberate: see docs/game.md, "Nothing is reset".
namespace game {

extern int x; // the ship's position
extern int y;
extern int a; // where the player's shot is launched
extern int b;
extern int e; // slot origin of row 1
extern int f;
extern int g;                          // arc arguments
extern int e1, e2, e3, e4;             // slot origins of rows 2 to 5
extern int h;                          // the arcing brain's running row
extern int t, u;                       // the diving brain's position, truncated
extern float uu, tt;                   // the diving brain's position as read
extern int z;                          // the power-up's place along its drift line
extern int cadets;                     // brains per row
extern float ab, bb, cb, db;           // the power-up's pick-up box
extern float eb, fb, gb, hb;           // the enemy shot's box
extern float _elapsedTimeSinceCreated; // since the player's last shot
extern float _elapsedTimeSinceCreatedBrain11;
extern float _elapsedTimeSinceCreatedBrain34;
extern float _timeCreated; // when the player's last shot was fired
extern float _brain11tTimeCreated;
extern float _brain34tTimeCreated;
extern float bulletTimeCreated[Quasaril::brainsInArmy];
extern float leftBoundry, rightBoundry, topBoundry, bottomBoundry; // the player's shot's box
extern bool hit;   // the player's shot has struck something
extern bool power; // the power-up is still waiting to be taken
extern Quasaril _quasa;
extern Brain* _brain1;
extern Brain* _brain2;
extern Brain* _brain3;
extern Brain* _brain4;
extern Brain* _brain5;

} // namespace game
