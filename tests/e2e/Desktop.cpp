#include "Desktop.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "Commands.h"
#include "GameFiles.h"

namespace fs = std::filesystem;

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto pollPause = std::chrono::milliseconds(20);
constexpr int colourTolerance = 12;
constexpr float playfieldSide = 800.0f;
constexpr float leastTextPixels = 30.0f; // of each score's colour, unscaled

// A shell command's standard output and error.
std::string commandOutput(const std::string& command)
{
    return run({"sh", "-c", command}).output;
}

bool runCommand(const std::string& command)
{
    return run({"sh", "-c", command}).status == 0;
}

// Reads the display number that Xvfb writes once it accepts clients.
std::string readDisplayNumber(int fd, Seconds limit)
{
    std::string number;
    pollfd wanted{fd, POLLIN, 0};
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (poll(&wanted, 1, static_cast<int>(left.count()) + 1) <= 0)
            break;
        char buffer[16];
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(got));
    }
    const auto end = number.find('\n');
    return end == std::string::npos ? std::string() : number.substr(0, end);
}

bool near(sf::Color a, sf::Color b)
{
    return std::abs(a.r - b.r) <= colourTolerance && std::abs(a.g - b.g) <= colourTolerance &&
           std::abs(a.b - b.b) <= colourTolerance;
}

} // namespace

Seconds scaled(Seconds limit)
{
    return limit * QUASARIL_E2E_SLOWDOWN;
}

bool pollUntil(Seconds limit, const std::function<bool()>& check)
{
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(limit);
    while (!check()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pollPause);
    }
    return true;
}

// ---------------------------------------------------------------------------

VirtualDisplay::VirtualDisplay(const std::string& screen)
{
    int ends[2];
    if (pipe(ends) != 0)
        return;
    // Without -noreset the server restarts whenever its last client leaves
    // (every xdotool call) and refuses the game that connects then.
    ProgramStart start;
    start.command = {"Xvfb",      "-displayfd", std::to_string(ends[1]),
                     "-screen",   "0",          screen,
                     "-nolisten", "tcp",        "-noreset"};
    start.errors = "/dev/null";
    start.prepare = [reading = ends[0]] { close(reading); };
    _server.emplace(start);
    close(ends[1]);
    const std::string number = readDisplayNumber(ends[0], scaled(Seconds(10)));
    close(ends[0]);
    if (!number.empty()) {
        setenv("DISPLAY", (":" + number).c_str(), 1);
        _ready = pollUntil(scaled(Seconds(10)),
                           [] { return runCommand("xdotool getdisplaygeometry >/dev/null 2>&1"); });
    }
}

VirtualDisplay::~VirtualDisplay()
{
    shutDown();
}

// SIGTERM, as a server is asked to end; the object goes on to SIGKILL
// should it not.
void VirtualDisplay::shutDown()
{
    if (_server) {
        _server->signal(SIGTERM);
        _server->wait(scaled(Seconds(10)));
        _server.reset();
    }
    _ready = false;
}

// ---------------------------------------------------------------------------

namespace {

fs::path dataHomeIn(const fs::path& directory)
{
    return directory / "data";
}
fs::path temporaryIn(const fs::path& directory)
{
    return directory / "tmp";
}
fs::path errorFileIn(const fs::path& directory)
{
    return directory / "stderr.txt";
}

std::vector<std::string> contentsOf(const fs::path& directory)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(directory, ignored))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

GameRun::GameRun(Files files)
{
    if (files == WithoutPlayersDirectory) {
        const fs::path blocker = fs::path(_directory) / "a-file";
        std::ofstream(blocker) << "not a directory";
        _dataHome = dataHomeIn(blocker).string();
    }
    const fs::path run = QUASARIL_RUN_DIR;
    const fs::path program = fs::path(_directory) / "quasaril";
    fs::copy_file(run / "quasaril", program);
    if (files != WithoutGameFiles)
        for (const char* name : gamefiles::all)
            fs::copy_file(run / name, fs::path(_directory) / name);
    _startDirectory = files == StartedElsewhere ? _directory + "/elsewhere" : _directory;
    fs::create_directories(_startDirectory);
    start({program.string()});
}

