#include "Score.h"

#include <SFML/Graphics.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
#include <optional>
#include <sstream>

#include "GameFiles.h"
#include "platform/ErrorFilter.h"
#include "platform/HighScoreFile.h"
#include "Quasaril.h"

namespace {

using platform::files::highScoreFile;

constexpr unsigned scoreTextSize = 20;
constexpr unsigned messageTextSize = 80;
const sf::Vector2f scorePosition(50.0f, 50.0f);
const sf::Vector2f highScorePosition(650.0f, 50.0f);
const sf::Vector2f gameOverPosition(200.0f, 300.0f);
const sf::Vector2f winPosition(180.0f, 300.0f);
const sf::Vector2f powerUpPosition(300.0f, 400.0f);
// Room for any float in plain digits: a sign, 39 digits for the largest, or
// "0." and 45 digits for the smallest.
constexpr std::size_t longestFileNumber = 64;

// A number as the screen shows it: plain digits for whole scores below a
// million (1234567 shows as 1.23457e+06), whatever the global locale.
std::string formatNumber(float value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// The score as the file keeps it: the shortest plain digits that read back
// as the same float, never an exponent (16777216, not 1.67772e+07).
std::string fileNumber(float value)
{
    char digits[longestFileNumber];
    const std::to_chars_result end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
    return std::string(digits, end.ptr);
}

// A file saved by a Windows editor may begin with a byte-order mark: UTF-8's,
// or UTF-16's, little-endian, where every character takes two bytes. The
// text as one byte a character, without the mark; a character beyond the
// first 256 ends a number there.
std::string withoutByteOrderMark(const std::string& text)
{
    static const std::string utf8Mark = "\xef\xbb\xbf";
    static const std::string utf16Mark = "\xff\xfe";
    constexpr char notInANumber = '?';
    if (text.compare(0, utf8Mark.size(), utf8Mark) == 0)
        return text.substr(utf8Mark.size());
    if (text.compare(0, utf16Mark.size(), utf16Mark) != 0)
        return text;
    std::string narrow;
    for (std::size_t at = utf16Mark.size(); at + 1 < text.size(); at += 2)
        narrow += text[at + 1] == '\0' ? text[at] : notInANumber;
    return narrow;
}

// The stored best score; nothing when the text does not start with a finite
// number, or when its number runs on to where a longer file was cut (the
// rest of it is unread).
std::optional<float> parseHighScore(const platform::files::Contents& onFile)
{
    std::istringstream in(withoutByteOrderMark(onFile.text));
    in.imbue(std::locale::classic());
    float stored = 0.0f;
    if (!(in >> stored) || !std::isfinite(stored) || (onFile.cut && in.eof()))
        return std::nullopt;
    return stored;
}

// Writes the high score, and says on standard error, once, when it cannot:
// not again until a save has succeeded. A failed save is not tried again
// for the same score, or a full disk would be tried (and told) in every
// frame.
class Saves {
public:
    void save(const std::string& text)
    {
        if (text == _failed)
            return;
        const platform::Failure why = platform::files::replaceWhole(highScoreFile, text);
        _failed = why ? text : std::string();
        _told = _told && why;
        tell(why);
    }

    void tell(const platform::Failure& why)
    {
        if (_told || !why)
            return;
        _told = true;
        std::error_code unknown;
        const std::string file = std::filesystem::absolute(highScoreFile, unknown).string();
        std::fprintf(stderr, "the high score cannot be kept in %s (%s)\n",
                     unknown ? highScoreFile : file.c_str(), why.what().c_str());
    }

private:
    std::string _failed; // the text whose save failed last
    bool _told = false;
};

Saves& saves()
{
    static Saves* const saves = new Saves; // lives until the process ends
    return *saves;
}

// The font reads its glyphs from its file for as long as it lives: read
// whole into memory, it leaves no file open, which Windows would not let
// another game replace, nor the temporary play directory go at the end.
// Where the file cannot be read, SFML tries it and says why.
bool readFont(sf::Font& font, bool quietly)
{
    static std::string* const bytes = new std::string; // lives as long as the font
    std::ifstream file(gamefiles::font, std::ios::binary);
    *bytes = std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file && !bytes->empty()) {
        const platform::errorstream::SfmlSilence silence;
        if (font.loadFromMemory(bytes->data(), bytes->size()))
            return true;
    }
    if (!quietly)
        return font.loadFromFile(gamefiles::font);
    const platform::errorstream::SfmlSilence silence;
    return font.loadFromFile(gamefiles::font);
}

// The font is read once and held: every frame writes several texts, and a
// fresh font would read the file and rasterise its glyphs for each of them.
// While the file is missing the texts have no glyphs, the game goes on, and
// every call tries the file again; only the first failure is told.
const sf::Font& loadFont()
{
    static sf::Font* const font = new sf::Font; // lives until the process ends
    static bool loaded = false;
    static bool tried = false;
    if (!loaded) {
        loaded = readFont(*font, tried);
        tried = true;
    }
    return *font;
}

// The texts on screen, one of each kind.
enum Line { scoreLine, highScoreLine, gameOverLine, winLine, powerUpLine, lineCount };

struct HeldText {
    sf::Text text; // without a font until first drawn
    std::string words;
};

// Draws at once into the game window; the text shows in this frame only.
// Each kind of text is built once and kept, like the font, and laid out
// again only when its words change, not in every frame.
void drawText(Line line, const std::string& words, unsigned size, sf::Color colour,
              sf::Vector2f position)
{
    static HeldText* const texts = new HeldText[lineCount]; // live until the process ends
    HeldText& held = texts[line];
    const sf::Font& font = loadFont();
    if (held.text.getFont() == nullptr) {
        held.text.setFont(font);
        held.text.setCharacterSize(size);
        held.text.setStyle(sf::Text::Bold);
        held.text.setFillColor(colour);
        held.text.setPosition(position);
    }
    if (held.words != words) {
        held.words = words;
        held.text.setString(words);
    }
    Quasaril::_mainWindow.draw(held.text);
}

} // namespace

