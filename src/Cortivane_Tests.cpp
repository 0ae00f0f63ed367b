// The game's own check cases, run by the console program. They build the
// game's objects directly and assert on what the operations give back. The
// operations of Quasaril and PowerUp are static and work on state shared by
// the whole process, which no case resets, so some outcomes rest on the cases
// that ran before. A case that names an operation only shows that the game
// offers it. Failure reports quote lines by number: the layout stays put.

#include <SFML/Graphics.hpp>
#include <gtest/gtest.h>

#include <string>

#include "platform/HighScoreFile.h" // the score cases' stream on the high-score file
#include "PowerUp.h"
#include "Quasaril.h"
// clang-format off
constexpr int brainsInRow = 7; // Crash walks a whole row

TEST(Quasaril, testGameOpperation) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.Run);
}

TEST(Quasaril, testingDefualtSettingOfGameSpace) {
    Quasaril test_object;
    std::string state = test_object.getState();

    EXPECT_TRUE(state == "Uninitialized");
}

TEST(Quasaril, testingState_Exiting) {
    Quasaril test_object;
    test_object.setState(Quasaril::Exiting);

    EXPECT_TRUE(test_object.IsExiting());
}

TEST(Quasaril, testingState_ShowSplashANDnotExiting) {
    Quasaril test_object;
    test_object.setState(Quasaril::ShowingSplash);

    EXPECT_TRUE(test_object.ShowSplashScreen);
    EXPECT_FALSE(test_object.IsExiting());
}

TEST(Quasaril, testingThatProgramDoesntExitWhenState_Paused) {
    Quasaril test_object;
    test_object.setState(Quasaril::Paused);

    EXPECT_FALSE(test_object.IsExiting());
}

TEST(Quasaril, testingState_Uninitialized) {
    Quasaril test_object;
    test_object.setState(Quasaril::Uninitialized);

    EXPECT_FALSE(test_object.IsExiting());
}

TEST(Quasaril, testingState_ShowingMenuANDnotExiting) {
    Quasaril test_object;
    test_object.setState(Quasaril::ShowingMenu);

    EXPECT_TRUE(test_object.ShowMenu);
    EXPECT_FALSE(test_object.IsExiting());
}

TEST(Quasaril, testingState_PlayingANDnotExiting) {
    Quasaril test_object;
    test_object.setState(Quasaril::ShowingMenu); // the menu, not Playing: neither exits

    EXPECT_FALSE(test_object.IsExiting());
}

TEST(Quasaril, testLoop) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.GameLoop);
}

// Like the game loop, the menu waits for input in an open window: only named.
TEST(Quasaril, testMenu) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.ShowMenu);
}

TEST(Quasaril, testing_setting_and_getting_positions) {
    int x = 355;
    int y = 600;
    SpaceShip ship;
    Quasaril _quasa;

    // A plain sprite hands back exactly the position it was given.
    sf::Sprite spr;
    spr.setPosition(355.0f, 600.0f);
    float expected_x = spr.getPosition().x;
    float expected_y = spr.getPosition().y;

    EXPECT_TRUE(x==expected_x);
    EXPECT_TRUE(y==expected_y);
}

// The army's operations draw into the open game window: only named.
TEST(Quasaril, test_BrainArmy_opperation) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.BrainArmy);
}

TEST(Quasaril, test_BrainFire_opperation) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.BrainFire);
}

TEST(Quasaril, test_BrainMovement_opperation) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.BrainMovement);
}

TEST(Quasaril, test_Crash_opperation) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.Crash);
}

TEST(Quasaril, test_GameScore_before_playing) {
    Quasaril test_object;

    EXPECT_TRUE(test_object.GameScore == 0);
}

TEST(PowerUp, testing_Placement) {
    PowerUp test_object;

    EXPECT_TRUE(test_object.Placement);
}

TEST(PowerUp, testing_Select) {
    PowerUp test_object;

    EXPECT_TRUE(test_object.Select);
}

TEST(PowerUp, testing_WrapAround) {
    PowerUp test_object;

    EXPECT_TRUE(test_object.WrapAround);
}

TEST(PowerUp, testing_Shield) {
    PowerUp test_object;

    EXPECT_TRUE(test_object.Shield);
}

TEST(SpaceShip, testing_default_wrapAround) {
    SpaceShip test_object;
    PowerUp object;

    EXPECT_FALSE(object.getWrapAround());
}

TEST(PowerUp, testing_default_getShield) {
    SpaceShip test_object;
    PowerUp object;

    EXPECT_FALSE(object.getShield());
}

TEST(PowerUp_Quasaril, testing_default_getVirus) {
    SpaceShip test_object;
    PowerUp object;

    EXPECT_FALSE(object.getVirus());
}

