// Host names as the Windows side sees them, as Wine maps them.

#include "platform/posix/host_names.hpp"

#include <gtest/gtest.h>

namespace zelvane::posix {
namespace {

// 1252 where the name can be; else its own bytes, or "?" (a name no path can name) for what would
// read as another name: a backslash, bytes that are no UTF-8.
TEST(HostNames, AHostNameIs1252WhereItCanBeAndNeverAnotherName) {
    EXPECT_EQ(WindowsNameOf("Sp\xC3\xAF"
                            "ele"),
              "Sp\xEF"
              "ele");
    EXPECT_EQ(WindowsNameOf("\xE2\x82\xAC \xC2\x81"), "\x80 \x81");  // the euro sign; a C1 control
    EXPECT_EQ(WindowsNameOf("\xD0\x94\xD0\xBC"), "\xD0\x94\xD0\xBC");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\xE6\x97\xA5"), "\xC3\xA9\xE6\x97\xA5");  // one letter too many
    EXPECT_EQ(WindowsNameOf("na\xEFve"), "na?ve");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\\b.tga"), "\xE9?b.tga");
    EXPECT_EQ(Cp1252NameOf("a\\b.tga"), "a?b.tga");
}

}  // namespace
}  // namespace zelvane::posix
