#include "platform/posix/read_only_media.hpp"

#include <sys/statvfs.h>

namespace zelvane::posix {

bool OnReadOnlyMedia(const std::string& hostFolder) {
    struct statvfs st {};
    return ::statvfs(hostFolder.c_str(), &st) == 0 && (st.f_flag & ST_RDONLY) != 0;
}

}  // namespace zelvane::posix
