#include "Files.h"

#include <fstream>
#include <sstream>

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
