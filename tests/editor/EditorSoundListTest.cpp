// The editor's working list of hit sounds: reversed from the stored order, new sounds on top,
// removal and look-up by the shown file name.

#include "editor/EditorSoundList.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(EditorSoundList, runsInTheReverseOfTheStoredOrderAndTakesNewSoundsOnTop)
{
    EditorSoundList list;
    list.buildFrom({"/p/a.wav", "/p/b.wav", "C:\\alt\\c.wav"});
    EXPECT_EQ(list.names(), (Names{"c.wav", "b.wav", "a.wav"}));
    EXPECT_EQ(list.paths(), (Names{"C:\\alt\\c.wav", "/p/b.wav", "/p/a.wav"}));

    list.addToFront("/q/neu.wav");
    EXPECT_EQ(list.names().front(), "neu.wav");
    EXPECT_EQ(list.size(), 4u);

    list.buildFrom({"/p/x.wav"});
    EXPECT_EQ(list.paths(), (Names{"/p/x.wav"}));
}

TEST(EditorSoundList, equalNamesAreFoundAndRemovedFromTheTopDown)
{
    EditorSoundList list;
    list.buildFrom({"/eins/au.wav", "/zwei/au.wav", "/p/b.wav"}); // b, zwei/au, eins/au
    ASSERT_NE(list.findFirstNamed("au.wav"), nullptr);
    EXPECT_EQ(list.findFirstNamed("au.wav")->pfad, "/zwei/au.wav");
    EXPECT_EQ(list.findFirstNamed("AU.wav"), nullptr);

    EXPECT_TRUE(list.removeFirstNamed("au.wav"));
    EXPECT_EQ(list.paths(), (Names{"/p/b.wav", "/eins/au.wav"}));
    EXPECT_FALSE(list.removeFirstNamed("fehlt.wav"));
    EXPECT_TRUE(list.removeFirstNamed("b.wav"));
    EXPECT_EQ(list.paths(), (Names{"/eins/au.wav"}));
}

} // namespace
