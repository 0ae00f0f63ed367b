#include "Commands.h"

#include <sys/stat.h>

#include "ChildProgram.h"
#include "Files.h"

namespace e2e {

Outcome run(const std::vector<std::string>& arguments, const Setting& setting)
{
    const TemporaryDirectory capture;
    ProgramStart start;
    start.command = arguments;
    start.directory = setting.directory;
    for (const auto& [name, value] : setting.environment)
        start.environment.push_back(name + "=" + value);
    start.output = start.errors = capture.path() / "output.txt";
    if (setting.umask)
        start.prepare = [mask = *setting.umask] { umask(mask); };
    const ProgramRun ran = runProgram(start);
    return {ran.exitCode < shellSignalBase ? ran.exitCode : -1, ran.out};
}

} // namespace e2e
