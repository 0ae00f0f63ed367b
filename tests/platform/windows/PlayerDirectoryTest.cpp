// The player's directory on Windows: in %LOCALAPPDATA% whatever letters the
// user's name has, with copies of the game's files kept fresh (or kept as
// they are while another game holds them), known by any drive letter, and a
// temporary directory where there is no usable %LOCALAPPDATA%.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <windows.h>

#include "GameFiles.h"
#include "platform/Messages.h"
#include "platform/PlayerDirectory.h"
#include "Score.h"
#include "TestSupport.h"
#include "Files.h"

namespace fs = std::filesystem;
namespace playerdir = platform::playerdir;

namespace {

const std::vector<std::string> twoFiles = {"brain.png", "Arial.ttf"};

// The game's files, "brain.png" holding `brain`.
fs::path gameFiles(const fs::path& root, const std::string& brain)
{
    const fs::path files = root / "files";
    fs::create_directories(files);
    writeFile(files / twoFiles[0], brain);
    writeFile(files / twoFiles[1], "font");
    return files;
}

void setLocalAppData(const wchar_t* value)
{
    SetEnvironmentVariableW(L"LOCALAPPDATA", value);
    _wputenv_s(L"LOCALAPPDATA", value ? value : L"");
}

// The same folder by another drive letter: Wine's Z: (the whole Unix tree),
// or on Windows a letter mapped to its parent as subst does.
fs::path byAnotherDrive(const fs::path& folder)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!unixName) {
        DefineDosDeviceW(0, L"Q:", folder.parent_path().c_str());
        return fs::path(L"Q:\\") / folder.filename();
    }
    std::wstring path = L"Z:" + fs::u8path(unixName(folder.c_str())).wstring();
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// The complaints as the game writes them, one line each.
std::string said(const playerdir::PlayDirectory& play)
{
    std::string lines;
    for (const platform::Failure& complaint : play.complaints())
        lines += "quasaril: " + complaint.what() + "\n";
    return lines;
}

} // namespace

// Two games: the second finds the score the first kept, and a picture that
// changed between them copied anew; %LOCALAPPDATA% may have the \\?\ prefix.
TEST(WindowsPlayerDirectory, IsInLocalAppDataWithFreshCopiesAndKeepsTheScore)
{
    const TemporaryDirectory root;
    const fs::path localAppData = root.path() / L"Zoë Ørsted" / L"AppData" / L"Local";
    fs::create_directories(localAppData);
    const fs::path before = fs::current_path();
    const struct {
        const char* brain;
        fs::path localAppData;
    } games[] = {{"first picture", localAppData},
                 {"second picture", L"\\\\?\\" + localAppData.wstring()}};
    for (const auto& game : games) {
        SCOPED_TRACE(game.brain);
        setLocalAppData(game.localAppData.c_str());
        const fs::path files = gameFiles(root.path(), game.brain);
        std::optional<playerdir::PlayDirectory> play(std::in_place, files, twoFiles);
        EXPECT_EQ(said(*play), "");
        EXPECT_FALSE(play->temporary());
        EXPECT_EQ(play->path(), game.localAppData / L"Quasaril");
        EXPECT_EQ(fs::current_path(), localAppData / L"Quasaril");
        EXPECT_EQ(readFile(twoFiles[0]), game.brain);
        EXPECT_EQ(readFile(twoFiles[1]), "font");
        if (readFile("HighScore.txt").empty())
            writeFile("HighScore.txt", "98700");
        play.reset();
        fs::current_path(before);
    }
    EXPECT_EQ(readFile(localAppData / L"Quasaril" / "HighScore.txt"), "98700");
}

// The check program refuses to run in the player's directory by any way to it.
TEST(WindowsPlayerDirectory, IsKnownByAnyDriveLetter)
{
    const TemporaryDirectory root;
    const fs::path player = root.path() / L"Quasaril";
    fs::create_directories(player / L"elsewhere");
    setLocalAppData(root.path().c_str());
    const struct {
        fs::path way;
        bool isPlayers;
    } ways[] = {{player, true}, {byAnotherDrive(player), true}, {player / L"elsewhere", false}};
    for (const auto& way : ways) {
        bool is = !way.isPlayers;
        EXPECT_FALSE(playerdir::isPlayersDirectory(way.way, is)) << way.way;
        EXPECT_EQ(is, way.isPlayers) << way.way;
    }
}

