#include "VisibleGameObject.h"

#include <cmath>
#include <functional>
#include <map>

#include "platform/GameClock.h"
#include "Quasaril.h"

namespace {

// Points for every object struck, unless it stands parked.
constexpr float hitAward = 100.0f;

// Shot boxes around the object's position: narrow, and wide for the torpedo.
constexpr float shotHalfWidth = 30.0f;
constexpr float shotHalfHeight = 20.0f;
constexpr float torpedoLeft = 10.0f;
constexpr float torpedoRight = 140.0f;
constexpr float torpedoTop = 20.0f;
constexpr float torpedoBottom = 50.0f;
// Ship box: the object stands at the bottom middle of it.
constexpr float shipHalfWidth = 40.0f;
constexpr float shipHeight = 100.0f;

constexpr float startRise = 30.0f;
constexpr float climbStep = 2.0f;

// Motion speeds, as divisors of the elapsed milliseconds.
constexpr double shotRiseDivisor = 4.0; // 0.25 pixel per millisecond
constexpr double diveDivisor = 10.0;    // 0.1 pixel per millisecond
constexpr double arcPeriod = 20000.0;   // one row more per call for every 20 s
constexpr double arcWidth = 900.0;      // x = sqrt(d * (900 - 1.3 d))
constexpr double arcSteepness = 1.3;
constexpr int arcDiagonalBranch = 400; // c from here on flies x = 800 - d
constexpr int arcDiagonalStart = 800;
constexpr int arcReturnStep = 5;
constexpr int diveBottom = 800;
constexpr int diveReentryRow = 2;
constexpr double diveReturnTime = 8000.0; // the return row is -(8000 - t) / 10

int truncated(double value)
{
    return static_cast<int>(value);
}

// The pictures read so far, one texture per file, held until the process
// ends and never destroyed, so no texture is released after the window's GL
// context at exit. A file that cannot be read is not held: the next request
// reads it again. Null while the file cannot be read.
const sf::Texture* heldPicture(std::string_view file)
{
    static auto* const held = new std::map<std::string, sf::Texture, std::less<>>;
    const auto found = held->find(file);
    if (found != held->end())
        return &found->second;
    const auto fresh = held->try_emplace(std::string(file)).first;
    if (fresh->second.loadFromFile(fresh->first))
        return &fresh->second;
    held->erase(fresh);
    return nullptr;
}

} // namespace

VisibleGameObject::VisibleGameObject() = default;

VisibleGameObject::~VisibleGameObject() = default;

void VisibleGameObject::load(std::string filename)
{
    if (_texture.loadFromFile(filename)) {
        _filename = filename;
        // The texture rectangle is not reset: the first picture bound to the
        // sprite fixes its size, a later picture is shown within it.
        _sprite.setTexture(_texture);
        _isLoaded = true;
    } else {
        _filename = "";
        _isLoaded = false;
    }
}

void VisibleGameObject::draw(sf::RenderWindow& renderWindow)
{
    if (_isLoaded)
        renderWindow.draw(_sprite);
}

void VisibleGameObject::setPosition(float x, float y)
{
    if (_isLoaded)
        _sprite.setPosition(x, y);
}

void VisibleGameObject::getPosition(float& x, float& y)
{
    if (!_isLoaded)
        return;
    x = _sprite.getPosition().x;
    y = _sprite.getPosition().y;
}

void VisibleGameObject::startPosition(float x, float y)
{
    if (_isLoaded)
        _sprite.setPosition(x, y - startRise);
}

void VisibleGameObject::trajectory(float x, float y)
{
    if (!_isLoaded)
        return;
    while (y > 0) {
        y -= climbStep;
        _sprite.setPosition(x, y);
    }
}

void VisibleGameObject::setBoundry(float& leftBoundry, float& rightBoundry, float& topBoundry,
                                   float& bottomBoundry, bool torpedo)
{
    if (!_isLoaded)
        return;
    const sf::Vector2f at = _sprite.getPosition();
    if (torpedo) {
        leftBoundry = at.x - torpedoLeft;
        rightBoundry = at.x + torpedoRight;
        topBoundry = at.y - torpedoTop;
        bottomBoundry = at.y + torpedoBottom;
    } else {
        leftBoundry = at.x - shotHalfWidth;
        rightBoundry = at.x + shotHalfWidth;
        topBoundry = at.y - shotHalfHeight;
        bottomBoundry = at.y + shotHalfHeight;
    }
}

