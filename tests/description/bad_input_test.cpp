// Malformed descriptions end in a result, never in a crash.
#include <gtest/gtest.h>

#include <random>

#include "platform/seams/read_limits.hpp"
#include "tests/description/load_fixture.hpp"

namespace zelvane::testing {
namespace {

using BadInputTest = LoadFixture;

// Descriptions as large as the loader takes: the largest malformed ones it must survive.
constexpr std::size_t kNearTheLimit = kDescriptionLimit - 4096;

TEST_F(BadInputTest, BinaryGarbage) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(1 + random() % 4096, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        d = UninstallDescription{};
        Load(bytes);
    }
}

TEST_F(BadInputTest, ShuffledKeyFragments) {
    const std::vector<std::string> pieces = {"#confirm_message_begin#",
                                             "#confirm_message_end#",
                                             "#explicit_instructions_begin#",
                                             "#explicit_instructions_end#",
                                             "#qdelete_file_3=",
                                             "#qdelete_file_begin_3#",
                                             "#qdelete_file_end_3#",
                                             "#qrestore_file_12=",
                                             "#qrestore_file_begin_12#",
                                             "#qrestore_file_end_12#",
                                             "#qdelete_file_format_width_3=",
                                             "#qrestore_2da=true",
                                             "#qrestore_2da_files=a.2da",
                                             "#game=",
                                             "#game_select=",
                                             "#default_format_width=",
                                             "1",
                                             "-1",
                                             "abc",
                                             "\r\n",
                                             "\r",
                                             "\n",
                                             "",
                                             " ",
                                             std::string(1, '\0'),
                                             "99999999999",
                                             "#file_list"};
    std::mt19937 random(11);
    fs.AddFile(program + "\\backup\\a.2da", "a");
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 30);
        for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
        d = UninstallDescription{};
        const LoadResult result = Load(text);
        if (result.outcome == LoadOutcome::Aborted) {
            EXPECT_FALSE(result.abortMessage.empty());
        }
    }
}

TEST_F(BadInputTest, NulBytesAreOrdinaryCharacters) {
    ASSERT_EQ(Load(CrLfLines({std::string("#window_caption=a\0b", 19), std::string("#game=\0", 7)})).outcome,
              LoadOutcome::Failed);
    EXPECT_EQ(d.WindowCaption, std::string("a\0b", 3));
}

TEST_F(BadInputTest, ADescriptionNearTheLimitLoads) {
    std::string text;
    const std::string comment = "; a comment line that pads the file out to a large size\r\n";
    while (text.size() < kNearTheLimit) text += comment;
    text += CrLfLines({"#game=2", "#confirm_message_begin#", "end", "#confirm_message_end#"});
    ASSERT_EQ(Load(text).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.Game, 2);
    EXPECT_EQ(d.ConfirmMessage, "end");
}

TEST_F(BadInputTest, AHugeBlockCitedByManyLines) {
    // Every line inside the block asks for the block again.
    std::string text = CrLfLines({"#confirm_message_begin#"});
    while (text.size() < kNearTheLimit) text += "#confirm_message_begin#\r\n#explicit_instructions_begin#\r\n";
    text += CrLfLines({"#confirm_message_end#", "#explicit_instructions_end#"});
    ASSERT_EQ(Load(text).outcome, LoadOutcome::EndOfFile);
    EXPECT_GT(d.ConfirmMessage.size(), kNearTheLimit / 2);
    EXPECT_TRUE(d.HasExplicitInstructions);
}

TEST_F(BadInputTest, HugeBlockCopiedIntoThousandsOfEntriesRunsOutOfMemoryCleanly) {
    std::string text = CrLfLines({"#qdelete_file_begin_0#"});
    while (text.size() < kNearTheLimit) text += "#qdelete_file_0=override\\x.uti\r\n";
    text += CrLfLines({"#qdelete_file_end_0#"});
    const LoadResult result = Load(text);
    EXPECT_EQ(FailureNumber(result), 7);
    EXPECT_EQ(result.error.Description(), "Out of memory");
}

TEST_F(BadInputTest, MillionsOfListNamesRunOutOfMemoryCleanly) {
    fs.AddFolder(program + "\\backup");
    std::string list = "#qrestore_2da_files=" + std::string(kNearTheLimit, ',');
    EXPECT_EQ(FailureNumber(Load({"#qrestore_2da=true", list})), 7);
}

TEST_F(BadInputTest, LongLines) {
    const std::string longText(100000, 'x');
    ASSERT_EQ(Load({"#window_caption=" + longText, "#default_format_width=" + std::string(100000, '0') + "5", longText,
                    "#confirm_message_title=" + longText})
                  .outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.WindowCaption, longText);
    EXPECT_EQ(d.DefaultFormatWidth, 75);
    EXPECT_EQ(d.ConfirmTitle.size(), 100000u);
    EXPECT_EQ(FailureNumber(Load({"#game=" + std::string(100000, '9')})), 6);
    EXPECT_EQ(FailureNumber(Load({"#game=" + longText})), 13);
    EXPECT_EQ(FailureNumber(Load({"#confirm_message_format_width=" + std::string(100000, '9')})), 6);
}

TEST_F(BadInputTest, SingleHugeLineWithoutLineEnds) {
    std::string text = "#window_caption=";
    text += std::string(kNearTheLimit, 'y');
    text += "\n#game=2\n";
    ASSERT_EQ(Load(text).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.Game, 0);
}

TEST_F(BadInputTest, MissingMarkersAbort) {
    for (const std::string& line :
         {std::string("#confirm_message_begin#"), std::string("#explicit_instructions_begin#"),
          std::string("#qdelete_file_0=x"), std::string("#qrestore_file_99=x")}) {
        d = UninstallDescription{};
        const LoadResult result = Load({line});
        EXPECT_EQ(result.outcome, LoadOutcome::Aborted) << line;
        EXPECT_NE(result.abortMessage.find(" are improperly set."), std::string::npos);
    }
}

TEST_F(BadInputTest, EmptyFileReadsToTheEnd) {
    ASSERT_EQ(Load(std::string()).outcome, LoadOutcome::EndOfFile);
    EXPECT_FALSE(d.HasWindowCaption);
}

TEST_F(BadInputTest, UnreadableDescriptionFails) {
    fs.FailOperation(FsOp::ReadAll, "uninstall_data.ini", FsStatus::SharingViolation);
    EXPECT_EQ(FailureNumber(Load({"#game=1"})), 70);
}

}  // namespace
}  // namespace zelvane::testing
