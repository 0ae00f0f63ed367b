#include "TestSupport.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <stdexcept>

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

namespace {

// A directory of a new random name under the system's temporary one, made
// by this call alone (create_directory says false for one that exists), for
// its owner only.
std::string makeTemporaryDirectory()
{
    constexpr int attempts = 100;
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path parent = fs::temp_directory_path();
    std::error_code error;
    for (int attempt = 0; attempt < attempts && !error; ++attempt) {
        const fs::path path = parent / ("quasaril-test-" + std::to_string(random()));
        if (fs::create_directory(path, error)) {
            fs::permissions(path, fs::perms::owner_all);
            return path.string();
        }
    }
    throw std::runtime_error("cannot create a temporary directory in " + parent.string() + ": " +
                             (error ? error.message() : "every name tried was taken"));
}

} // namespace

ScopedWorkDir::ScopedWorkDir()
    : _path(makeTemporaryDirectory()), _previous(fs::current_path().string())
{
    fs::current_path(_path);
}

ScopedWorkDir::~ScopedWorkDir()
{
    std::error_code ignored;
    fs::current_path(_previous, ignored);
    // Tests may have made parts of the tree read-only; give it back first,
    // never through a link (it may point out of the tree, at a device).
    for (const auto& entry : fs::recursive_directory_iterator(_path, ignored))
        if (!entry.is_symlink(ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(_path, ignored);
}

void copyGameFiles(const std::vector<std::string>& names)
{
    for (const auto& name : names)
        fs::copy_file(fs::path(runDirectory()) / name, name, fs::copy_options::overwrite_existing);
}

void copyAllGameFiles()
{
    for (const auto& entry : fs::directory_iterator(runDirectory())) {
        const auto extension = entry.path().extension();
        if (extension == ".png" || extension == ".ttf")
            fs::copy_file(entry.path(), entry.path().filename(),
                          fs::copy_options::overwrite_existing);
    }
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
