#include "Backround.h"

#include "GameFiles.h"

void Backround::Show(sf::RenderWindow& renderWindow)
{
    sf::Texture texture;
    if (!texture.loadFromFile(gamefiles::backdrop))
        return;
    sf::Sprite sprite(texture);
    renderWindow.draw(sprite);
    renderWindow.display();
}