GameRun::GameRun(const std::string& program, const std::string& startDirectory)
    : GameRun(std::vector<std::string>{program}, startDirectory)
{
}

GameRun::GameRun(const std::vector<std::string>& command, const std::string& startDirectory)
    : _startDirectory(startDirectory)
{
    start(command);
}

// The game runs under its own name ("quasaril"), as a shell would start it.
void GameRun::start(const std::vector<std::string>& command)
{
    if (_dataHome.empty())
        _dataHome = dataHomeIn(_directory).string();
    const std::string temporary = temporaryIn(_directory).string();
    fs::create_directories(temporary);
    ProgramStart start;
    start.command = command;
    start.name = fs::path(command.front()).filename().string();
    start.directory = _startDirectory;
    start.environment = {"XDG_DATA_HOME=" + _dataHome, "TMPDIR=" + temporary};
    start.errors = errorFileIn(_directory);
    _game.emplace(start);
}

GameRun::~GameRun() = default;

bool GameRun::running()
{
    return _game && _game->running();
}

void GameRun::signal(int signal)
{
    if (_game)
        _game->signal(signal);
}

std::optional<int> GameRun::waitForExit(Seconds limit)
{
    return _game ? _game->wait(limit) : std::nullopt;
}

std::string GameRun::errorOutput() const
{
    return readFile(errorFileIn(_directory));
}

std::string GameRun::playerDirectory() const
{
    return (fs::path(_dataHome) / "quasaril").string();
}

std::vector<std::string> GameRun::startDirectoryContents() const
{
    return contentsOf(_startDirectory);
}

std::vector<std::string> GameRun::temporaryContents() const
{
    return contentsOf(temporaryIn(_directory));
}

