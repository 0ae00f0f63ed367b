// Where the game window opens on a desktop, and where the playfield lies in a
// window of any size.
#include <gtest/gtest.h>

#include "WindowFit.h"

TEST(WindowFit, TheWindowIsCentredWholeOnTheDesktopAndSmallerOnlyWhereItMustBe)
{
    struct Case {
        sf::Vector2u desktop;
        sf::Vector2i position;
        unsigned side;
    };
    const Case cases[] = {
        {{3840, 2160}, {1520, 680}, 800}, {{1920, 1080}, {560, 140}, 800},
        {{1024, 1024}, {112, 112}, 800},  {{1366, 768}, {339, 40}, 688},
        {{1024, 600}, {252, 40}, 520},    {{640, 480}, {120, 40}, 400},
        {{600, 1024}, {0, 212}, 600},     {{150, 100}, {0, 0}, 200},
    };
    for (const Case& c : cases) {
        const windowfit::Placement placement = windowfit::placementOn(c.desktop);
        EXPECT_EQ(placement.position, c.position) << c.desktop.x << "x" << c.desktop.y;
        EXPECT_EQ(placement.side, c.side) << c.desktop.x << "x" << c.desktop.y;
    }
}

TEST(WindowFit, ThePlayfieldIsTheLargestCentredSquareOfTheWindow)
{
    struct Case {
        sf::Vector2u window;
        sf::FloatRect viewport; // shares of the window
    };
    const Case cases[] = {
        {{800, 800}, {0.0f, 0.0f, 1.0f, 1.0f}},  {{1000, 1000}, {0.0f, 0.0f, 1.0f, 1.0f}},
        {{800, 400}, {0.25f, 0.0f, 0.5f, 1.0f}}, {{400, 800}, {0.0f, 0.25f, 1.0f, 0.5f}},
        {{1000, 800}, {0.1f, 0.0f, 0.8f, 1.0f}}, {{0, 0}, {0.0f, 0.0f, 1.0f, 1.0f}},
    };
    for (const Case& c : cases) {
        const sf::FloatRect viewport = windowfit::letterbox(c.window);
        SCOPED_TRACE(std::to_string(c.window.x) + "x" + std::to_string(c.window.y));
        EXPECT_FLOAT_EQ(viewport.left, c.viewport.left);
        EXPECT_FLOAT_EQ(viewport.top, c.viewport.top);
        EXPECT_FLOAT_EQ(viewport.width, c.viewport.width);
        EXPECT_FLOAT_EQ(viewport.height, c.viewport.height);
    }
}
