// SFML's error stream filter.

#include <gtest/gtest.h>

#include <sstream>

#include "GameFiles.h"
#include "platform/ErrorFilter.h"
#include "platform/GameClock.h"

namespace hooks = platform::testhooks;

// A picture missing in every frame: thousands of the same line shrink to the
// line itself and one count per interval, and the last count comes when the
// filter goes.
TEST(ErrorStream, RepeatsAreCountedNotPrinted)
{
    using platform::errorstream::RepeatFilter;
    const std::string missing = std::string("Failed to load image \"") + gamefiles::plainBrain +
                                "\". Reason: Unable to open file";
    const std::string font = std::string("Failed to load font \"") + gamefiles::font + "\"";
    std::ostringstream stream;
    std::streambuf* const own = stream.rdbuf();
    hooks::pinClock(1000);
    {
        const RepeatFilter filter(stream);
        for (int i = 0; i < 3000; ++i)
            stream << missing << std::endl;
        stream << font << "\n" << missing << "\n";
        hooks::advanceClock(RepeatFilter::summaryInterval - 1);
        stream << missing << std::endl;
        hooks::advanceClock(1);
        stream << missing << std::endl << missing << std::endl;
    }
    hooks::releaseClock();
    EXPECT_EQ(stream.rdbuf(), own);
    EXPECT_EQ(stream.str(), missing + "\n" + font + "\n" + missing +
                                " (repeated 3002 more times)\n" + missing +
                                " (repeated 1 more time)\n");
}