const sf::Font& gameFont()
{
    return loadFont();
}

Score::Score() : GameScore(0.0f) {}

// Called in every frame: it also keeps the high-score file.
// Deliberate: see docs/game.md, "The high score every frame".
void Score::DisplayScore(float GameScore)
{
    const std::string score = formatNumber(GameScore);
    drawText(scoreLine, "Score: \n" + score, scoreTextSize, sf::Color::Magenta, scorePosition);
    const std::string highScore = formatNumber(SaveScore(GameScore));
    drawText(highScoreLine, "High Score: \n" + highScore, scoreTextSize, sf::Color::Cyan,
             highScorePosition);
}

void Score::GameOver()
{
    drawText(gameOverLine, "Game Over", messageTextSize, sf::Color::Red, gameOverPosition);
}

void Score::win()
{
    drawText(winLine, "You Win!!!", messageTextSize, sf::Color::Yellow, winPosition);
}

void Score::PowerUp(std::string power)
{
    drawText(powerUpLine, power, messageTextSize, sf::Color::Green, powerUpPosition);
}

// The better of the stored best and this game's score. A stored score the
// game does not beat is left as it stands, byte for byte; otherwise the
// game's score is written. A name that is not a readable regular file (a
// directory, a named pipe, another user's link) is left alone, and the
// game's score is the best.
float Score::SaveScore(float GameScore)
{
    namespace files = platform::files;
    files::Contents onFile;
    if (const platform::Failure untouched = files::readStart(highScoreFile, onFile)) {
        saves().tell(untouched);
        return GameScore;
    }
    const std::optional<float> stored = parseHighScore(onFile);
    if (stored && !(GameScore > *stored))
        return *stored;
    saves().save(fileNumber(GameScore));
    return GameScore;
}
