#include "TestSupport.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "GameFiles.h"

namespace fs = std::filesystem;

std::string runDirectory()
{
    return QUASARIL_RUN_DIR;
}

std::optional<float> parseWhole(const std::string& text)
{
    float value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

ScopedWorkDir::ScopedWorkDir()
{
    fs::current_path(_path);
}

ScopedWorkDir::~ScopedWorkDir()
{
    std::error_code ignored;
    fs::current_path(_previous, ignored);
}

void copyGameFiles(const std::vector<std::string>& names)
{
    for (const auto& name : names)
        fs::copy_file(fs::path(runDirectory()) / name, name, fs::copy_options::overwrite_existing);
}

void copyAllGameFiles()
{
    for (const char* name : gamefiles::all)
        fs::copy_file(fs::path(runDirectory()) / name, name, fs::copy_options::overwrite_existing);
}

void openGameWindow()
{
    if (!Quasaril::_mainWindow.isOpen())
        Quasaril::_mainWindow.create(sf::VideoMode(800, 800, 32), "QUASARIL");
}

void placeShip()
{
    showPicture(Quasaril::_player1, gamefiles::ship);
    Quasaril::_player1.setPosition(static_cast<float>(game::x), static_cast<float>(game::y));
}

sf::Image windowPixels()
{
    sf::Texture texture;
    texture.create(Quasaril::_mainWindow.getSize().x, Quasaril::_mainWindow.getSize().y);
    texture.update(Quasaril::_mainWindow);
    return texture.copyToImage();
}

bool* QuasarilInspector::alive(int row)
{
    bool* rows[] = {game::_quasa.alive1, game::_quasa.alive2, game::_quasa.alive3,
                    game::_quasa.alive4, game::_quasa.alive5};
    return rows[row - 1];
}

const bool* QuasarilInspector::alive(const Quasaril& record, int row)
{
    const bool* rows[] = {record.alive1, record.alive2, record.alive3, record.alive4,
                          record.alive5};
    return rows[row - 1];
}

sf::Event keyEvent(sf::Keyboard::Key key, sf::Event::EventType type)
{
    sf::Event event{};
    event.type = type;
    event.key.code = key;
    return event;
}

sf::Event eventOfType(sf::Event::EventType type)
{
    sf::Event event{};
    event.type = type;
    return event;
}
