#include "widgets/common_dialog.hpp"

#include <gtest/gtest.h>

#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

// The explorer-style dialog of an existing file, hooked only when both ask for the hook.
TEST(OpenDialog, HookedOnlyWithItsOwnHookChosen) {
    OpenDialogOptions hooked, notOwn, notChosen;
    notOwn.ownHook = notChosen.hookChoice = false;
    EXPECT_EQ((std::vector{OpenDialogFlags(hooked), OpenDialogFlags(notOwn), OpenDialogFlags(notChosen)}),
              (std::vector{0x281024, 0x281004, 0x281004}));
}

TEST(OpenDialog, RemembersTheFolderOfTheChosenFile) {
    zelvane::testing::ScriptedUi ui;
    ui.openFileAnswers = {"D:\\Mods\\spells.2da", "", "x.2da", ""};
    OpenDialogState state;
    OpenDialogOptions options;
    options.initialFolder = "C:\\Games\\Kotor\\override\\";
    options.startInLastFolder = true;
    EXPECT_EQ(state.CommonDialogShowOpen(ui, options), "D:\\Mods\\spells.2da");
    for (int i = 0; i < 3; ++i) state.CommonDialogShowOpen(ui, options);
    std::vector<std::string> starts;
    for (const auto& request : ui.openFileRequests) starts.push_back(request.initialFolder);
    // A cancel keeps the folder; a bare name has no folder part.
    EXPECT_EQ(starts,
              (std::vector<std::string>{options.initialFolder, "D:\\Mods\\", "D:\\Mods\\", options.initialFolder}));
}

}  // namespace
}  // namespace zelvane
