#include "WindowFit.h"

#include <algorithm>
#include <cmath>

namespace windowfit {
namespace {

constexpr unsigned bitsPerPixel = 32;
// Rows a desktop keeps for a window's title bar and a panel of its own.
constexpr int decorationRows = 80;
// No desktop is so small that a window below this would help anyone.
constexpr int smallestSide = 200;

// The offset that centres `side` on `extent`, or 0 where it does not fit.
int centred(unsigned extent, unsigned side)
{
    return std::max(0, (static_cast<int>(extent) - static_cast<int>(side)) / 2);
}

// The playfield seen whole in a window of that size.
sf::View playfieldView(sf::Vector2u window)
{
    const float side = static_cast<float>(playfieldSide);
    sf::View view(sf::FloatRect(0.0f, 0.0f, side, side));
    view.setViewport(letterbox(window));
    return view;
}

// What the window was before it took the whole screen, and its title,
// which a window made anew needs again.
struct Windowed {
    std::string title;
    bool fullScreen = false;
    sf::Vector2i position;
    sf::Vector2u size;
};

Windowed& windowed()
{
    static Windowed* const held = new Windowed; // lives until the process ends
    return *held;
}

bool asksFullScreenSwitch(const sf::Event& event)
{
    if (event.type != sf::Event::KeyPressed)
        return false;
    return event.key.code == sf::Keyboard::F11 ||
           (event.key.code == sf::Keyboard::Enter && event.key.alt);
}

// The window is made anew either way; pictures and fonts are the process's
// and outlive it.
void switchFullScreen(sf::RenderWindow& window)
{
    Windowed& was = windowed();
    if (was.fullScreen) {
        window.create(sf::VideoMode(was.size.x, was.size.y, bitsPerPixel), was.title);
        window.setPosition(was.position);
    } else {
        was.position = window.getPosition();
        was.size = window.getSize();
        window.create(sf::VideoMode::getDesktopMode(), was.title, sf::Style::Fullscreen);
    }
    was.fullScreen = !was.fullScreen;
    window.setView(playfieldView(window.getSize()));
}

} // namespace

Placement placementOn(sf::Vector2u desktop)
{
    const int room =
        std::min(static_cast<int>(desktop.x), static_cast<int>(desktop.y) - decorationRows);
    const int side = std::clamp(room, smallestSide, static_cast<int>(playfieldSide));
    const unsigned square = static_cast<unsigned>(side);
    return {{centred(desktop.x, square), centred(desktop.y, square)}, square};
}

sf::FloatRect letterbox(sf::Vector2u window)
{
    if (window.x == 0 || window.y == 0)
        return {0.0f, 0.0f, 1.0f, 1.0f};
    const float wide = static_cast<float>(window.x);
    const float high = static_cast<float>(window.y);
    if (wide > high) {
        const float share = high / wide;
        return {(1.0f - share) / 2.0f, 0.0f, share, 1.0f};
    }
    const float share = wide / high;
    return {0.0f, (1.0f - share) / 2.0f, 1.0f, share};
}

// SFML centres a new window itself, but on X it computes the top from the
// screen's width: the window is placed here instead.
void open(sf::RenderWindow& window, const std::string& title)
{
    const sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    const Placement placement = placementOn({desktop.width, desktop.height});
    window.create(sf::VideoMode(placement.side, placement.side, bitsPerPixel), title);
    window.setPosition(placement.position);
    window.setView(playfieldView(window.getSize()));
    windowed().title = title;
}

bool followResize(sf::RenderWindow& window, const sf::Event& event)
{
    if (event.type != sf::Event::Resized)
        return false;
    window.setView(playfieldView({event.size.width, event.size.height}));
    return true;
}

bool follow(sf::RenderWindow& window, const sf::Event& event)
{
    if (!asksFullScreenSwitch(event))
        return followResize(window, event);
    switchFullScreen(window);
    return true;
}

void showAlone(sf::RenderWindow& window, const sf::Drawable& picture)
{
    window.clear();
    window.draw(picture);
    window.display();
}

sf::Vector2i playfieldPoint(const sf::RenderWindow& window, int x, int y)
{
    const sf::Vector2f point = window.mapPixelToCoords({x, y});
    return {static_cast<int>(std::lround(point.x)), static_cast<int>(std::lround(point.y))};
}

} // namespace windowfit
