#pragma once

#include <SFML/Graphics.hpp>
#include <string>
#include <string_view>

// Base of everything drawn in the playfield: a sprite showing its own texture
// (`load`) or a picture held for the whole game (`showPicture`).
// Until a picture has loaded successfully the object is inert: it draws
// nothing, cannot be placed, leaves reference arguments untouched and is never
// struck. Only the clock readings and the arc and dive paths work regardless.
class VisibleGameObject {
public:
    VisibleGameObject();
    virtual ~VisibleGameObject();

    virtual void load(std::string filename);
    virtual void draw(sf::RenderWindow& renderWindow);
    virtual void setPosition(float x, float y);
    virtual void getPosition(float& x, float& y);
    virtual void startPosition(float x, float y);
    virtual void trajectory(float x, float y);
    virtual void setBoundry(float& leftBoundry, float& rightBoundry, float& topBoundry,
                            float& bottomBoundry, bool torpedo);
    virtual void setShipBoundry(float& leftBoundry, float& rightBoundry, float& topBoundry,
                                float& bottomBoundry, bool torpedo);
    virtual bool collisionCheck(float leftBoundry, float rightBoundry, float topBoundry,
                                float bottomBoundry, bool hit, bool alive, float& GameScore);
    virtual bool destroy(bool collision, float& GameScore);
    virtual void update(float _elapsedTimeSinceCreated, int a, int b, bool hit);
    virtual void arc(float _elapsedTimeSinceCreated, int c, int& d, int e, int f);
    virtual void dive(float _elapsedTimeSinceCreated, int c, int& d, int e, int f);
    virtual float timeCreated();
    virtual float Timer(float _timeCreated);

    // Objects out of play wait at the park point, outside the 800 by 800
    // playfield. A struck object standing at its y earns no points.
    static constexpr float parkX = 900.0f;
    static constexpr float parkY = 900.0f;

    float _elapsedTimeSinceCreated = 0.0f;
    sf::Sprite _sprite;
    bool _isLoaded = false;
    sf::Texture _texture;
    std::string _filename;
    bool collision = false;
    bool offScreen = false;
    bool diveoffScreen = false;
    // Declared for every object but never used by the game.
    float topBoundry = 0.0f;
    float bottomBoundry = 0.0f;
    float leftBoundry = 0.0f;
    float rightBoundry = 0.0f;
    float _timeCreated = 0.0f;
};

// Shows the picture unless the object already shows that very file. Each
// picture file is read once and held for the rest of the process, and every
// object showing it draws that one texture; the object's own `_texture` is
// left to `load`. Like `load`, the first picture bound to the sprite fixes
// its texture rectangle. An object whose picture is missing tries the file
// again at every call, so it comes back as soon as the file does.
void showPicture(VisibleGameObject& object, std::string_view picture);
