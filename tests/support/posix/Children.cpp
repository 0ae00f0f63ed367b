#include "Children.h"

#include <cstdlib>
#include <dirent.h>
#include <sstream>

#include "Files.h"

std::vector<pid_t> childrenNamed(pid_t parent, const std::string& name)
{
    std::vector<pid_t> children;
    DIR* processes = opendir("/proc");
    while (dirent* entry = processes ? readdir(processes) : nullptr) {
        const pid_t pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        // "pid (name) state ppid ...": the names looked for hold no space
        std::istringstream stat(readFile("/proc/" + std::to_string(pid) + "/stat"));
        std::string skip, named, state;
        pid_t ppid = 0;
        if (stat >> skip >> named >> state >> ppid && (name.empty() || named == "(" + name + ")") &&
            ppid == parent)
            children.push_back(pid);
    }
    if (processes)
        closedir(processes);
    return children;
}