void VisibleGameObject::setShipBoundry(float& leftBoundry, float& rightBoundry, float& topBoundry,
                                       float& bottomBoundry, bool)
{
    if (!_isLoaded)
        return;
    const sf::Vector2f at = _sprite.getPosition();
    leftBoundry = at.x - shipHalfWidth;
    rightBoundry = at.x + shipHalfWidth;
    topBoundry = at.y - shipHeight;
    bottomBoundry = at.y;
}

bool VisibleGameObject::collisionCheck(float leftBoundry, float rightBoundry, float topBoundry,
                                       float bottomBoundry, bool, bool alive, float& GameScore)
{
    if (!_isLoaded)
        return alive;
    const sf::Vector2f at = _sprite.getPosition();
    // Strictly inside: a point on an edge, or a NaN anywhere, is not struck.
    const bool struck =
        at.x > leftBoundry && at.x < rightBoundry && at.y > topBoundry && at.y < bottomBoundry;
    if (!struck)
        return alive;
    collision = true;
    const bool result = destroy(collision, GameScore);
    if (at.y != parkY)
        GameScore += hitAward;
    return result;
}

bool VisibleGameObject::destroy(bool, float&)
{
    return false;
}

void VisibleGameObject::update(float _elapsedTimeSinceCreated, int a, int b, bool hit)
{
    if (!_isLoaded)
        return;
    const int row = truncated(b - _elapsedTimeSinceCreated / shotRiseDivisor);
    if (Quasaril::_player1.virus) {
        // A virus shot flies on through whatever it strikes until it leaves
        // the top of the playfield.
        if (row < 0)
            _sprite.setPosition(parkX, parkY);
        else
            _sprite.setPosition(static_cast<float>(a), static_cast<float>(row));
    } else if (!hit) {
        _sprite.setPosition(static_cast<float>(a), static_cast<float>(row));
    }
}

// The arc and the dive move the sprite even without a picture: the army
// relies on the positions they leave.
void VisibleGameObject::arc(float _elapsedTimeSinceCreated, int c, int& d, int e, int f)
{
    const double t = _elapsedTimeSinceCreated;
    if (!(t > 1))
        return;

    int column = -1; // the curve has run out when a root would be negative
    if (c < arcDiagonalBranch) {
        const double rest = arcWidth - arcSteepness * d;
        if (d >= 0 && rest >= 0)
            column = truncated(std::sqrt(static_cast<double>(d)) * std::sqrt(rest));
    } else {
        column = arcDiagonalStart - d;
    }

    d = truncated(d + t / arcPeriod);
    if (column < 0) {
        offScreen = true;
        d = 0;
    } else {
        _sprite.setPosition(static_cast<float>(column), static_cast<float>(d));
    }

    // Once out of the playfield the brain is held at its return slot.
    if (offScreen) {
        if (d < f) {
            _sprite.setPosition(static_cast<float>(e), static_cast<float>(d));
            d += arcReturnStep;
        } else {
            _sprite.setPosition(static_cast<float>(e), static_cast<float>(f));
        }
        d = f;
        if (f != 0)
            _sprite.setPosition(static_cast<float>(e), static_cast<float>(f));
    }
}

void VisibleGameObject::dive(float _elapsedTimeSinceCreated, int c, int& d, int e, int f)
{
    const double t = _elapsedTimeSinceCreated;
    if (!diveoffScreen) {
        d = truncated(t / diveDivisor);
        _sprite.setPosition(static_cast<float>(c), static_cast<float>(d));
        if (d > diveBottom) {
            d = diveReentryRow;
            _sprite.setPosition(static_cast<float>(c), static_cast<float>(d));
            diveoffScreen = true;
        }
    } else if (d < f) {
        // Back in from above the window, on the same time line.
        d = -truncated((diveReturnTime - t) / diveDivisor);
        _sprite.setPosition(static_cast<float>(e), static_cast<float>(d));
    }
}

float VisibleGameObject::timeCreated()
{
    _timeCreated = static_cast<float>(platform::gameClock());
    return _timeCreated;
}

float VisibleGameObject::Timer(float _timeCreated)
{
    _elapsedTimeSinceCreated = static_cast<float>(platform::gameClock()) - _timeCreated;
    return _elapsedTimeSinceCreated;
}

void showPicture(VisibleGameObject& object, std::string_view picture)
{
    if (object._isLoaded && object._filename == picture)
        return;
    const sf::Texture* texture = heldPicture(picture);
    if (texture == nullptr) {
        object._filename.clear();
        object._isLoaded = false;
        return;
    }
    object._filename = picture;
    object._sprite.setTexture(*texture); // the rectangle is not reset, as in load
    object._isLoaded = true;
}
