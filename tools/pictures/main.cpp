// make_pictures: draws every picture the game reads and writes them as PNG
// files into the directory named on the command line, and the desktop icons
// into a second one if it is named, as PNG files and together as the Windows
// icon file quasaril.ico. Everything comes from the art's grids and
// the drawing rules, with fixed-seed dice, so every build writes the same
// files. Only sf::Image is used: no window, no display.
//
//   make_pictures OUTPUT_DIRECTORY [ICON_DIRECTORY]

#include "GameFiles.h"
#include "iconfile.h"
#include "icons.h"
#include "screens.h"
#include "shots.h"
#include "sprites.h"

#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pictures;

struct Picture {
    const char* name;
    sf::Image (*draw)();
};

// The game's pictures, by the names it reads them by.
constexpr Picture gamePictures[] = {
    {gamefiles::ship, ship},
    {gamefiles::plainShot, plainShotPicture},
    {gamefiles::torpedoShot, boltPicture},
    {gamefiles::virusShot, virusPicture},
    {gamefiles::plainBrain, plainBrain},
    {gamefiles::freezeBrain, freezeBrain},
    {gamefiles::fireBrain, fireBrain},
    {gamefiles::brainShot, brainShot},
    {gamefiles::explodedShip, explosion},
    {gamefiles::powerUp, powerUp},
    {gamefiles::bubble, bubble},
    {gamefiles::splashScreen, splashScreen},
    {gamefiles::backdrop, backdrop},
    {gamefiles::mainMenu, mainMenu},
};

// The table above draws each picture of the game's list, and nothing else.
constexpr bool drawsTheGamesList()
{
    for (const char* name : gamefiles::pictures) {
        bool drawn = false;
        for (const Picture& picture : gamePictures)
            drawn = drawn || std::string_view(picture.name) == name;
        if (!drawn)
            return false;
    }
    return std::size(gamePictures) == std::size(gamefiles::pictures);
}
static_assert(drawsTheGamesList(), "every picture of cmake/GameFiles.cmake needs a drawing");

// The sides of the desktop's icons: what Windows' Explorer and taskbar and
// the desktops' menus ask for.
constexpr unsigned iconSides[] = {16, 32, 48, 64, 128, 256};
const char* const windowsIconName = "quasaril.ico";

bool save(const sf::Image& image, const std::string& directory, const std::string& name)
{
    if (image.saveToFile(directory + "/" + name))
        return true;
    std::cerr << "make_pictures: cannot write " << name << "\n";
    return false;
}

bool drawGamePictures(const std::string& directory)
{
    for (const Picture& picture : gamePictures)
        if (!save(picture.draw(), directory, picture.name))
            return false;
    return true;
}

// Each icon is named by its size in the icon theme; the Windows icon file
// holds them all.
bool drawIcons(const std::string& directory)
{
    std::vector<sf::Image> images;
    for (const unsigned side : iconSides) {
        images.push_back(icon(side));
        const std::string size = std::to_string(side);
        if (!save(images.back(), directory, size + "x" + size + ".png"))
            return false;
    }
    if (saveIconFile(images, directory + "/" + windowsIconName))
        return true;
    std::cerr << "make_pictures: cannot write " << windowsIconName << "\n";
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: make_pictures OUTPUT_DIRECTORY [ICON_DIRECTORY]\n";
        return 2;
    }
    try {
        if (!drawGamePictures(argv[1]))
            return 1;
        if (argc == 3 && !drawIcons(argv[2]))
            return 1;
    } catch (const std::logic_error& fault) {
        std::cerr << "make_pictures: " << fault.what() << "\n";
        return 1;
    }
    return 0;
}
