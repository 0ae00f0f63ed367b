#include "Quasaril.h"

#include <algorithm>
#include <iterator>

#include "GameFiles.h"
#include "GameSound.h"
#include "MainMenu.h"
#include "PlayerPause.h"
#include "PowerUp.h"
#include "SplashScreen.h"
#include "WindowFit.h"

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
int cadets = Quasaril::columns;

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
float bulletTimeCreated[Quasaril::brainsInArmy] = {};
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

constexpr int explosionShiftX = 20; // the explosion stands left of the ship

void park(VisibleGameObject& object)
{
    object.setPosition(VisibleGameObject::parkX, VisibleGameObject::parkY);
}

void place(VisibleGameObject& object, int atX, int atY)
{
    object.setPosition(static_cast<float>(atX), static_cast<float>(atY));
}

// Once the ship is lost, every test of it in the army's pass repeats the
// loss, some 67 times a frame. Inside the pass "Game Over" is written once,
// after the last test, where the last of those draws would leave it on top;
// drawing the same text over itself dozens of times only costs frame rate.
bool inArmyPass = false;
bool lossToWrite = false;

// The struck ship shows the explosion just left of where it stood and the
// loss is written over the playfield; repeated in every later test.
// Deliberate: see docs/game.md, "Points after Game Over".
void explodeShip()
{
    gamesound::playOnce(gamesound::Effect::shipHit);
    showPicture(Quasaril::_player1, gamefiles::explodedShip);
    place(Quasaril::_player1, x - explosionShiftX, y);
    if (inArmyPass)
        lossToWrite = true;
    else
        Quasaril::_score.GameOver();
}

void beginArmyPass()
{
    inArmyPass = true;
}

void endArmyPass()
{
    inArmyPass = false;
    if (lossToWrite)
        Quasaril::_score.GameOver();
    lossToWrite = false;
}

} // namespace

// ---------------------------------------------------------------------------
// The game record and its end-of-game rules

Quasaril::Quasaril()
    : GameScore(0.0f), killCount(0), life(true), hit1{}, hit2{}, hit3{}, hit4{}, hit5{},
      rev(false), pos{true}, alive1{true}, alive2{true}, alive3{true}, alive4{true}, alive5{true},
      gameWin(false), gameOver(false), x_position(0), y_position(0), time_2(0.0f), time_5(0.0f)
{
}

std::string Quasaril::getState()
{
    switch (_gameState) {
    case Uninitialized:
        return "Uninitialized";
    case ShowingSplash:
        return "ShowingSplash";
    case Paused:
        return "Paused";
    case ShowingMenu:
        return "ShowingMenu";
    case Playing:
        return "Playing";
    case Exiting:
        return "Exiting";
    }
    return "Uninitialized";
}

void Quasaril::setState(GameState state)
{
    _gameState = state;
}

bool Quasaril::IsExiting()
{
    return _gameState == Exiting;
}

void Quasaril::endGameCheck()
{
    _quasa.killCount = 0;
    const bool* deadFlags[] = {_quasa.hit1, _quasa.hit2, _quasa.hit3, _quasa.hit4, _quasa.hit5};
    for (int i = 0; i < columns; ++i) {
        for (const bool* row : deadFlags)
            if (row[i])
                ++_quasa.killCount;
        // Only true after the last column, with every brain struck.
        // Deliberate: see docs/game.md, "The win text".
        if (_quasa.killCount > brainsInArmy - 1) {
            gamesound::playOnce(gamesound::Effect::win);
            _score.win();
            _quasa.gameWin = true;
        }
    }
}

bool Quasaril::getWin()
{
    return _quasa.gameWin;
}

bool Quasaril::getGameOver()
{
    return _quasa.gameOver;
}

int Quasaril::getKillCount()
{
    return _quasa.killCount;
}

// ---------------------------------------------------------------------------
// The game driver