TEST(PowerUp, testing_default_getTorpedo) {
    SpaceShip test_object;
    PowerUp object;

    EXPECT_FALSE(object.getTorpedo());
}

TEST(PowerUp, testing_powerup) {
    std::string power;
    PowerUp object;
    object.Select(power);

    EXPECT_TRUE(power == "Virus" || power == "Shock Therapy" || power == "Wrap Around" || power == "Shield" || power == "Bolt");
}

TEST(Brain, testing_Shoot) {
    Brain test_object;

    EXPECT_TRUE(test_object.Shoot());
}

TEST(Score, testing_High_Score_with_higher_game_score) {
    Score _score;
    float GameScore = 400;
    float HighScore = 300;

    std::ofstream highScore = platform::files::openTruncated("HighScore.txt");
    highScore << HighScore;
    highScore.close();
    HighScore = _score.SaveScore(GameScore);

    EXPECT_TRUE(HighScore == 400);
}

TEST(Score, testing_High_Score_with_lower_game_score) {
    Score _score;
    float GameScore = 400;
    float HighScore = 500;

    std::ofstream highScore = platform::files::openTruncated("HighScore.txt");
    highScore << HighScore;
    highScore.close();
    HighScore = _score.SaveScore(GameScore);

    EXPECT_TRUE(HighScore == 500);
}

TEST(Quasaril, testing_for_game_win_with_all_brains_alive) {
    Quasaril _quasa;
    _quasa.hit1[brainsInRow - 1] = false;
    _quasa.hit2[brainsInRow - 1] = false;
    _quasa.hit3[brainsInRow - 1] = false;
    _quasa.hit4[brainsInRow - 1] = false;
    _quasa.hit5[brainsInRow - 1] = false;
    _quasa.endGameCheck();

    EXPECT_TRUE(_quasa.getKillCount()<34);
}

TEST(Quasaril, testing_for_game_win_with_brains_alive) {
    Quasaril _quasa;
    _quasa.killCount = 25;
    _quasa.hit1[brainsInRow - 1] = true;
    _quasa.hit2[brainsInRow - 1] = true;
    _quasa.hit3[brainsInRow - 1] = true;
    _quasa.hit4[brainsInRow - 1] = true;
    _quasa.hit5[brainsInRow - 1] = false;
    _quasa.endGameCheck();

    EXPECT_FALSE(_quasa.getWin());
}

TEST(VisibleGameObject, testing_collisions_between_ship_and_brain_projectile) {
    float leftBoundry = 90;
    float rightBoundry = 110;
    float bottomBoundry = 90;
    float topBoundry = 110;
    bool hit = false;
    bool alive = false;
    float GameScore = 0;
    BrainProjectile _projectile;
    SpaceShip _player1;
    _player1.setPosition(100, 100);
    _projectile.setBoundry(leftBoundry, rightBoundry, topBoundry, bottomBoundry, false);
    EXPECT_FALSE(_player1.collisionCheck(leftBoundry,rightBoundry,topBoundry,bottomBoundry,hit,alive,GameScore));
}

TEST(VisibleGameObject, testing_collisions_between_ship_and_brain) {
    float leftBoundry = 0;
    float rightBoundry = 0;
    float bottomBoundry = 0;
    float topBoundry = 0;
    bool hit = false;
    bool alive = false;
    float GameScore = 0;
    Brain _brain;
    SpaceShip _player1;
    _player1.setPosition(100, 100);
    _brain.setPosition(100, 100);
    _player1.setShipBoundry(leftBoundry, rightBoundry, topBoundry, bottomBoundry, false);
    EXPECT_FALSE(_brain.collisionCheck(leftBoundry,rightBoundry,topBoundry,bottomBoundry,hit,alive,GameScore));
}

TEST(VisibleGameObject, testing_collisions_between_ship_projectile_and_brain) {
    float leftBoundry = 0;
    float rightBoundry = 0;
    float bottomBoundry = 0;
    float topBoundry = 0;
    bool hit = false;
    bool alive = false;
    float GameScore = 0;
    Brain _brain;
    Projectile _projectile;
    _projectile.setPosition(100, 100);
    _brain.setPosition(100, 100);
    _projectile.setBoundry(leftBoundry, rightBoundry, topBoundry, bottomBoundry, false);

    EXPECT_FALSE(_brain.collisionCheck(leftBoundry,rightBoundry,topBoundry,bottomBoundry,hit,alive,GameScore));
}

TEST(VisibleGameObject, testing_for_game_over_while_alive) {
    Brain* _brain = new Brain[brainsInRow];
    Quasaril _quasa;
    SpaceShip _player1;
    _brain->setPosition(90, 90);
    _player1.setPosition(100, 100);
    _quasa.Crash(_brain);

    EXPECT_TRUE(_quasa.life);
    delete[] _brain;
}
