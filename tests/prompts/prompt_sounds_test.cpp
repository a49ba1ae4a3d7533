#include "prompts/prompt_sounds.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

TEST(PromptSounds, AliasesOfTheSoundNumbers) {
    EXPECT_EQ(SystemSoundName(0), ".Default");
    EXPECT_EQ(SystemSoundName(1), "SystemAsterisk");
    EXPECT_EQ(SystemSoundName(2), "SystemExclamation");
    EXPECT_EQ(SystemSoundName(3), "SystemExit");
    EXPECT_EQ(SystemSoundName(4), "SystemHand");
    EXPECT_EQ(SystemSoundName(5), "SystemQuestion");
    EXPECT_EQ(SystemSoundName(6), "SystemStart");
    EXPECT_EQ(SystemSoundName(7), "");
    EXPECT_EQ(SystemSoundName(-1), "");
}

TEST(PromptSounds, EachIconHasItsSound) {
    EXPECT_EQ(SoundForIcon(1), 1);
    EXPECT_EQ(SoundForIcon(2), 4);
    EXPECT_EQ(SoundForIcon(3), 2);
    EXPECT_EQ(SoundForIcon(4), 4);
    // No icon plays the default sound.
    EXPECT_EQ(SystemSoundName(SoundForIcon(0)), ".Default");
    EXPECT_EQ(SystemSoundName(SoundForIcon(5)), ".Default");
    EXPECT_EQ(SystemSoundName(SoundForIcon(2)), "SystemHand");
}

}  // namespace
}  // namespace zelvane