std::optional<std::string> GameRun::highScoreText() const
{
    std::ifstream file(fs::path(playerDirectory()) / "HighScore.txt");
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// ---------------------------------------------------------------------------

// As the game fits it: the side of the square is the window's smaller
// side, and SFML rounds the bars' width to whole pixels.
Playfield::Playfield(sf::Vector2i windowSize)
{
    const int side = std::min(windowSize.x, windowSize.y);
    _scale = static_cast<float>(side) / playfieldSide;
    _offset = {std::floor(0.5f + static_cast<float>(windowSize.x - side) / 2.0f),
               std::floor(0.5f + static_cast<float>(windowSize.y - side) / 2.0f)};
}

sf::Vector2i Playfield::pixelAt(sf::Vector2f point) const
{
    return {static_cast<int>(std::floor(_offset.x + (point.x + 0.5f) * _scale)),
            static_cast<int>(std::floor(_offset.y + (point.y + 0.5f) * _scale))};
}

sf::Vector2f Playfield::pointAt(sf::Vector2i pixel) const
{
    return {(static_cast<float>(pixel.x) + 0.5f - _offset.x) / _scale,
            (static_cast<float>(pixel.y) + 0.5f - _offset.y) / _scale};
}

sf::IntRect Playfield::pixelsOf(const sf::FloatRect& area) const
{
    const auto first = [this](float from, float offset) {
        return static_cast<int>(std::ceil(offset + from * _scale - 0.5f));
    };
    const int left = first(area.left, _offset.x);
    const int top = first(area.top, _offset.y);
    return {left, top, first(area.left + area.width, _offset.x) - left,
            first(area.top + area.height, _offset.y) - top};
}

sf::Color Screen::at(sf::Vector2i pixel) const
{
    const sf::Vector2u size = _shot.getSize();
    if (pixel.x < 0 || pixel.y < 0 || pixel.x >= static_cast<int>(size.x) ||
        pixel.y >= static_cast<int>(size.y))
        return sf::Color::Black;
    return _shot.getPixel(static_cast<unsigned>(pixel.x), static_cast<unsigned>(pixel.y));
}

// Compares each window pixel with the picture's pixel it shows (the
// nearest, as the game draws its pictures unsmoothed).
double Screen::shows(const sf::Image& picture, int x, int y) const
{
    int opaque = 0;
    int matching = 0;
    const sf::Vector2u size = picture.getSize();
    const sf::IntRect pixels =
        _playfield.pixelsOf(sf::FloatRect(static_cast<float>(x), static_cast<float>(y),
                                          static_cast<float>(size.x), static_cast<float>(size.y)));
    for (int wy = pixels.top; wy < pixels.top + pixels.height; ++wy)
        for (int wx = pixels.left; wx < pixels.left + pixels.width; ++wx) {
            const sf::Vector2f point = _playfield.pointAt({wx, wy});
            // Clamped against a centre that rounding puts on the far edge.
            const auto texel = [](float at, int from, unsigned extent) {
                return static_cast<unsigned>(std::clamp(static_cast<int>(std::floor(at)) - from, 0,
                                                        static_cast<int>(extent) - 1));
            };
            const sf::Color wanted =
                picture.getPixel(texel(point.x, x, size.x), texel(point.y, y, size.y));
            if (wanted.a != 255)
                continue;
            ++opaque;
            if (near(wanted, at({wx, wy})))
                ++matching;
        }
    return opaque == 0 ? 0.0 : static_cast<double>(matching) / opaque;
}

int Screen::count(const sf::IntRect& area, const std::function<bool(sf::Color)>& test) const
{
    const sf::IntRect pixels = _playfield.pixelsOf(sf::FloatRect(area));
    int passing = 0;
    for (int y = pixels.top; y < pixels.top + pixels.height; ++y)
        for (int x = pixels.left; x < pixels.left + pixels.width; ++x)
            if (test(at({x, y})))
                ++passing;
    return passing;
}

// Text pixels are counted in the window: the least shrinks with the picture.
bool Screen::showsScores() const
{
    const auto magenta = [](sf::Color c) { return c.r > 180 && c.g < 80 && c.b > 180; };
    const auto cyan = [](sf::Color c) { return c.r < 80 && c.g > 180 && c.b > 180; };
    const float least = leastTextPixels * _playfield.scale() * _playfield.scale();
    return count({50, 50, 100, 55}, magenta) > least && count({650, 50, 140, 55}, cyan) > least;
}

bool Screen::samePixels(const Screen& other) const
{
    const sf::Vector2u size = _shot.getSize();
    return size == other._shot.getSize() &&
           std::equal(_shot.getPixelsPtr(), _shot.getPixelsPtr() + 4 * size.x * size.y,
                      other._shot.getPixelsPtr());
}

// ---------------------------------------------------------------------------

std::optional<GameWindow> GameWindow::find(Seconds limit)
{
    return find(limit, std::nullopt);
}

// Wine, where no window manager frames the window, draws a frame of its own
// inside it: a title bar above the drawing area and borders as thick at the
// sides as at the bottom. SFML on X draws into the whole window.
std::optional<GameWindow> GameWindow::findFramed(Seconds limit, sf::Vector2i drawingArea)
{
    return find(limit, drawingArea);
}

std::optional<GameWindow> GameWindow::find(Seconds limit, std::optional<sf::Vector2i> drawingArea)
{
    std::string id;
    pollUntil(limit, [&id] {
        std::istringstream found(
            commandOutput("xdotool search --onlyvisible --name '^QUASARIL$' 2>/dev/null"));
        return static_cast<bool>(found >> id);
    });
    if (id.empty())
        return std::nullopt;
    std::istringstream geometry(
        commandOutput("xdotool getwindowgeometry --shell " + id + " 2>/dev/null"));
    std::map<std::string, int> values;
    for (std::string line; std::getline(geometry, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && line.rfind("WINDOW", 0) != 0)
            values[line.substr(0, equals)] = std::stoi(line.substr(equals + 1));
    }
    const sf::Vector2i origin(values["X"], values["Y"]);
    const sf::Vector2i whole(values["WIDTH"], values["HEIGHT"]);
    if (!drawingArea)
        return GameWindow(id, origin, whole, {0, 0});
    const int border = (whole.x - drawingArea->x) / 2;
    const sf::Vector2i inset(border, whole.y - drawingArea->y - border);
    return GameWindow(id, origin + inset, *drawingArea, inset);
}

Screen GameWindow::screen() const
{
    const std::string file =
        (fs::temp_directory_path() / ("quasaril-e2e-shot-" + std::to_string(getpid()) + ".png"))
            .string();
    // The window alone: a fraction of the time the whole screen takes on a
    // large one. Without a window manager it is drawn where it lies.
    sf::Image shot;
    if (run({"import", "-window", _id, "PNG24:" + file}).status == 0)
        shot.loadFromFile(file);
    std::remove(file.c_str());
    if (_inset == sf::Vector2i(0, 0))
        return Screen(shot, Playfield(_size));
    sf::Image drawn;
    drawn.create(static_cast<unsigned>(_size.x), static_cast<unsigned>(_size.y));
    drawn.copy(shot, 0, 0, sf::IntRect(_inset, _size));
    return Screen(drawn, Playfield(_size));
}

void GameWindow::pointAt(int x, int y, const std::string& then) const
{
    const sf::Vector2i pixel =
        Playfield(_size).pixelAt({static_cast<float>(x), static_cast<float>(y)}) + _inset;
    runCommand("xdotool mousemove --window " + _id + " " + std::to_string(pixel.x) + " " +
               std::to_string(pixel.y) + " " + then);
}

void GameWindow::click(int x, int y) const
{
    pointAt(x, y, "click 1");
}

void GameWindow::key(const std::string& name) const
{
    // The lower middle of the playfield is outside the menu's items.
    pointAt(400, 700, "key " + name);
}

void GameWindow::resize(sf::Vector2i size) const
{
    runCommand("xdotool windowsize --sync " + _id + " " + std::to_string(size.x) + " " +
               std::to_string(size.y));
}

std::string GameWindow::windowClass() const
{
    // xprop prints: WM_CLASS(STRING) = "instance", "class"
    const std::string line = commandOutput("xprop -id " + _id + " WM_CLASS 2>/dev/null");
    const std::size_t instance = line.find("= \"");
    const std::size_t between = line.find("\", \"", instance);
    if (instance == std::string::npos || between == std::string::npos)
        return std::string();
    const std::size_t start = between + std::strlen("\", \"");
    const std::size_t end = line.find('"', start);
    return end == std::string::npos ? std::string() : line.substr(start, end - start);
}

// ---------------------------------------------------------------------------

const sf::Image& picture(const std::string& name)
{
    static std::map<std::string, sf::Image> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end()) {
        found = loaded.emplace(name, sf::Image()).first;
        found->second.loadFromFile((fs::path(QUASARIL_RUN_DIR) / name).string());
    }
    return found->second;
}

bool showsScreen(const GameWindow& window, const char* name)
{
    return window.screen().shows(picture(name), 0, 0) >= wholePicture;
}

bool clickUntil(const GameWindow& window, sf::Vector2i at, const std::function<bool()>& done)
{
    return pollUntil(scaled(Seconds(20)), [&] {
        window.click(at.x, at.y);
        return pollUntil(scaled(Seconds(1)), done);
    });
}

std::vector<sf::Vector2i> fixedBrainSlots()
{
    const int rowY[] = {40, 160, 280};
    std::vector<sf::Vector2i> slots;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 7; ++column) {
            const bool moves = (row == 0 && column == 0) || (row == 1 && column == 4);
            if (!moves)
                slots.emplace_back(180 + 60 * column, rowY[row]);
        }
    return slots;
}

bool isNumber(const std::string& text)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

} // namespace e2e
