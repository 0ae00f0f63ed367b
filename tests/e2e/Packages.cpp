#include "Packages.h"

#include <vector>

namespace fs = std::filesystem;

namespace e2e {

fs::path onlyFileIn(const fs::path& directory, const std::string& extension)
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(directory))
        if (entry.path().extension() == extension)
            found.push_back(entry.path());
    return found.size() == 1 ? found.front() : fs::path();
}

} // namespace e2e
