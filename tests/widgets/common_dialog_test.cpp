#include "widgets/common_dialog.hpp"

#include <gtest/gtest.h>

#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

constexpr std::int32_t kHookFlag = 0x20;

TEST(OpenDialogFlags, TheDialogIsHookedOnlyWithItsOwnHookChosen) {
    OpenDialogOptions options;
    EXPECT_EQ(OpenDialogFlags(options) & kHookFlag, kHookFlag);
    options.ownHook = false;
    EXPECT_EQ(OpenDialogFlags(options) & kHookFlag, 0);
    options.ownHook = true;
    options.hookChoice = false;
    EXPECT_EQ(OpenDialogFlags(options) & kHookFlag, 0);
    options.flags = 0x1000;  // explicit flags get the hook added when chosen
    EXPECT_EQ(OpenDialogFlags(options), 0x1000);
    options.hookChoice = true;
    EXPECT_EQ(OpenDialogFlags(options), 0x1020);
}

// The folder a file was last chosen in is remembered, and a later dialog asked to starts there.
TEST(CommonDialogShowOpen, RemembersTheFolderOfTheChosenFile) {
    zelvane::testing::ScriptedUi ui;
    ui.openFileAnswers = {"", "D:\\Mods\\spells.2da", "", "D:\\Other\\feat.2da", "x.2da"};
    OpenDialogState state;
    OpenDialogOptions options;
    options.initialFolder = "C:\\Games\\Kotor\\override\\";
    options.title = "Locate spells.2da";
    options.startInLastFolder = true;
    EXPECT_EQ(state.CommonDialogShowOpen(ui, options), "");  // nothing remembered yet
    EXPECT_EQ(ui.openFileRequests.back().initialFolder, "C:\\Games\\Kotor\\override\\");
    EXPECT_EQ(ui.openFileRequests.back().title, "Locate spells.2da");
    EXPECT_EQ(state.CommonDialogShowOpen(ui, options), "D:\\Mods\\spells.2da");
    EXPECT_EQ(state.LastOpenFolder(), "D:\\Mods\\");
    state.CommonDialogShowOpen(ui, options);  // cancelled: the folder stays
    EXPECT_EQ(ui.openFileRequests.back().initialFolder, "D:\\Mods\\");
    EXPECT_EQ(state.LastOpenFolder(), "D:\\Mods\\");
    options.startInLastFolder = false;
    state.CommonDialogShowOpen(ui, options);
    EXPECT_EQ(ui.openFileRequests.back().initialFolder, "C:\\Games\\Kotor\\override\\");
    EXPECT_EQ(state.LastOpenFolder(), "D:\\Other\\");
    state.CommonDialogShowOpen(ui, options);
    EXPECT_EQ(state.LastOpenFolder(), "");  // a bare name has no folder part
}

}  // namespace
}  // namespace zelvane
