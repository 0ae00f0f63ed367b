#include "SplashScreen.h"

#include "GameFiles.h"
#include "WindowFit.h"

namespace {

// Alt may begin Alt+Enter, the switch to the whole screen.
bool isAlt(const sf::Event& event)
{
    return event.key.code == sf::Keyboard::LAlt || event.key.code == sf::Keyboard::RAlt;
}

bool endsSplash(const sf::Event& event)
{
    return (event.type == sf::Event::KeyPressed && !isAlt(event)) ||
           event.type == sf::Event::MouseButtonPressed || event.type == sf::Event::Closed;
}

} // namespace

void SplashScreen::Show(sf::RenderWindow& renderWindow)
{
    sf::Texture image;
    if (!image.loadFromFile(gamefiles::splashScreen))
        return;
    sf::Sprite sprite(image);
    renderWindow.draw(sprite);
    renderWindow.display();

    // Busy wait, as the rest of the game loop: a resize or a switch to or
    // from the whole screen shows the picture again, any other key, a button
    // or a close request ends it, anything else is dropped.
    sf::Event event;
    while (true) {
        while (renderWindow.pollEvent(event)) {
            if (windowfit::follow(renderWindow, event))
                windowfit::showAlone(renderWindow, sprite);
            else if (endsSplash(event))
                return;
        }
    }
}
