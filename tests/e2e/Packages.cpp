#include "Packages.h"

#include <cstdio>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace e2e {

Outcome run(const std::string& command)
{
    Outcome outcome{-1, ""};
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            outcome.output += buffer;
        const int status = pclose(pipe);
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return outcome;
}

std::string quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

fs::path onlyFileIn(const fs::path& directory, const std::string& extension)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(directory))
        if (entry.path().extension() == extension)
            found.push_back(entry.path());
    return found.size() == 1 ? found.front() : fs::path();
}

} // namespace e2e
