// The removal log's names held by things that are not files, on real disk: a pipe, a socket or a
// folder at removal_results.rtf or at removal_results.rtf.saving (the name it is written under
// first). The run neither waits on it nor loses its log: the log goes beside it, and the run
// says where.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

enum class Kind { Pipe, Socket, Folder };

struct HeldName {
    const char* name;
    Kind kind;
};

void PrintTo(const HeldName& held, std::ostream* out) { *out << held.name; }

class ConsoleLogSaveTest : public ModInstallTest, public ::testing::WithParamInterface<HeldName> {};

TEST_P(ConsoleLogSaveTest, NeitherWaitsOnItNorLosesTheLog) {
    Description({"#game=2", "#file_list", "override\\x.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/x.uti", "x");
    Registry(2);
    Answers({"0"});
    const std::string held = mod + "/uninstall/" + GetParam().name;
    int socketFd = -1;
    switch (GetParam().kind) {
        case Kind::Pipe: ASSERT_EQ(::mkfifo(held.c_str(), 0666), 0); break;
        case Kind::Socket: {
            socketFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            ASSERT_LT(held.size(), sizeof address.sun_path);
            std::memcpy(address.sun_path, held.c_str(), held.size() + 1);
            ASSERT_EQ(::bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            break;
        }
        case Kind::Folder: MakeFolders(held); break;
    }
    struct stat before {};
    ASSERT_EQ(::lstat(held.c_str(), &before), 0);

    const ConsoleRun run =
        RunConsoleKilledAt({"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile},
                           "");
    if (socketFd >= 0) ::close(socketFd);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string beside = mod + "/uninstall/removal_results-2.rtf";
    EXPECT_NE(run.out.find("Saved: " + beside + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile(beside),
              Header(2) + Deleted("Override\\\\x.uti") + "\\cf1\\par" + kCrLf + kBanner + Totals(0, 0));
    struct stat after {};
    ASSERT_EQ(::lstat(held.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
    EXPECT_FALSE(Exists(game + "/override/x.uti"));
}

INSTANTIATE_TEST_SUITE_P(Names, ConsoleLogSaveTest,
                         ::testing::Values(HeldName{"removal_results.rtf.saving", Kind::Pipe},
                                           HeldName{"removal_results.rtf", Kind::Pipe},
                                           HeldName{"removal_results.rtf.saving", Kind::Socket},
                                           HeldName{"removal_results.rtf", Kind::Folder}),
                         [](const ::testing::TestParamInfo<HeldName>& info) {
                             const std::string name = info.param.name;
                             const char* kind = info.param.kind == Kind::Pipe     ? "Pipe"
                                                : info.param.kind == Kind::Socket ? "Socket"
                                                                                  : "Folder";
                             return std::string(kind) +
                                    (name.ends_with(".saving") ? "AtTheTemporaryName" : "AtTheLogsName");
                         });

}  // namespace
}  // namespace zelvane::e2e
