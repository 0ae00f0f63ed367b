// What one play frame costs, how close a pass of the main loop in play comes
// to the cost of its drawing alone, and what a lost game changes. Ratios are
// measured within one run; no time is asserted.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "GameFiles.h"
#include "GameSound.h"
#include "platform/GameClock.h"
#include "TestSupport.h"

namespace {

constexpr long benchClock = 1000; // no brain fires yet
// Past fifteen seconds the columns may fire; the clock stays pinned, so the
// shots that have fired stand at their brains.
constexpr long fireClock = 20000;
constexpr int firingColumns[] = {0, 2, 4, 6};
constexpr int framesToFirstShot = 100000;

// The game's texts: sizes and places.
constexpr unsigned scoreTextSize = 20;
constexpr unsigned messageTextSize = 80;
const sf::Vector2f scorePosition(50.0f, 50.0f);
const sf::Vector2f highScorePosition(650.0f, 50.0f);
const sf::Vector2f powerUpPosition(300.0f, 400.0f);

// The game's files in a working directory of their own, the window open,
// the ship at its start and the sound on where a device opens, once for the
// whole run.
void preparePlay()
{
    static ScopedWorkDir workDir;
    static bool ready = false;
    if (ready)
        return;
    copyAllGameFiles();
    openGameWindow();
    placeShip();
    platform::testhooks::pinClock(benchClock);
    if (const platform::Failure silent = gamesound::enable())
        std::fprintf(stderr, "%s\n", silent.what().c_str());
    ready = true;
}

// One frame and its display.
void playOneFrame()
{
    Quasaril::playing(eventOfType(sf::Event::GainedFocus));
    Quasaril::_mainWindow.display();
}

// One pass of the main loop in play: GameLoop and the display Run adds.
void playOnePass()
{
    Quasaril::setState(Quasaril::Playing);
    Quasaril::GameLoop();
    Quasaril::_mainWindow.display();
}

template <typename Pass> double secondsOf(Pass pass)
{
    const auto start = std::chrono::steady_clock::now();
    pass();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double secondsFor(void (*prepare)(), int frames)
{
    double seconds = 0.0;
    for (int i = 0; i < frames; ++i) {
        prepare();
        seconds += secondsOf(playOneFrame);
    }
    return seconds;
}

void liveGame()
{
    game::_quasa.life = true;
}

// After a loss every test of the ship repeats the loss.
void lostGame()
{
    game::_quasa.life = false;
}

// No column has fired yet and the enemy shot has no picture.
void beforeEnemyFire()
{
    platform::testhooks::pinClock(benchClock);
    Quasaril::_brain_projectile._isLoaded = false;
    for (float& fired : game::bulletTimeCreated)
        fired = 0.0f;
}

// Plays until a column has fired and the enemy shot has its picture.
void withEnemyShot()
{
    platform::testhooks::pinClock(fireClock);
    for (int i = 0; i < framesToFirstShot && !Quasaril::_brain_projectile._isLoaded; ++i) {
        liveGame();
        playOneFrame();
    }
    liveGame();
}

std::string formatted(float value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// What a pass in play draws, in the same order, from pictures and a font the
// floor holds itself, with the same three displays and no file read: the
// least a pass can cost. The sprites stand where the last pass left them.
class RenderFloor {
public:
    RenderFloor() { _font.loadFromFile(gamefiles::font); }

    // Takes this frame's draws from the state the last pass left.
    void record()
    {
        _sprites.clear();
        addSprite(Quasaril::_player1);
        addRow(game::_brain1, game::_quasa.hit1);
        addShots(game::_brain1);
        addRow(game::_brain2, game::_quasa.hit2);
        for (int i = 0; i < game::cadets; ++i) {
            addBrain(game::_brain3[i], game::_quasa.hit3[i]);
            addShots(game::_brain3);
        }
        addRow(game::_brain4, game::_quasa.hit4);
        addRow(game::_brain5, game::_quasa.hit5);
        addPowerUp();
        recordTexts();
    }

    void pass()
    {
        sf::RenderWindow& window = Quasaril::_mainWindow;
        window.display();
        window.clear(sf::Color::Black);
        for (const sf::Sprite& sprite : _sprites)
            window.draw(sprite);
        for (const sf::Text& text : _texts)
            window.draw(text);
        window.display();
        window.display();
    }

private:
    void addSprite(const VisibleGameObject& object)
    {
        if (!object._isLoaded)
            return;
        sf::Sprite sprite = object._sprite;
        sprite.setTexture(picture(object._filename));
        _sprites.push_back(sprite);
    }

    // Each picture is read once, when a pass first shows it.
    const sf::Texture& picture(const std::string& file)
    {
        const auto found = _pictures.find(file);
        if (found != _pictures.end())
            return found->second;
        sf::Texture& fresh = _pictures[file];
        fresh.loadFromFile(file);
        return fresh;
    }

    void addBrain(const Brain& brain, bool dead)
    {
        if (!dead)
            addSprite(brain);
    }

    void addRow(const Brain* row, const bool* dead)
    {
        for (int i = 0; i < game::cadets; ++i)
            addBrain(row[i], dead[i]);
    }

    // The one enemy shot, drawn below each firing column's brain.
    void addShots(Brain* row)
    {
        BrainProjectile shot = Quasaril::_brain_projectile;
        for (const int column : firingColumns) {
            float x = 0.0f, y = 0.0f;
            row[column].getPosition(x, y);
            const float fell = shot.Timer(game::bulletTimeCreated[column]);
            shot.brainUpdate(fell, static_cast<int>(x), static_cast<int>(y), false);
            addSprite(shot);
        }
    }

    void addPowerUp()
    {
        if (!game::power)
            return;
        sf::Sprite powerUp(picture(gamefiles::powerUp));
        powerUp.setPosition(static_cast<float>(game::z), static_cast<float>(game::z + 1));
        _sprites.push_back(powerUp);
    }

    // The score, the high score and the (empty) power-up name.
    void recordTexts()
    {
        const float score = Quasaril::_score.GameScore;
        _texts.clear();
        addText("Score: \n" + formatted(score), scoreTextSize, sf::Color::Magenta, scorePosition);
        addText("High Score: \n" + formatted(Quasaril::_score.SaveScore(score)), scoreTextSize,
                sf::Color::Cyan, highScorePosition);
        addText("", messageTextSize, sf::Color::Green, powerUpPosition);
    }

    void addText(const std::string& string, unsigned size, sf::Color colour, sf::Vector2f at)
    {
        sf::Text text(string, _font, size);
        text.setStyle(sf::Text::Bold);
        text.setFillColor(colour);
        text.setPosition(at);
        _texts.push_back(text);
    }

    sf::Font _font;
    std::map<std::string, sf::Texture> _pictures;
    std::vector<sf::Sprite> _sprites;
    std::vector<sf::Text> _texts;
};

void BM_PlayFrame(benchmark::State& state)
{
    preparePlay();
    liveGame();
    for (auto _ : state)
        playOneFrame();
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond);

// Frames of each kind in turn, so both sides of a ratio share the machine's
// moment.
void BM_FrameCostRatios(benchmark::State& state)
{
    constexpr int framesPerKind = 5;
    preparePlay();
    double live = 0.0, lost = 0.0;
    for (auto _ : state) {
        live += secondsFor(liveGame, framesPerKind);
        lost += secondsFor(lostGame, framesPerKind);
    }
    liveGame();
    state.counters["lost_over_live"] = lost / live;
}
BENCHMARK(BM_FrameCostRatios)->Unit(benchmark::kMillisecond);

// A pass in play against its render floor, one of each in turn, the
// player's shot sounding all along. Argument 0: before any enemy fire; 1:
// with the enemy shot loaded, drawn 32 times a frame.
void BM_PassOverRenderFloor(benchmark::State& state)
{
    constexpr int pairsPerIteration = 5;
    preparePlay();
    liveGame();
    placeShip(); // the ship of a lost game shows the explosion
    if (state.range(0) == 0)
        beforeEnemyFire();
    else
        withEnemyShot();
    static RenderFloor floor;
    double play = 0.0, least = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < pairsPerIteration; ++i) {
            gamesound::play(gamesound::Effect::shot);
            play += secondsOf(playOnePass);
            liveGame();
            floor.record();
            least += secondsOf([] { floor.pass(); });
        }
    }
    state.counters["pass_over_floor"] = play / least;
    const double passes = static_cast<double>(state.iterations()) * pairsPerIteration;
    state.counters["pass_ms"] = 1000.0 * play / passes;
    state.counters["floor_ms"] = 1000.0 * least / passes;
}
BENCHMARK(BM_PassOverRenderFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
