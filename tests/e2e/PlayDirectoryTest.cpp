// The temporary play directory, as the game uses it when the player's
// directory cannot be made, goes however the game ends: on a stop signal,
// which ends it as its window's closing does, and when its X server goes.

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "Desktop.h"

using namespace e2e;

namespace {

constexpr int closedStatus = 0;

class PlayDirectoryEndToEnd : public ::testing::Test {
protected:
    // Starts the game, which cannot make the player's directory, and waits
    // for its window; it then plays from a directory in its TMPDIR.
    void SetUp() override
    {
        ASSERT_TRUE(_display.ready()) << "no virtual X server";
        _game.emplace(GameRun::WithoutPlayersDirectory);
        ASSERT_TRUE(GameWindow::find(scaled(Seconds(10)))) << "the game window did not appear";
        ASSERT_EQ(_game->temporaryContents().size(), 1u) << "no temporary play directory";
    }

    GameRun& game() { return *_game; }
    void loseDisplay() { _display.shutDown(); }

private:
    VirtualDisplay _display;
    std::optional<GameRun> _game;
};

class PlayDirectoryStopEndToEnd : public PlayDirectoryEndToEnd,
                                  public ::testing::WithParamInterface<int> {};

} // namespace

TEST_P(PlayDirectoryStopEndToEnd, AStopSignalEndsTheGameAsItsClosingAndTheDirectoryGoes)
{
    game().signal(GetParam());
    EXPECT_EQ(game().waitForExit(scaled(Seconds(2))), closedStatus);
    EXPECT_EQ(game().temporaryContents(), std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Signals, PlayDirectoryStopEndToEnd,
                         ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(sigabbrev_np(info.param));
                         });

TEST_F(PlayDirectoryEndToEnd, WithItsXServerGoneTheGameEndsAndTheDirectoryGoes)
{
    loseDisplay();
    EXPECT_TRUE(game().waitForExit(scaled(Seconds(2)))) << "still running";
    EXPECT_EQ(game().temporaryContents(), std::vector<std::string>());
}
