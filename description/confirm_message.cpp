#include "description/loader.hpp"

namespace zelvane {

const char* const kBuiltInConfirmMessage =
    "\\cf1 This will remove some mod that\\par \r\n"
    "\\cf10\\ul the author did not bother to name.\\ulnone\\cf1\\par \r\n"
    "\\par \r\n"
    "I \\i hope\\i0  that \\b you\\b0  at least know what it is.\\par \r\n"
    "\\par \r\n"
    "Do you wish to continue?";

}  // namespace zelvane
