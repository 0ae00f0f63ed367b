#include "ConsoleTranscripts.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "TestSupport.h"

namespace {

const std::string consoleProgram = QUASARIL_CONSOLE;
const std::string transcriptDirectory = QUASARIL_TRANSCRIPTS;

Lines splitLines(const std::string& text)
{
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The line without Google Test's closing " (12 ms)" or " (12 ms total)".
std::string withoutTiming(const std::string& line)
{
    const std::size_t open = line.rfind(" (");
    if (open == std::string::npos)
        return line;
    const std::size_t digits = line.find_first_not_of("0123456789", open + 2);
    if (digits == open + 2 || digits == std::string::npos)
        return line;
    const std::string unit = line.substr(digits);
    return unit == " ms)" || unit == " ms total)" ? line.substr(0, open) : line;
}

} // namespace

namespace {

const char* const playersCopy = "quasaril-check";

// The check program where the given user can run it. The player gets a copy
// in the working directory, run through a path relative to it: the build
// tree, or the temporary directory, may lie in a directory only root can
// enter (root's own home, say).
std::string programFor(As as)
{
    if (as == As::tester)
        return consoleProgram;
    std::filesystem::copy_file(consoleProgram, playersCopy,
                               std::filesystem::copy_options::overwrite_existing);
    return std::string("./") + playersCopy;
}

} // namespace

ConsoleRun runConsole(const Lines& flags, As as)
{
    const ProgramRun program = runProgram(programFor(as), flags, as);
    ConsoleRun run{program.exitCode, {}, program.err};
    std::cerr << run.errors;
    for (const auto& line : splitLines(program.out))
        run.lines.push_back(withoutTiming(line));
    return run;
}

Lines transcript(const std::string& name)
{
    const Lines lines = splitLines(readFile(transcriptDirectory + "/" + name));
    if (lines.empty())
        throw std::runtime_error("missing transcript " + name);
    return lines;
}

namespace {

std::vector<Lines> blocksOf(const Lines& lines)
{
    std::vector<Lines> blocks(1);
    for (const auto& line : lines) {
        if (line.empty())
            blocks.emplace_back();
        else
            blocks.back().push_back(line);
    }
    blocks.erase(std::remove_if(blocks.begin(), blocks.end(),
                                [](const Lines& block) { return block.empty(); }),
                 blocks.end());
    return blocks;
}

} // namespace

::testing::AssertionResult followsTranscript(const ConsoleRun& run, const std::string& name)
{
    auto from = run.lines.begin();
    for (const auto& block : blocksOf(transcript(name))) {
        const auto found = std::search(from, run.lines.end(), block.begin(), block.end());
        if (found == run.lines.end())
            return ::testing::AssertionFailure()
                   << "not in the output after the blocks before it (" << name << "):\n"
                   << joined(block) << "--- output of quasaril-check ---\n"
                   << joined(run.lines);
        from = found + static_cast<std::ptrdiff_t>(block.size());
    }
    return ::testing::AssertionSuccess();
}

int occurrences(const std::string& text, const std::string& word)
{
    int count = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

std::string joined(const Lines& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}
