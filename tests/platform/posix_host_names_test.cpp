// Host names as the Windows side sees them, as Wine maps them.

#include "platform/posix/host_names.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zelvane::posix {
namespace {

// Linux lets a name hold a backslash; read as Windows reads it, "a\b.tga" would be the file b.tga
// in a folder a. It is a name no Windows path can name, and names nothing else either.
TEST(HostNames, ABackslashInAHostNameIsNoSeparator) {
    EXPECT_EQ(Cp1252NameOf("a\\b.tga"), "a?b.tga");
    EXPECT_EQ(WindowsNameOf("a\\b.tga"), "a?b.tga");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\\b.tga"), "\xE9?b.tga");  // not handed over as it stands either
}

TEST(HostNames, AHostNameInAPathIs1252WhereItCanBeAndItsOwnBytesElse) {
    EXPECT_EQ(WindowsNameOf("Sp\xC3\xAF"
                            "ele"),
              "Sp\xEF"
              "ele");
    EXPECT_EQ(WindowsNameOf("\xE2\x82\xAC \xC2\x81"), "\x80 \x81");  // the euro sign; a C1 control
    EXPECT_EQ(WindowsNameOf("plain"), "plain");
    // No '?' (a wildcard): the name as it stands, which the seam finds as it stands.
    EXPECT_EQ(WindowsNameOf("\xD0\x94\xD0\xBC"), "\xD0\x94\xD0\xBC");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\xE6\x97\xA5"), "\xC3\xA9\xE6\x97\xA5");  // one letter too many
    // Bytes that are no UTF-8 read as 1252 would name another entry ("na\xEFve" is "naïve").
    EXPECT_EQ(WindowsNameOf("na\xEFve"), "na?ve");
}

}  // namespace
}  // namespace zelvane::posix
