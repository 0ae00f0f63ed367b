#include "ChildProgram.h"

#include <utility>

#include "Files.h"

namespace fs = std::filesystem;

ChildProgram::~ChildProgram()
{
    stop();
}

ChildProgram::ChildProgram(ChildProgram&& other) noexcept
    : _process(std::exchange(other._process, -1)), _status(other._status)
{
}

ChildProgram& ChildProgram::operator=(ChildProgram&& other) noexcept
{
    stop();
    _process = std::exchange(other._process, -1);
    _status = other._status;
    return *this;
}

ProgramRun runProgram(ProgramStart start, Limit deadline)
{
    if (start.output.empty())
        start.output = capturedOutput;
    if (start.errors.empty())
        start.errors = capturedErrors;
    ChildProgram child(start);
    const std::optional<int> status = child.started() ? child.wait(deadline) : std::nullopt;
    const auto captured = [&](const fs::path& file) {
        return capturedText(file.is_absolute() ? file : start.directory / file);
    };
    return {status.value_or(-1), captured(start.output), captured(start.errors)};
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments, As as)
{
    ProgramStart start;
    start.command = {program};
    start.command.insert(start.command.end(), arguments.begin(), arguments.end());
    start.as = as;
    return runProgram(start);
}
