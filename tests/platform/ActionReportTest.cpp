// What one action reports reaches the player as one box that fits on the screen.

#include "platform/ActionReport.h"
#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

TEST(ActionReport, oneBoxPerActionEachLineOnceAndNoTallerThanTwentyLines)
{
    struct Case {
        int reported;   // distinct lines, each reported twice
        int linesShown; // lines of the box
        std::string lastLine;
    };
    const Case cases[] = {{1, 1, "Datei 0"}, {20, 20, "Datei 19"}, {21, 21, "… und 1 weitere."},
                          {5000, 21, "… und 4980 weitere."}};
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        {
            ActionReport action;
            ActionReport nested;
            for (int round = 0; round < 2; ++round)
                for (int i = 0; i < c.reported; ++i)
                    reportError("Datei " + std::to_string(i));
        }
        ASSERT_EQ(dialogs.errors.size(), 1u) << c.reported;
        const std::string& text = dialogs.errors.front();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n') + 1, c.linesShown) << c.reported;
        EXPECT_EQ(text.substr(text.rfind('\n') + 1), c.lastLine) << c.reported;
    }
}
