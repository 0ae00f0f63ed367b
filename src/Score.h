#pragma once

#include <string>

namespace sf {
class Font;
}

// The running score, the texts drawn over the playfield and the high-score
// file "HighScore.txt" in the working directory.
class Score {
public:
    Score();

    void DisplayScore(float GameScore);
    void GameOver();
    void win();
    void PowerUp(std::string power);
    float SaveScore(float GameScore);

    float GameScore;
};

// The game's font, read once and held for every text the game draws.
const sf::Font& gameFont();
