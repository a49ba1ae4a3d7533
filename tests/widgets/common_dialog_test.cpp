#include "widgets/common_dialog.hpp"

#include <gtest/gtest.h>

#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

const std::string kFilter = std::string("2da Files (*.2da)") + '\0' + "*.2da";

OpenDialogOptions Locate(const std::string& fileName) {
    OpenDialogOptions options;
    options.initialFolder = "C:\\Games\\Kotor\\override\\";
    options.filter = kFilter;
    options.title = "Locate " + fileName;
    options.fileName = fileName;
    return options;
}

TEST(OpenDialogFlags, HookedAndPlainDialogs) {
    OpenDialogOptions options;
    EXPECT_EQ(OpenDialogFlags(options), 0x281024);
    options.ownHook = false;
    EXPECT_EQ(OpenDialogFlags(options), 0x281004);
    options.ownHook = true;
    options.hookChoice = false;
    EXPECT_EQ(OpenDialogFlags(options), 0x281004);
    options.allowMultiple = true;
    EXPECT_EQ(OpenDialogFlags(options), 0x281204);
}

TEST(OpenDialogFlags, ExplicitFlagsGetTheHookAdded) {
    OpenDialogOptions options;
    options.flags = 0x1000;
    EXPECT_EQ(OpenDialogFlags(options), 0x1020);
    options.hookChoice = false;
    EXPECT_EQ(OpenDialogFlags(options), 0x1000);
    options.hookChoice = true;
    options.flags = 0x1020;  // already hooked: stays as it is
    EXPECT_EQ(OpenDialogFlags(options), 0x1020);
    options.allowMultiple = true;
    EXPECT_EQ(OpenDialogFlags(options), 0x1220);
    options.flags = -5;  // not above 0: the standard flags
    EXPECT_EQ(OpenDialogFlags(options), 0x281224);
}

TEST(CommonDialogShowOpen, ChosenFileAndItsFolderAreRemembered) {
    zelvane::testing::ScriptedUi ui;
    ui.openFileAnswers.push_back("C:\\Games\\Kotor\\override\\sub\\appearance.2da");
    OpenDialogState state;
    EXPECT_EQ(state.CommonDialogShowOpen(ui, Locate("appearance.2da")),
              "C:\\Games\\Kotor\\override\\sub\\appearance.2da");
    EXPECT_EQ(state.LastOpenFolder(), "C:\\Games\\Kotor\\override\\sub\\");
    ASSERT_EQ(ui.openFileRequests.size(), 1u);
    EXPECT_EQ(ui.openFileRequests[0].initialFolder, "C:\\Games\\Kotor\\override\\");
    EXPECT_EQ(ui.openFileRequests[0].filter, kFilter);
    EXPECT_EQ(ui.openFileRequests[0].title, "Locate appearance.2da");
    EXPECT_EQ(ui.openFileRequests[0].fileName, "appearance.2da");
}

TEST(CommonDialogShowOpen, CancelledGivesNothingAndKeepsTheFolder) {
    zelvane::testing::ScriptedUi ui;
    ui.openFileAnswers = {"D:\\Mods\\spells.2da", ""};
    OpenDialogState state;
    state.CommonDialogShowOpen(ui, Locate("spells.2da"));
    EXPECT_EQ(state.CommonDialogShowOpen(ui, Locate("feat.2da")), "");
    EXPECT_EQ(state.LastOpenFolder(), "D:\\Mods\\");
}

TEST(CommonDialogShowOpen, StartsInTheLastFolderOnlyWhenAskedAndKnown) {
    zelvane::testing::ScriptedUi ui;
    ui.openFileAnswers = {"", "D:\\Mods\\spells.2da", "D:\\Other\\feat.2da", "x.2da"};
    OpenDialogState state;
    OpenDialogOptions options = Locate("spells.2da");
    options.startInLastFolder = true;
    state.CommonDialogShowOpen(ui, options);  // nothing remembered yet
    EXPECT_EQ(ui.openFileRequests.back().initialFolder, "C:\\Games\\Kotor\\override\\");
    state.CommonDialogShowOpen(ui, options);
    state.CommonDialogShowOpen(ui, options);
    EXPECT_EQ(ui.openFileRequests.back().initialFolder, "D:\\Mods\\");
    options.startInLastFolder = false;
    state.CommonDialogShowOpen(ui, options);
    EXPECT_EQ(ui.openFileRequests.back().initialFolder, "C:\\Games\\Kotor\\override\\");
    EXPECT_EQ(state.LastOpenFolder(), "");  // a bare name has no folder part
}

}  // namespace
}  // namespace zelvane
