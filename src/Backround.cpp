#include "Backround.h"

namespace {

const char* const backdropPicture = "space2.png";

} // namespace

void Backround::Show(sf::RenderWindow& renderWindow)
{
    sf::Texture texture;
    if (!texture.loadFromFile(backdropPicture))
        return;
    sf::Sprite sprite(texture);
    renderWindow.draw(sprite);
    renderWindow.display();
}
