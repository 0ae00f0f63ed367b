#include "SplashScreen.h"

#include "GameFiles.h"
#include "WindowFit.h"

namespace {

bool endsSplash(const sf::Event& event)
{
    return event.type == sf::Event::KeyPressed || event.type == sf::Event::MouseButtonPressed ||
           event.type == sf::Event::Closed;
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

    // Busy wait, as the rest of the game loop: a key, a button or a close
    // request ends it, a resize shows the picture again at the new size,
    // anything else is dropped.
    sf::Event event;
    while (true) {
        while (renderWindow.pollEvent(event)) {
            if (endsSplash(event))
                return;
            if (windowfit::followResize(renderWindow, event))
                windowfit::showAlone(renderWindow, sprite);
        }
    }
}
