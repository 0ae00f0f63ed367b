#pragma once

// SFML's error stream, with repeated lines summarised.

#include <map>
#include <ostream>
#include <streambuf>
#include <string>

namespace platform {
namespace errorstream {

// Sits between a stream and its buffer: each distinct line goes through the
// first time; its repeats are counted, and at most one line per
// summaryInterval milliseconds reports how many came since it last showed.
// Whatever is still counted is reported when the filter goes, and the stream
// gets its own buffer back.
class RepeatFilter : public std::streambuf {
public:
    static constexpr long summaryInterval = 5000;

    explicit RepeatFilter(std::ostream& stream);
    ~RepeatFilter() override;
    RepeatFilter(const RepeatFilter&) = delete;
    RepeatFilter& operator=(const RepeatFilter&) = delete;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    struct Seen {
        long lastShown;
        long repeats; // since it last showed
    };

    void take(char c);
    void lineEnded();
    void summarise(const std::string& line, Seen& seen, long now);
    void emit(const std::string& line);

    std::ostream& _stream;
    std::streambuf* const _out;
    std::string _line;
    std::map<std::string, Seen> _seen;
};

// Puts a RepeatFilter on SFML's error stream for the rest of the process: a
// picture missing from the working directory is retried in every frame, and
// SFML reports every failed try. Cannot fail: it only swaps stream buffers.
void filterSfmlErrors();

// SFML's error stream says nothing while the object lives: for a retry whose
// failure has been told already.
class SfmlSilence {
public:
    SfmlSilence();
    ~SfmlSilence();
    SfmlSilence(const SfmlSilence&) = delete;
    SfmlSilence& operator=(const SfmlSilence&) = delete;

private:
    std::streambuf* const _out;
};

} // namespace errorstream
} // namespace platform
