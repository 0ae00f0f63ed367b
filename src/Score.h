#pragma once

#include <string>

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
