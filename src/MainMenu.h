#pragma once

#include <SFML/Graphics.hpp>
#include <list>

class MainMenuInspector; // test-only access to the hit test

// The main menu: a picture with two invisible clickable bands, play and exit.
class MainMenu {
public:
    enum MenuResult { Nothing, Exit, Play };

    struct MenuItem {
        // The hit test reads width as the right edge and height as the bottom
        // edge, not as extents.
        sf::Rect<int> rect;
        MenuResult action = Nothing;
    };

    MenuResult Show(sf::RenderWindow& window);

private:
    friend class MainMenuInspector;

    MenuResult GetMenuResponse(sf::RenderWindow& window, const sf::Sprite& picture);
    MenuResult HandleClick(int x, int y);

    std::list<MenuItem> _menuItems;
};
