#include "description/loader.hpp"

#include <gtest/gtest.h>

#include "tests/description/load_fixture.hpp"

namespace zelvane::testing {
namespace {

using LoaderTest = LoadFixture;
using Entries = std::vector<QueuedEntry>;

TEST_F(LoaderTest, ReadsTheExampleDescription) {
    const LoadResult result = Load({
        "#window_caption=Remove the Example Robes",
        "#game=2",
        "#default_format_width=450",
        "#confirm_message_title=Remove Example Robes?",
        "#confirm_message_begin#",
        "This removes \\b Example Robes\\b0 .",
        "Do you wish to continue?",
        "#confirm_message_end#",
        "#qdelete_file_0=override\\appearance.2da",
        "#qdelete_file_format_width_0=400",
        "#qdelete_file_begin_0#",
        "Delete the changed appearance.2da?",
        "#qdelete_file_end_0#",
        "#file_list",
        "; installed files",
        "override\\ex_robe01.uti",
        "override\\ex_robe01.tga",
    });
    ASSERT_EQ(result.outcome, LoadOutcome::EndOfFile);
    EXPECT_TRUE(d.HasWindowCaption);
    EXPECT_EQ(d.WindowCaption, "Remove the Example Robes");
    EXPECT_EQ(d.Game, 2);
    EXPECT_EQ(d.DefaultFormatWidth, 450 * 15);
    EXPECT_EQ(d.ConfirmTitle, "Remove Example Robes?");
    EXPECT_EQ(d.ConfirmMessage, "This removes \\b Example Robes\\b0 .\r\nDo you wish to continue?");
    EXPECT_EQ(d.QueuedDeletes, (Entries{{"override\\appearance.2da", "Delete the changed appearance.2da?", 6000}}));
    EXPECT_TRUE(d.QueuedRestores.empty());
    EXPECT_FALSE(d.Restore2da);
    EXPECT_FALSE(d.HasExplicitInstructions);
}

TEST_F(LoaderTest, KeysMatchInAnyCaseButOnlyAtTheLineStart) {
    ASSERT_EQ(Load({"#GAME=2", " #window_caption=no", "#Game_Select=TRUE"}).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.Game, 2);
    EXPECT_TRUE(d.GameSelect);
    EXPECT_FALSE(d.HasWindowCaption);
}

TEST_F(LoaderTest, ValuesAreVerbatimAndLaterLinesWin) {
    ASSERT_EQ(Load({"#window_caption=first", "#window_caption=  two = spaces  ", "#confirm_message_title="}).outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.WindowCaption, "  two = spaces  ");
    EXPECT_EQ(d.ConfirmTitle, "");
}

TEST_F(LoaderTest, WidthsIconsAndBeeps) {
    ASSERT_EQ(Load({"#default_format_width=abc", "#confirm_message_format_width=400px",
                    "#explicit_instructions_format_width=-5", "#confirm_message_beep=true",
                    "#explicit_instructions_beep=1", "#explicit_instructions_icon=9"})
                  .outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.DefaultFormatWidth, 0);
    EXPECT_EQ(d.ConfirmFormatWidth, 6000);
    EXPECT_EQ(d.ExplicitFormatWidth, -5);
    EXPECT_FALSE(d.ConfirmBeep);
    EXPECT_TRUE(d.ExplicitBeep);
    EXPECT_EQ(d.ExplicitIcon, 4);
}

TEST_F(LoaderTest, IconOutOfRangeBecomesFour) {
    for (const auto& [value, icon] : std::vector<std::pair<std::string, int>>{
             {"-1", 4}, {"0", 4}, {"9", 4}, {"5", 4}, {"1", 1}, {"3", 3}, {"4", 4}, {"2.5", 2}}) {
        UninstallDescription fresh;
        d = fresh;
        ASSERT_EQ(Load({"#explicit_instructions_icon=" + value}).outcome, LoadOutcome::EndOfFile);
        EXPECT_EQ(d.ExplicitIcon, icon) << value;
    }
    d = UninstallDescription{};
    ASSERT_EQ(Load({"#game=1"}).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.ExplicitIcon, 1);
}

TEST_F(LoaderTest, ConversionFailuresFail) {
    EXPECT_EQ(FailureNumber(Load({"#game_select=yes"})), 13);
    EXPECT_EQ(FailureNumber(Load({"#game="})), 13);
    EXPECT_EQ(FailureNumber(Load({"#game=two"})), 13);
    EXPECT_EQ(FailureNumber(Load({"#game=40000"})), 6);
    EXPECT_EQ(FailureNumber(Load({"#default_format_width=99999999999"})), 6);
    EXPECT_EQ(FailureNumber(Load({"#qrestore_2da=maybe"})), 13);
}

TEST_F(LoaderTest, AFailureKeepsWhatWasReadBefore) {
    const LoadResult result = Load({"#window_caption=Kept", "#game=x", "#confirm_message_title=Lost"});
    EXPECT_EQ(FailureNumber(result), 13);
    EXPECT_EQ(d.WindowCaption, "Kept");
    EXPECT_EQ(d.ConfirmTitle, "");
}

TEST_F(LoaderTest, LfOnlyFileIsOneLine) {
    ASSERT_EQ(Load(std::string("#window_caption=X\n#game=2\n")).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.WindowCaption, "X\n#game=2\n");
    EXPECT_EQ(d.Game, 0);
}

TEST_F(LoaderTest, CrAloneEndsALine) {
    ASSERT_EQ(Load(std::string("#window_caption=X\r#game=2\r")).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.WindowCaption, "X");
    EXPECT_EQ(d.Game, 2);
}

TEST_F(LoaderTest, DescriptionWithoutBlocksNeverReadsTheWorkingCopy) {
    fs.FailOperation(FsOp::ReadAll, "20A", FsStatus::IoError);
    EXPECT_EQ(Load({"#game=1", "#window_caption=x", "#file_list", "override\\a.tga"}).outcome, LoadOutcome::EndOfFile);
}

TEST_F(LoaderTest, TheWorkingCopyIsReadOnceForAllBlocks) {
    const LoadResult result =
        Load({"#confirm_message_begin#", "c", "#confirm_message_end#", "#explicit_instructions_begin#", "e",
              "#explicit_instructions_end#", "#qdelete_file_1=a", "#qdelete_file_begin_1#", "q", "#qdelete_file_end_1#",
              "#qrestore_file_2=b", "#qrestore_file_begin_2#", "r", "#qrestore_file_end_2#"});
    ASSERT_EQ(result.outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(fs.CallCount(FsOp::ReadAll), 2u);  // the description and the working copy
    EXPECT_EQ(d.ConfirmMessage, "c");
    EXPECT_EQ(d.ExplicitInstructions, "e");
    EXPECT_TRUE(d.HasExplicitInstructions);
    EXPECT_EQ(d.QueuedDeletes, (Entries{{"a", "q", 0}}));
    EXPECT_EQ(d.QueuedRestores, (Entries{{"b", "r", 0}}));
}

TEST_F(LoaderTest, AnUnreadableWorkingCopyFails) {
    fs.FailOperation(FsOp::ReadAll, "20A", FsStatus::SharingViolation);
    EXPECT_EQ(FailureNumber(Load({"#confirm_message_begin#", "c", "#confirm_message_end#"})), 70);
}

TEST_F(LoaderTest, BlocksAreCutFromTheWorkingCopy) {
    // The working copy is what the blocks come from, even if the description differs.
    fs.AddFile(descriptionPath, CrLfLines({"#confirm_message_begin#", "old", "#confirm_message_end#"}));
    fs.AddFile(workingCopyPath, CrLfLines({"#confirm_message_begin#", "copy", "#confirm_message_end#"}));
    d.DescriptionPath = descriptionPath;
    ASSERT_EQ(LoadUninstallDescription(d, LoaderContext{fs, program, workingCopyPath, 15}).outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.ConfirmMessage, "copy");
}

TEST_F(LoaderTest, BlockTextKeepsInnerLineEndsAndIsReadAsKeysToo) {
    ASSERT_EQ(
        Load({"#confirm_message_begin#", "line one\\par ", "#game=2", "", "last", "#confirm_message_end#"}).outcome,
        LoadOutcome::EndOfFile);
    EXPECT_EQ(d.ConfirmMessage, "line one\\par \r\n#game=2\r\n\r\nlast");
    EXPECT_EQ(d.Game, 2);
}

TEST_F(LoaderTest, TheFirstBlockCountsForEveryBeginLine) {
    ASSERT_EQ(Load({"#confirm_message_begin#", "first", "#confirm_message_end#", "#confirm_message_begin#", "second",
                    "#confirm_message_end#"})
                  .outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.ConfirmMessage, "first");
}

TEST_F(LoaderTest, EmptyBlockNeedsOneEmptyLine) {
    ASSERT_EQ(Load({"#confirm_message_begin#", "", "#confirm_message_end#"}).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.ConfirmMessage, "");

    d = UninstallDescription{};
    ASSERT_EQ(Load({"#explicit_instructions_begin#", "", "#explicit_instructions_end#"}).outcome,
              LoadOutcome::EndOfFile);
    EXPECT_FALSE(d.HasExplicitInstructions);
}

TEST_F(LoaderTest, MisplacedEndMarkersFailWithInvalidArgument) {
    // Directly after the begin line: length -2.
    EXPECT_EQ(FailureNumber(Load({"#confirm_message_begin#", "#confirm_message_end#"})), 5);
    // On the begin line.
    EXPECT_EQ(FailureNumber(Load({"#confirm_message_begin##confirm_message_end#"})), 5);
    // Before the begin line.
    EXPECT_EQ(FailureNumber(Load({"#confirm_message_end#", "text", "#confirm_message_begin#"})), 5);
    EXPECT_EQ(FailureNumber(Load({"#qdelete_file_4=a", "#qdelete_file_begin_4#", "#qdelete_file_end_4#"})), 5);
    // The two characters before the end marker are taken for a line end: with one, the length is -1.
    EXPECT_EQ(FailureNumber(Load({"#confirm_message_begin#", "x#confirm_message_end#"})), 5);
}

TEST_F(LoaderTest, AbortMessagesNameTheirMarkers) {
    EXPECT_EQ(Load({"#confirm_message_begin#", "x"}).abortMessage,
              "#confirm_message_begin# and #confirm_message_end# are improperly set.");
    EXPECT_EQ(Load({"#explicit_instructions_begin#", "x", "#explicit_instructions_end"}).abortMessage,
              "#explicit_instructions_begin# and #explicit_instructions_end# are improperly set.");
    EXPECT_EQ(Load({"#qdelete_file_12=a", "#qdelete_file_begin_12#", "x"}).abortMessage,
              "#qdelete_file_begin_12# and #qdelete_file_end_12# are improperly set.");
    EXPECT_EQ(Load({"#qrestore_file_0=a"}).abortMessage,
              "#qrestore_file_begin_0# and #qrestore_file_end_0# are improperly set.");
    EXPECT_EQ(Load({"#qrestore_file_0=a"}).outcome, LoadOutcome::Aborted);
}

TEST_F(LoaderTest, BeginMarkerInOtherCaseIsALineButNoMarker) {
    const LoadResult aborted = Load({"#Confirm_Message_Begin#", "x", "#confirm_message_end#"});
    EXPECT_EQ(aborted.outcome, LoadOutcome::Aborted);
    EXPECT_EQ(aborted.abortMessage, "#confirm_message_begin# and #confirm_message_end# are improperly set.");

    // With the lower-case pair first in the file, the odd-case line extracts that pair's text.
    d = UninstallDescription{};
    ASSERT_EQ(Load({"#confirm_message_begin#", "real", "#confirm_message_end#", "#Confirm_Message_Begin#"}).outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.ConfirmMessage, "real");

    // A lower-case pair after it puts the first end marker before the begin marker.
    EXPECT_EQ(FailureNumber(Load({"#Confirm_Message_Begin#", "x", "#confirm_message_end#", "#confirm_message_begin#",
                                  "real", "#confirm_message_end#"})),
              5);
}

TEST_F(LoaderTest, AbortStopsReadingAndKeepsEarlierSettings) {
    const LoadResult result = Load({"#window_caption=Kept", "#confirm_message_begin#", "#game=2"});
    EXPECT_EQ(result.outcome, LoadOutcome::Aborted);
    EXPECT_EQ(d.WindowCaption, "Kept");
    EXPECT_EQ(d.Game, 0);
}

TEST_F(LoaderTest, MarkersWithLeadingZerosDoNotPairWithTheEntry) {
    const LoadResult result = Load({"#qdelete_file_3=a", "#qdelete_file_begin_03#", "x", "#qdelete_file_end_03#"});
    EXPECT_EQ(result.outcome, LoadOutcome::Aborted);
    EXPECT_EQ(result.abortMessage, "#qdelete_file_begin_3# and #qdelete_file_end_3# are improperly set.");
    // The entry was appended before its block was looked for.
    EXPECT_EQ(d.QueuedDeletes, (Entries{{"a", "", 0}}));
}

TEST_F(LoaderTest, EntriesKeepFileOrderAndShareBlocksByNumber) {
    ASSERT_EQ(Load({"#qdelete_file_5=five", "#qdelete_file_2=two", "#QDELETE_FILE_5=again", "#qdelete_file_begin_2#",
                    "B2", "#qdelete_file_end_2#", "#qdelete_file_begin_5#", "B5", "#qdelete_file_end_5#"})
                  .outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.QueuedDeletes, (Entries{{"five", "B5", 0}, {"two", "B2", 0}, {"again", "B5", 0}}));
}

TEST_F(LoaderTest, WidthLinesSetTheLastEntryOfTheirKind) {
    ASSERT_EQ(Load({"#qrestore_file_1=a", "#qrestore_file_2=b", "#qrestore_file_format_width_7=300",
                    "#qrestore_file_begin_1#", "x", "#qrestore_file_end_1#", "#qrestore_file_begin_2#", "y",
                    "#qrestore_file_end_2#"})
                  .outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.QueuedRestores, (Entries{{"a", "x", 0}, {"b", "y", 4500}}));
    EXPECT_TRUE(d.QueuedDeletes.empty());
}

TEST_F(LoaderTest, WidthLineBeforeAnyEntryFailsWithSubscript) {
    EXPECT_EQ(FailureNumber(Load({"#qdelete_file_format_width_0=300"})), 9);
    // An entry of the other kind does not count.
    EXPECT_EQ(FailureNumber(Load({"#qrestore_file_0=a", "#qrestore_file_begin_0#", "x", "#qrestore_file_end_0#",
                                  "#qdelete_file_format_width_0=300"})),
              9);
    EXPECT_EQ(FailureNumber(Load({"#qdelete_file_0=a", "#qdelete_file_begin_0#", "x", "#qdelete_file_end_0#",
                                  "#qdelete_file_format_width_0=1e20"})),
              6);
}

TEST_F(LoaderTest, BuiltInConfirmationText) {
    EXPECT_STREQ(kBuiltInConfirmMessage,
                 "\\cf1 This will remove some mod that\\par \r\n"
                 "\\cf10\\ul the author did not bother to name.\\ulnone\\cf1\\par \r\n"
                 "\\par \r\n"
                 "I \\i hope\\i0  that \\b you\\b0  at least know what it is.\\par \r\n"
                 "\\par \r\n"
                 "Do you wish to continue?");
}

}  // namespace
}  // namespace zelvane::testing