namespace {

// pollEvent leaves the event untouched when the queue is empty, and a
// value-initialised sf::Event reads as sf::Event::Closed. Hand the play frame
// an event none of its tests reacts to instead.
sf::Event noEvent()
{
    sf::Event event{};
    event.type = sf::Event::Count;
    return event;
}

bool isKeyEvent(const sf::Event& event)
{
    return event.type == sf::Event::KeyPressed || event.type == sf::Event::KeyReleased;
}

bool endsPlay(const sf::Event& event)
{
    return event.type == sf::Event::Closed ||
           (isKeyEvent(event) && event.key.code == sf::Keyboard::Escape);
}

// The player's pause keeps the frame from running; Escape and a close still
// end the game at once.
bool heldByPause(const sf::Event& event)
{
    if (!playerpause::holds(Quasaril::_mainWindow, event))
        return false;
    if (endsPlay(event))
        Quasaril::setState(Quasaril::Exiting);
    return true;
}

} // namespace

void Quasaril::Run()
{
    if (_gameState != Uninitialized)
        return;
    windowfit::open(_mainWindow, "QUASARIL");
    _gameState = ShowingSplash;
    showPicture(_player1, gamefiles::ship);
    _player1.setPosition(static_cast<float>(x), static_cast<float>(y));
    while (!IsExiting()) {
        GameLoop();
        _mainWindow.display();
    }
    _mainWindow.close();
}

