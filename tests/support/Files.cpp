#include "Files.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

std::string readFile(const std::filesystem::path& path)
{
    // Inserting the buffer catches a read error, which a stream's own
    // reading would throw: the text stops where reading did.
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Made by this call alone: create_directory says false for one that exists.
fs::path makeTemporaryDirectory()
{
    constexpr int attempts = 100;
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path parent = fs::temp_directory_path();
    std::error_code error;
    for (int attempt = 0; attempt < attempts && !error; ++attempt) {
        const fs::path path = parent / ("quasaril-test-" + std::to_string(random()));
        if (fs::create_directory(path, error)) {
            fs::permissions(path, fs::perms::owner_all);
            return path;
        }
    }
    throw std::runtime_error("cannot create a temporary directory in " + parent.string() + ": " +
                             (error ? error.message() : "every name tried was taken"));
}

TemporaryDirectory::~TemporaryDirectory()
{
    // Give the tree back to its owner first, never through a link (it may
    // point out of the tree, at a device).
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(_path, ignored))
        if (!entry.is_symlink(ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(_path, ignored);
}
