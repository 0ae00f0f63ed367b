#include "Score.h"

#include <SFML/Graphics.hpp>
#include <cmath>
#include <locale>
#include <optional>
#include <sstream>

#include "Platform.h"
#include "Quasaril.h"

namespace {

const char* const highScoreFile = "HighScore.txt";
const char* const fontFile = "Arial.ttf";

constexpr unsigned scoreTextSize = 20;
constexpr unsigned messageTextSize = 80;
const sf::Vector2f scorePosition(50.0f, 50.0f);
const sf::Vector2f highScorePosition(650.0f, 50.0f);
const sf::Vector2f gameOverPosition(200.0f, 300.0f);
const sf::Vector2f winPosition(180.0f, 300.0f);
const sf::Vector2f powerUpPosition(300.0f, 400.0f);

// Plain digits for whole scores below a million, whatever the global locale.
std::string formatNumber(float value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// The stored best score; nothing when the text does not start with a finite
// number.
std::optional<float> parseHighScore(const std::string& text)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    float stored = 0.0f;
    if (!(in >> stored) || !std::isfinite(stored))
        return std::nullopt;
    return stored;
}

// Draws at once into the game window; the text shows in this frame only.
void drawText(const sf::Font& font, const sf::String& text, unsigned size, sf::Color colour,
              sf::Vector2f position)
{
    sf::Text drawn(text, font, size);
    drawn.setStyle(sf::Text::Bold);
    drawn.setFillColor(colour);
    drawn.setPosition(position);
    Quasaril::_mainWindow.draw(drawn);
}

// The font is read once and held: every frame writes several texts, and a
// fresh font would read the file and rasterise its glyphs for each of them.
// While the file is missing the texts have no glyphs, the game goes on, and
// every call tries the file again.
const sf::Font& loadFont()
{
    static sf::Font* const font = new sf::Font; // lives until the process ends
    static bool loaded = false;
    if (!loaded)
        loaded = font->loadFromFile(fontFile);
    return *font;
}

} // namespace

Score::Score() : GameScore(0.0f) {}

void Score::DisplayScore(float GameScore)
{
    const std::string score = formatNumber(GameScore);
    const sf::Font& font = loadFont();
    drawText(font, "Score: \n" + score, scoreTextSize, sf::Color::Magenta, scorePosition);
    const std::string highScore = formatNumber(SaveScore(GameScore));
    drawText(font, "High Score: \n" + highScore, scoreTextSize, sf::Color::Cyan,
             highScorePosition);
}

void Score::GameOver()
{
    drawText(loadFont(), "Game Over", messageTextSize, sf::Color::Red, gameOverPosition);
}

void Score::win()
{
    drawText(loadFont(), "You Win!!!", messageTextSize, sf::Color::Yellow, winPosition);
}

void Score::PowerUp(std::string power)
{
    drawText(loadFont(), power, messageTextSize, sf::Color::Green, powerUpPosition);
}

// The better of the stored best and this game's score, written back. A name
// that is not a readable regular file (a directory, a named pipe) is left
// alone, and the game's score is the best.
float Score::SaveScore(float GameScore)
{
    namespace files = platform::files;
    const files::Contents onFile = files::readWhole(highScoreFile);
    if (onFile.kind == files::Kind::untouched)
        return GameScore;
    const std::optional<float> stored = parseHighScore(onFile.text);
    const float highScore = stored && !(GameScore > *stored) ? *stored : GameScore;
    const std::string text = formatNumber(highScore);
    if (text != onFile.text) // most frames change nothing: no write then
        files::replaceWhole(highScoreFile, text);
    return highScore;
}