// Deliberate: see docs/game.md, "Three displays a pass".
void Quasaril::GameLoop()
{
    _mainWindow.display();
    sf::Event currentEvent = noEvent();
    _mainWindow.pollEvent(currentEvent);
    // Play draws the whole frame anew each pass: a new view is all a resize
    // or a switch to or from the whole screen needs.
    windowfit::follow(_mainWindow, currentEvent);
    gamesound::follow(currentEvent);
    switch (_gameState) {
    case ShowingSplash:
        ShowSplashScreen();
        break;
    case ShowingMenu:
        ShowMenu();
        break;
    case Playing:
        if (heldByPause(currentEvent))
            break;
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

namespace {

constexpr float fireDelay = 1500.0f;

struct ShotKind {
    const char* picture;
    int offsetX; // from the ship's position
    int offsetY;
};
constexpr ShotKind virusShot{gamefiles::virusShot, 15, -50};
constexpr ShotKind torpedoShot{gamefiles::torpedoShot, -40, -100};
constexpr ShotKind plainShot{gamefiles::plainShot, 30, -40};

constexpr float shieldFrames = 1000.0f;

const ShotKind& shotKindFor(const SpaceShip& ship)
{
    if (ship.virus)
        return virusShot;
    if (ship.torpedo)
        return torpedoShot;
    return plainShot;
}

void placeShip()
{
    place(Quasaril::_player1, x, y);
}

} // namespace

void Quasaril::playing(sf::Event currentEvent)
{
    PowerUp powerUp;
    std::string powerd;

    _mainWindow.clear(sf::Color(0, 0, 0, 255));
    _player1.draw(_mainWindow);
    BrainArmy();
    PowerUp::Placement(z, power, ab, bb, cb, db);

    // The army above has seen the flags the previous frame left.
    // Deliberate: see docs/game.md, "Powers a frame late".
    _player1.torpedo = powerUp.getTorpedo();
    _player1.shield = powerUp.getShield();
    _player1.virus = powerUp.getVirus();
    _player1.wrapAround = powerUp.getWrapAround();

    _score.DisplayScore(_score.GameScore);
    endGameCheck();
    checkEvents(currentEvent);

    _elapsedTimeSinceCreated = _projectile.Timer(_timeCreated);
    _projectile.update(_elapsedTimeSinceCreated, a, b, hit);
    // A virus shot stays in sight after a hit; any other shot vanishes.
    if (_player1.virus || !hit)
        _projectile.draw(_mainWindow);
    // The army of the next frame tests its brains against this box.
    _projectile.setBoundry(leftBoundry, rightBoundry, topBoundry, bottomBoundry, _player1.torpedo);

    // Once taken, the power-up is gone for the rest of the process.
    // Deliberate: see docs/game.md, "One power-up a process".
    const bool waiting = power;
    power = _player1.collisionCheck(ab, bb, cb, db, false, power, _score.GameScore);
    if (waiting && !power)
        gamesound::play(gamesound::Effect::powerUp);
    if (!power)
        PowerUp::Select(powerd);
    _score.PowerUp(powerd);

    // The shield lasts 1000 frames in the whole run, never more.
    // Deliberate: see docs/game.md, "The shield's 1000 frames".
    if (_player1.shield && _quasa.time_5 < shieldFrames) {
        _quasa.time_5 += 1.0f;
        PowerUp::Shield(x, y);
    } else {
        _player1.shield = false;
    }
}

// A key release acts exactly as a press of the same key.
// Deliberate: see docs/game.md, "Key releases move too".
void Quasaril::checkEvents(sf::Event currentEvent)
{
    const sf::Keyboard::Key key =
        isKeyEvent(currentEvent) ? currentEvent.key.code : sf::Keyboard::Unknown;

    if (endsPlay(currentEvent))
        _gameState = Exiting;

    if (key == sf::Keyboard::Left) {
        if (_player1.wrapAround)
            PowerUp::WrapAround(LEFT, x);
        else if (x > 0)
            x -= SpaceShip::step;
        placeShip();
    }
    if (key == sf::Keyboard::Right) {
        if (_player1.wrapAround)
            PowerUp::WrapAround(RIGHT, x);
        else if (x <= SpaceShip::rightmostMoveStart)
            x += SpaceShip::step;
        placeShip();
    }
    if (key == sf::Keyboard::Up) {
        if (y > 0)
            y -= SpaceShip::step;
        placeShip();
    }
    if (key == sf::Keyboard::Down) {
        if (y <= SpaceShip::lowestMoveStart)
            y += SpaceShip::step;
        placeShip();
    }

    if (key == sf::Keyboard::Space && _elapsedTimeSinceCreated > fireDelay) {
        const ShotKind& shot = shotKindFor(_player1);
        a = x + shot.offsetX;
        b = y + shot.offsetY;
        gamesound::play(gamesound::Effect::shot);
        _projectile.load(shot.picture);
        _projectile.draw(_mainWindow);
        _mainWindow.display();
        place(_projectile, a, b);
        _timeCreated = _projectile.timeCreated();
        hit = false;
        _player1.torpedo = false;
        _player1.virus = false;
    }
}

// ---------------------------------------------------------------------------
// The army: 35 brains in five rows of seven

namespace {

constexpr int slotSpacing = 60;
constexpr int rowSpacing = 60;
// Rows 2 and 4 stand half a slot further right than rows 1, 3 and 5.
constexpr int swayingRowShift = 60;

constexpr int arcingColumn = 0; // of row 1
constexpr int divingColumn = 4; // of row 3
constexpr int fieryColumn = 6;  // of row 4
// A diving brain that reads x 0 has not been placed yet: it dives at the
// x of its own slot.
constexpr float diveStartX = 420.0f;

// No shot starts from a column within 15000 ticks of its last one, and the
// first fire call of each frame sees 3000 in every column.
// Deliberate: see docs/game.md, "The first fire call never fires".
constexpr float fireTimerStart = 3000.0f;
constexpr float reloadTime = 15000.0f;
constexpr int firingDraw = 100;
constexpr int firingColumns[] = {0, 2, 4, 6};

// Rows 2 and 4 share one counter of BrainMovement calls: right by count/50
// below 3000, left by count/50 above it, back to 0 after 6000.
// Deliberate: see docs/game.md, "The sway reset".
constexpr float swayTurn = 3000.0f;
constexpr float swayReset = 6000.0f;
constexpr double swayDivisor = 50.0; // the shift is worked out in double

const char* pictureFor(int row, int column)
{
    if ((row == 1 && column == arcingColumn) || (row == 3 && column == divingColumn))
        return gamefiles::freezeBrain;
    if (row == 4 && column == fieryColumn)
        return gamefiles::fireBrain;
    return gamefiles::plainBrain;
}

int slotY(int row)
{
    return f + (row - 1) * rowSpacing;
}

int slotX(int rowOrigin, int column)
{
    return rowOrigin + slotSpacing * column;
}

// Puts a living brain in its slot and a dead one in the park.
void stand(Brain& brain, bool dead, int atX, int atY)
{
    if (dead)
        park(brain);
    else
        place(brain, atX, atY);
}

bool shotTest(Brain& brain)
{
    return brain.collisionCheck(leftBoundry, rightBoundry, topBoundry, bottomBoundry, true, true,
                                Quasaril::_score.GameScore);
}

// The shot test of one brain. A brain struck now is marked dead and stops
// the player's shot; it is parked at once only where the caller asks.
// Deliberate: see docs/game.md, "Struck brains parked a frame late".
void testAndDraw(Brain& brain, bool& dead, bool& alive, bool parkWhenStruck)
{
    alive = shotTest(brain);
    if (!alive && !dead)
        gamesound::play(gamesound::Effect::brainHit);
    if (!alive) {
        if (parkWhenStruck)
            park(brain);
        dead = true;
        hit = true;
    }
    if (alive && !dead)
        brain.draw(Quasaril::_mainWindow);
}

// The arcing brain is driven by the process clock. A parked (dead) one stays
// parked; one without a picture has no position to read and arcs on.
// Deliberate: see docs/game.md, "The process clock".
void arcStep()
{
    Brain& arcing = _brain1[arcingColumn];
    _elapsedTimeSinceCreatedBrain11 = arcing.Timer(_brain11tTimeCreated);
    float temp_x = 0.0f;
    float temp_y = 0.0f;
    arcing.getPosition(temp_x, temp_y);
    if (temp_y != VisibleGameObject::parkY)
        arcing.arc(_elapsedTimeSinceCreatedBrain11, g, h, e, f);
}

// The diving brain is driven by the process clock too and is handed to the
// dive even when dead, starting from the park.
// Deliberate: see docs/game.md, "The process clock".
void diveStep()
{
    Brain& diving = _brain3[divingColumn];
    diving.getPosition(tt, uu);
    if (tt == 0.0f)
        tt = diveStartX;
    t = static_cast<int>(tt);
    u = static_cast<int>(uu);
    _elapsedTimeSinceCreatedBrain34 = diving.Timer(_brain34tTimeCreated);
    diving.dive(_elapsedTimeSinceCreatedBrain34, t, u, t, slotY(3));
}

} // namespace

// Every brain is drawn once, at its own column's step; later arc, dive and
// sway steps in the same call move sprites that the crash tests see.
// Deliberate: see docs/game.md, "Motion after drawing".
void Quasaril::BrainArmy()
{
    beginArmyPass();
    for (int i = 0; i < columns; ++i) {
        Brain& brain = _brain1[i];
        showPicture(brain, pictureFor(1, i));
        stand(brain, _quasa.hit1[i], slotX(e, i), slotY(1));
        arcStep();
        testAndDraw(brain, _quasa.hit1[i], _quasa.alive1[i], true);
    }

    // One timer array for all eight fire calls of the frame.
    float elapsedTimeSinceCreatedBrainProjectile[columns];
    std::fill(std::begin(elapsedTimeSinceCreatedBrainProjectile),
              std::end(elapsedTimeSinceCreatedBrainProjectile), fireTimerStart);
    BrainFire(_brain1, elapsedTimeSinceCreatedBrainProjectile, bulletTimeCreated);

    for (int i = 0; i < columns; ++i) {
        Brain& brain = _brain2[i];
        showPicture(brain, pictureFor(2, i));
        stand(brain, _quasa.hit2[i], slotX(e1 + swayingRowShift, i), slotY(2));
        if (!_quasa.hit2[i])
            BrainMovement(_brain2);
        testAndDraw(brain, _quasa.hit2[i], _quasa.alive2[i], false);
    }

    for (int i = 0; i < columns; ++i) {
        Brain& brain = _brain3[i];
        showPicture(brain, pictureFor(3, i));
        if (_quasa.hit3[i])
            park(brain);
        else if (i != divingColumn)
            place(brain, slotX(e2, i), slotY(3));
        diveStep();
        testAndDraw(brain, _quasa.hit3[i], _quasa.alive3[i], false);
        BrainFire(_brain3, elapsedTimeSinceCreatedBrainProjectile, bulletTimeCreated);
    }

    for (int i = 0; i < columns; ++i) {
        Brain& brain = _brain4[i];
        showPicture(brain, pictureFor(4, i));
        stand(brain, _quasa.hit4[i], slotX(e3 + swayingRowShift, i), slotY(4));
        if (!_quasa.hit4[i])
            BrainMovement(_brain4);
        testAndDraw(brain, _quasa.hit4[i], _quasa.alive4[i], false);
    }

    for (int i = 0; i < columns; ++i) {
        Brain& brain = _brain5[i];
        showPicture(brain, pictureFor(5, i));
        stand(brain, _quasa.hit5[i], slotX(e4, i), slotY(5));
        testAndDraw(brain, _quasa.hit5[i], _quasa.alive5[i], false);
    }

    Crash(_brain1);
    Crash(_brain2);
    Crash(_brain3);
    Crash(_brain4);
    Crash(_brain5);
    endArmyPass();
}

// Every firing column moves the one shared shot to its own origin plus its
// own fall, draws it and tests the ship against it.
// Deliberate: see docs/game.md, "Shots drawn up to 32 times".
void Quasaril::BrainFire(Brain* brain_, float* elapsedTimeSinceCreatedBrainProjectile_,
                         float* bulletTimeCreated_)
{
    // Column 0's pos flag keeps the loop from reading its origin, so it is
    // read here: column 0 fires from its own brain.
    float o = 0.0f;
    float p = 0.0f;
    brain_[0].getPosition(o, p);

    for (const int i : firingColumns) {
        if (!_quasa.pos[i])
            brain_[i].getPosition(o, p);
        const int draw = brain_[i].Shoot();
        if (draw >= firingDraw && elapsedTimeSinceCreatedBrainProjectile_[i] > reloadTime) {
            gamesound::play(gamesound::Effect::enemyShot);
            bulletTimeCreated_[i] = _brain_projectile.timeCreated();
            showPicture(_brain_projectile, gamefiles::brainShot);
        }
        // Measured from the game's own firing times, whatever array is passed.
        elapsedTimeSinceCreatedBrainProjectile_[i] = _brain_projectile.Timer(bulletTimeCreated[i]);
        _brain_projectile.brainUpdate(elapsedTimeSinceCreatedBrainProjectile_[i],
                                      static_cast<int>(o), static_cast<int>(p), false);
        _brain_projectile.draw(_mainWindow);
        _brain_projectile.setBoundry(eb, fb, gb, hb, _player1.torpedo);
        if (!_player1.shield) {
            _quasa.life =
                _player1.collisionCheck(eb, fb, gb, hb, false, _quasa.life, _score.GameScore);
            if (!_quasa.life)
                explodeShip();
        }
    }
}

void Quasaril::BrainMovement(Brain* brain_)
{
    for (int i = 0; i < columns; ++i) {
        float swayX = 0.0f;
        float swayY = 0.0f;
        brain_[i].getPosition(swayX, swayY);
        if (_quasa.time_2 < swayTurn)
            brain_[i].setPosition(static_cast<float>(swayX + _quasa.time_2 / swayDivisor), swayY);
        if (_quasa.time_2 > swayTurn) {
            brain_[i].getPosition(swayX, swayY);
            brain_[i].setPosition(static_cast<float>(swayX - _quasa.time_2 / swayDivisor), swayY);
        }
        // The counter may go back to 0 at any brain of the row; the brains
        // after it move by 0 in this call.
        // Deliberate: see docs/game.md, "The sway reset".
        if (_quasa.time_2 > swayReset)
            _quasa.time_2 = 0.0f;
    }
    _quasa.time_2 += 1.0f;
}

// Once the player's life is lost every later test repeats the loss: the
// explosion, the text and the parking of the brains of the row.
// Deliberate: see docs/game.md, "Points after Game Over".
void Quasaril::Crash(Brain* brain_)
{
    for (int i = 0; i < columns; ++i) {
        Brain& brain = brain_[i];
        // A brain without a picture has no box to crash into; once the life
        // is lost no box matters, and the loss is repeated for it too.
        if (!brain._isLoaded && _quasa.life)
            continue;
        float boundry_x1 = 0.0f;
        float boundry_x2 = 0.0f;
        float boundry_y1 = 0.0f;
        float boundry_y2 = 0.0f;
        brain.setBoundry(boundry_x1, boundry_x2, boundry_y1, boundry_y2, false);
        if (_player1.shield)
            continue;
        _quasa.life = _player1.collisionCheck(boundry_x1, boundry_x2, boundry_y1, boundry_y2, false,
                                              _quasa.life, _score.GameScore);
        if (!_quasa.life) {
            explodeShip();
            park(brain);
            _quasa.gameOver = true;
        }
    }
}
