#pragma once
// The literal texts of the 2da restore's questions about appearance.2da, as the player is shown
// them.

#include <string>

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {

inline const std::string kTitle = "Confirm appearance.2da replacement";

inline const std::string kReplaceText =
    R"(2da replacement is enabled. Would you like to replace the \cf5 appearance.2da\cf1  in the override with the )"
    R"(backup copy generated when you installed this mod?\par )" +
    CRLF + R"(\par )" + CRLF +
    R"(\cf10\ul\b NOTE:\b0\ulnone\cf1  The \cf5 appearance.2da\cf1  in the override will be backed up in a folder )"
    R"(named \cf5 Backup Uninstall\cf1\ located in the folder this program is being run from.\par )" +
    CRLF + R"(\par )" + CRLF +
    R"(\cf10\ul\b NOTE ALSO:\b0\ulnone\cf2  If you have installed \i any\i0  mods that have altered the \cf5 )"
    R"(appearance.2da \cf2 since you installed this one then replacing it is probably a bad idea and \b UNLESS\b0)"
    R"(  you \b REALLY\b0\ know what you are doing then you are advised \b NOT\b0  to replace it.)";

inline const std::string kAnywayText = R"(2da replacement is enabled.\par )" + CRLF +
                                       R"(However, no \cf5 appearance.2da\cf1  was found in the override.\par )" +
                                       CRLF + R"(\par )" + CRLF +
                                       R"(Restore the backup \cf5 appearance.2da\cf1  anyway?)";

// As shown: measuring the prompt turned its two bare line ends into paragraph marks.
inline std::string FoundText(const std::string& doubled) {
    return R"(2da replacement is enabled. Would you like to replace the \cf5 appearance.2da\cf1  located at \cf5 )"
           R"(\par )" +
           CRLF + doubled + R"(\cf1 with the backup copy generated when you installed this mod?\par )" + CRLF +
           R"(\par )" + CRLF + R"(Selecting \cf7\b yes\b0\cf1  will replace the file.\par )" + CRLF +
           R"(Selecting \cf7\b no\b0\cf1  will allow you to locate the replace target yourself.\par )" + CRLF +
           R"(Selecting \cf7\b cancel\b0\cf1  will abort and allow you to do it manually.\par )" + CRLF + R"(\par )" +
           CRLF +
           R"(\cf10\ul\b NOTE:\b0\ulnone\cf1  The \cf5 appearance.2da\cf1  in the override will be backed up in a )"
           R"(folder named \cf5 Backup Uninstall\cf1\ located in the folder this program is being run from.\par )" +
           CRLF + R"(\par )" + CRLF +
           R"(\cf10\ul\b NOTE ALSO:\b0\ulnone\cf2  If you have installed any mods that have altered the \cf5 )"
           R"(appearance.2da\cf2  since you installed this one then replacing it is probably a bad idea and )"
           R"(\b UNLESS\b0  you \b REALLY\b0\ know what you are doing then you are advised \b NOT\b0  to replace it.)";
}

}  // namespace zelvane::testing
