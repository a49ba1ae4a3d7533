// The POSIX seam writes regular files only: a pipe or a socket at the name is refused, at once,
// and left as it is; nothing is written into it.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <cstring>

#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using PosixWriteSpecialFiles = HostFolderTest;

TEST_F(PosixWriteSpecialFiles, APipeWithoutAReaderIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(HostOf("log.rtf").c_str(), 0644), 0);
    // In a child, which a watchdog ends should the write wait for a reader that never comes.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(60);
        ::_exit(fs->WriteAll(Win("log.rtf"), "the log") == FsStatus::AccessDenied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "the write waited on the pipe";
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << "the write was not refused";
    struct stat st {};
    ASSERT_EQ(::lstat(HostOf("log.rtf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(PosixWriteSpecialFiles, APipeWithAReaderGetsNothing) {
    ASSERT_EQ(::mkfifo(HostOf("log.rtf").c_str(), 0644), 0);
    const int reader = ::open(HostOf("log.rtf").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(fs->WriteAll(Win("log.rtf"), "the log"), FsStatus::AccessDenied);
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);
}

TEST_F(PosixWriteSpecialFiles, ASocketIsRefused) {
    const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(server, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = HostOf("log.rtf");
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(fs->WriteAll(Win("log.rtf"), "the log"), FsStatus::AccessDenied);
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    ::close(server);
}

}  // namespace
}  // namespace zelvane
