#include "MainMenu.h"

#include "GameFiles.h"
#include "GameSound.h"
#include "WindowFit.h"

namespace {

// The bands of the menu picture that answer a click. Right and bottom are
// edges, not extents; the rows 380 to 383 between the bands answer nothing.
constexpr int itemLeft = 0;
constexpr int itemRight = 1023;
constexpr int playTop = 145;
constexpr int playBottom = 380;
constexpr int exitTop = 383;
constexpr int exitBottom = 560;

MainMenu::MenuItem menuItem(int top, int bottom, MainMenu::MenuResult action)
{
    MainMenu::MenuItem item;
    item.rect.left = itemLeft;
    item.rect.width = itemRight;
    item.rect.top = top;
    item.rect.height = bottom;
    item.action = action;
    return item;
}

} // namespace

MainMenu::MenuResult MainMenu::Show(sf::RenderWindow& window)
{
    // Without its picture the menu draws nothing visible but still answers.
    sf::Texture image;
    image.loadFromFile(gamefiles::mainMenu);
    sf::Sprite sprite(image);

    _menuItems.push_back(menuItem(playTop, playBottom, Play));
    _menuItems.push_back(menuItem(exitTop, exitBottom, Exit));

    window.draw(sprite);
    window.display();
    return GetMenuResponse(window, sprite);
}

MainMenu::MenuResult MainMenu::GetMenuResponse(sf::RenderWindow& window, const sf::Sprite& picture)
{
    sf::Event menuEvent;
    while (true) {
        while (window.pollEvent(menuEvent)) {
            // Any button; a click outside both bands answers at once. The
            // bands lie in the picture, wherever the window shows it.
            if (menuEvent.type == sf::Event::MouseButtonPressed) {
                gamesound::play(gamesound::Effect::click);
                const sf::Vector2i at = windowfit::playfieldPoint(window, menuEvent.mouseButton.x,
                                                                  menuEvent.mouseButton.y);
                return HandleClick(at.x, at.y);
            }
            if (menuEvent.type == sf::Event::Closed)
                return Exit;
            gamesound::follow(menuEvent);
            if (windowfit::follow(window, menuEvent))
                windowfit::showAlone(window, picture);
        }
    }
}

MainMenu::MenuResult MainMenu::HandleClick(int x, int y)
{
    for (const MenuItem& item : _menuItems) {
        const sf::Rect<int> menuItemRect = item.rect;
        if (menuItemRect.height > y && menuItemRect.top < y && menuItemRect.left < x &&
            menuItemRect.width > x)
            return item.action;
    }
    return Nothing;
}
