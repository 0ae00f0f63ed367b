#pragma once

// The player's pause. P stops play and P starts it again; a window that
// loses the keyboard stops play too, and stays stopped until P. While play
// stands, the game's clock stands with it and the last frame stays on
// screen, dimmed, with "Paused" and "P to play on" over it. This is not the
// game state Paused: the game goes on Playing and only its frame waits.

#include <SFML/Graphics.hpp>

namespace playerpause {

// Follows the pause through one pass of play and the event it polled. True
// while play stands: the frame is then not to run, and the paused screen has
// been drawn in its place.
bool holds(sf::RenderWindow& window, const sf::Event& event);

} // namespace playerpause
