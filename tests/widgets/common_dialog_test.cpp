#include "widgets/common_dialog.hpp"

#include <gtest/gtest.h>

#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

TEST(OpenDialog, HookedOnlyWithItsOwnHookChosen) {
    constexpr std::int32_t kHook = 0x20;
    OpenDialogOptions options;
    EXPECT_EQ(OpenDialogFlags(options) & kHook, kHook);
    options.ownHook = false;
    EXPECT_EQ(OpenDialogFlags(options) & kHook, 0);
    options.ownHook = true;
    options.hookChoice = false;
    EXPECT_EQ(OpenDialogFlags(options) & kHook, 0);
}

TEST(OpenDialog, RemembersTheFolderOfTheChosenFile) {
    zelvane::testing::ScriptedUi ui;
    ui.openFileAnswers = {"D:\\Mods\\spells.2da", "", "x.2da"};
    OpenDialogState state;
    OpenDialogOptions options;
    options.initialFolder = "C:\\Games\\Kotor\\override\\";
    options.startInLastFolder = true;
    EXPECT_EQ(state.CommonDialogShowOpen(ui, options), "D:\\Mods\\spells.2da");
    EXPECT_EQ(state.CommonDialogShowOpen(ui, options), "");  // cancelled: the folder stays
    EXPECT_EQ(ui.openFileRequests.back().initialFolder, "D:\\Mods\\");
    EXPECT_EQ(state.LastOpenFolder(), "D:\\Mods\\");
    state.CommonDialogShowOpen(ui, options);
    EXPECT_EQ(state.LastOpenFolder(), "");  // a bare name has no folder part
}

}  // namespace
}  // namespace zelvane