// A font another game holds open cannot be replaced: the game plays with
// the one there, keeping its score, and says why in words of the system's.
TEST(WindowsPlayerDirectory, AFileAnotherGameHoldsIsPlayedAsItIs)
{
    const TemporaryDirectory root;
    setLocalAppData(root.path().c_str());
    const fs::path player = root.path() / L"Quasaril";
    fs::create_directories(player);
    writeFile(player / twoFiles[1], "old font");
    const HANDLE held = CreateFileW((player / twoFiles[1]).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const fs::path before = fs::current_path();
    std::optional<playerdir::PlayDirectory> play(std::in_place, gameFiles(root.path(), "new"),
                                                 twoFiles);
    CloseHandle(held);
    const std::string line = said(*play);
    EXPECT_FALSE(play->temporary());
    EXPECT_EQ(play->path(), player);
    EXPECT_EQ(readFile(player / twoFiles[0]), "new");
    EXPECT_EQ(readFile(player / twoFiles[1]), "old font");
    EXPECT_NE(line.find("cannot replace " + (player / twoFiles[1]).u8string() +
                        ": Permission denied; playing with the game's files already in"),
              std::string::npos)
        << line;
    play.reset();
    fs::current_path(before);
}

// Where %LOCALAPPDATA% is no usable path the game plays from a temporary
// directory, which goes at the end even after its font was drawn with; those
// earlier games left go at the start, but for one a game still plays in.
TEST(WindowsPlayerDirectory, WithoutUsableLocalAppDataPlayIsInATemporaryDirectory)
{
    const TemporaryDirectory root;
    const fs::path files = gameFiles(root.path(), "picture");
    fs::copy_file(fs::path(runDirectory()) / gamefiles::font, files / gamefiles::font,
                  fs::copy_options::overwrite_existing);
    const fs::path stale = fs::temp_directory_path() / L"quasaril-stale1";
    const fs::path inUse = fs::temp_directory_path() / L"quasaril-inuse1";
    fs::create_directories(stale);
    writeFile(stale / L"HighScore.txt", "1");
    fs::create_directories(inUse);
    const fs::path before = fs::current_path();
    const struct {
        const wchar_t* localAppData;
        const char* why;
    } settings[] = {
        {nullptr, "LOCALAPPDATA is not an absolute path"},
        {L"\\\\nohost\\noshare\\AppData", "cannot use \\\\nohost\\noshare\\AppData\\Quasaril"}};
    for (const auto& setting : settings) {
        SCOPED_TRACE(setting.why);
        setLocalAppData(setting.localAppData);
        fs::current_path(inUse);
        std::optional<playerdir::PlayDirectory> play(std::in_place, files, twoFiles);
        const fs::path where = play->path();
        const std::string line = said(*play);
        EXPECT_TRUE(play->temporary());
        EXPECT_EQ(fs::current_path(), where);
        EXPECT_EQ(readFile(twoFiles[0]), "picture");
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        EXPECT_EQ(line.find(std::string("quasaril: ") + setting.why), 0u) << line;
        EXPECT_NE(line.find(where.u8string()), std::string::npos) << line;
        EXPECT_FALSE(fs::exists(stale));
        EXPECT_TRUE(fs::exists(inUse));
        openGameWindow();
        Score().DisplayScore(10);
        play.reset();
        fs::current_path(before);
        EXPECT_FALSE(fs::exists(where)) << "a temporary directory is removed after play";
    }
    fs::remove_all(inUse);
}

// On a drive with no room left (Wine shows /proc as one) the log goes to the
// temporary directory, where what the game says (a score it could not save)
// is still kept.
TEST(WindowsPlayerDirectory, OnAFullDriveTheLogIsKeptInTheTemporaryDirectory)
{
    const fs::path full = L"Z:\\proc";
    if (!fs::exists(full))
        GTEST_SKIP() << "no drive without room here";
    ASSERT_FALSE(platform::messages::keepIn(full));
    std::fputs("the high score cannot be kept\n", stderr);
    const std::string log = readFile(fs::temp_directory_path() / L"quasaril.log");
    EXPECT_EQ(log.find("quasaril: only 0 bytes are free for Z:\\proc, "), 0u) << log;
    EXPECT_NE(log.find("the high score cannot be kept"), std::string::npos) << log;
}
