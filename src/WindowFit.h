#pragma once

// The game window on the desktop, and the playfield in the window. The game
// draws and reads the mouse in its own 800 by 800 coordinates; the window
// may be smaller than that (a desktop too low for it) or any size the player
// or the window manager makes it, and always shows the whole playfield,
// scaled with its aspect kept, bars beside or above and below it.

#include <SFML/Graphics.hpp>
#include <string>

namespace windowfit {

constexpr unsigned playfieldSide = 800;

// Where the window opens and how big: its top-left corner on the desktop and
// its side (the window is square).
struct Placement {
    sf::Vector2i position;
    unsigned side;
};

// The window for a desktop of that size: the playfield's own size where
// there is room for it and for a title bar and a panel, smaller otherwise;
// centred, never above or left of the desktop.
Placement placementOn(sf::Vector2u desktop);

// The share of a window of that size that shows the playfield: the largest
// centred square.
sf::FloatRect letterbox(sf::Vector2u window);

// Opens the window placed for the desktop, showing the playfield.
void open(sf::RenderWindow& window, const std::string& title);

// Follows a resize of the window: true, with the playfield fitted to the
// new size, for a Resized event; false for any other event.
bool followResize(sf::RenderWindow& window, const sf::Event& event);

// Follows what the player does to the window: a resize, or F11 or Alt+Enter,
// which switch between the window and the whole screen. True when the window
// must be drawn again; the playfield fits it, square, centred and barred.
// Back from the whole screen the window has its old size and place again.
bool follow(sf::RenderWindow& window, const sf::Event& event);

// Clears the window, bars and all, and shows the one picture.
void showAlone(sf::RenderWindow& window, const sf::Drawable& picture);

// A window pixel in playfield coordinates, to the nearest whole unit.
sf::Vector2i playfieldPoint(const sf::RenderWindow& window, int x, int y);

} // namespace windowfit
