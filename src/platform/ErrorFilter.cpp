#include "platform/ErrorFilter.h"

#include <SFML/System/Err.hpp>

#include "platform/GameClock.h"

namespace platform {
namespace errorstream {

RepeatFilter::RepeatFilter(std::ostream& stream) : _stream(stream), _out(stream.rdbuf())
{
    _stream.rdbuf(this);
}

RepeatFilter::~RepeatFilter()
{
    if (!_line.empty())
        lineEnded();
    const long now = gameClock();
    for (auto& [line, seen] : _seen)
        if (seen.repeats > 0)
            summarise(line, seen, now);
    _stream.rdbuf(_out);
}

RepeatFilter::int_type RepeatFilter::overflow(int_type c)
{
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        take(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize RepeatFilter::xsputn(const char* text, std::streamsize count)
{
    for (std::streamsize i = 0; i < count; ++i)
        take(text[i]);
    return count;
}

int RepeatFilter::sync()
{
    return _out->pubsync();
}

void RepeatFilter::take(char c)
{
    if (c != '\n') {
        _line += c;
        return;
    }
    lineEnded();
    _line.clear();
}

void RepeatFilter::lineEnded()
{
    const long now = gameClock();
    const auto [entry, first] = _seen.try_emplace(_line, Seen{now, 0});
    Seen& seen = entry->second;
    if (first) {
        emit(_line);
        return;
    }
    ++seen.repeats;
    if (now - seen.lastShown >= summaryInterval)
        summarise(_line, seen, now);
}

void RepeatFilter::summarise(const std::string& line, Seen& seen, long now)
{
    emit(line + " (repeated " + std::to_string(seen.repeats) +
         (seen.repeats == 1 ? " more time)" : " more times)"));
    seen.lastShown = now;
    seen.repeats = 0;
}

void RepeatFilter::emit(const std::string& line)
{
    _out->sputn(line.data(), static_cast<std::streamsize>(line.size()));
    _out->sputc('\n');
    _out->pubsync();
}

void filterSfmlErrors()
{
    static RepeatFilter filter(sf::err());
}

// A stream without a buffer writes nothing; giving it one back clears its
// failed state.
SfmlSilence::SfmlSilence() : _out(sf::err().rdbuf(nullptr)) {}

SfmlSilence::~SfmlSilence()
{
    sf::err().rdbuf(_out);
}

} // namespace errorstream
} // namespace platform
