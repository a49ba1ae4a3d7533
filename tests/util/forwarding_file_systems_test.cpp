// Every wrapper of a file system passes each call on to the one it wraps, with the same arguments,
// and hands back what that one answered: a wrapper that kept a call to itself would answer with
// the seam's defaults (no stamp, one volume) and the run would trust what it cannot know.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/counting_file_system.hpp"
#include "platform/seams/forwarding_file_system.hpp"
#include "tests/reliability/recording_file_system.hpp"
#include "util/resolved_path_cache.hpp"
#include "util/search_index.hpp"

namespace zelvane {
namespace {

class OneEntry final : public Listing {
public:
    std::optional<DirEntry> Next() override {
        if (given_) return std::nullopt;
        given_ = true;
        return DirEntry{"listed", {}};
    }

private:
    bool given_ = false;
};

// Writes down each call with its arguments and answers with what none of the defaults would.
class CallLog final : public FileSystem {
public:
    mutable std::vector<std::string> calls;

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override {
        Note("GetAttributes", path);
        out.hidden = true;
        return FsStatus::SharingViolation;
    }
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override {
        Note("SetAttributes", path, attributes.readOnly ? "readOnly" : "");
        return FsStatus::WriteProtected;
    }
    FsStatus OpenForRead(std::string_view path) const override { return Note("OpenForRead", path), FsStatus::IoError; }
    FsStatus FileSize(std::string_view path, std::uint64_t& size) const override {
        Note("FileSize", path);
        size = 12345;
        return FsStatus::TooLarge;
    }
    FsStatus ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const override {
        Note("ReadAll", path, std::to_string(limit));
        bytes = "inner bytes";
        return FsStatus::Ok;
    }
    FsStatus ReadHead(std::string_view path, std::string& bytes, std::size_t count) const override {
        Note("ReadHead", path, std::to_string(count));
        bytes = "head";
        return FsStatus::NotRegularFile;
    }
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override {
        return Note("WriteAll", path, bytes), FsStatus::DiskFull;
    }
    FsStatus Delete(std::string_view path) override { return Note("Delete", path), FsStatus::AccessDenied; }
    FsStatus Rename(std::string_view from, std::string_view to) override {
        return Note("Rename", from, to), FsStatus::NotSameDevice;
    }
    FsStatus Copy(std::string_view from, std::string_view to) override {
        return Note("Copy", from, to), FsStatus::AlreadyExists;
    }
    FsStatus CreateFolder(std::string_view path) override { return Note("CreateFolder", path), FsStatus::BadName; }
    FsStatus CanCreateFileIn(std::string_view folder) const override {
        return Note("CanCreateFileIn", folder), FsStatus::WriteProtected;
    }
    std::unique_ptr<Listing> List(std::string_view pattern) const override {
        Note("List", pattern);
        return std::make_unique<OneEntry>();
    }
    std::string ShortPath(std::string_view path) const override { return Note("ShortPath", path), "SHORT~1"; }
    std::string ResolvedPath(std::string_view path) const override {
        return Note("ResolvedPath", path), "D:\\elsewhere";
    }
    void SetRoots(std::vector<std::string> roots) override { Note("SetRoots", roots.empty() ? "" : roots[0]); }
    std::vector<std::string> Roots() const override { return Note("Roots"), std::vector<std::string>{"C:\\root"}; }
    bool SameVolume(std::string_view a, std::string_view b) const override { return Note("SameVolume", a, b), false; }
    void ForgetCachedState() override { Note("ForgetCachedState"); }
    std::string FolderStamp(std::string_view folder) const override { return Note("FolderStamp", folder), "stamp 7"; }

private:
    void Note(std::string_view call, std::string_view a = {}, std::string_view b = {}) const {
        calls.push_back(std::string(call) + "(" + std::string(a) + "," + std::string(b) + ")");
    }
};

std::string Text(FsStatus status) { return "status " + std::to_string(static_cast<int>(status)); }

struct Call {
    std::string reaching;                          // the call the inner file system must see
    std::function<std::string(FileSystem&)> make;  // makes the call on the wrapper; what it answered
    std::string answer;                            // what the inner file system answered, as make tells it
};

std::vector<Call> EveryCall() {
    return {
        {"GetAttributes(C:\\a,)",
         [](FileSystem& fs) {
             Attributes a;
             const FsStatus s = fs.GetAttributes("C:\\a", a);
             return Text(s) + (a.hidden ? " hidden" : "");
         },
         Text(FsStatus::SharingViolation) + " hidden"},
        {"SetAttributes(C:\\a,readOnly)",
         [](FileSystem& fs) { return Text(fs.SetAttributes("C:\\a", Attributes{.readOnly = true})); },
         Text(FsStatus::WriteProtected)},
        {"OpenForRead(C:\\a,)", [](FileSystem& fs) { return Text(fs.OpenForRead("C:\\a")); }, Text(FsStatus::IoError)},
        {"FileSize(C:\\a,)",
         [](FileSystem& fs) {
             std::uint64_t size = 0;
             const FsStatus status = fs.FileSize("C:\\a", size);
             return Text(status) + " " + std::to_string(size);
         },
         Text(FsStatus::TooLarge) + " 12345"},
        {"ReadAll(C:\\a,77)",
         [](FileSystem& fs) {
             std::string bytes;
             const FsStatus status = fs.ReadAll("C:\\a", bytes, 77);
             return Text(status) + " " + bytes;
         },
         Text(FsStatus::Ok) + " inner bytes"},
        {"ReadHead(C:\\a,8)",
         [](FileSystem& fs) {
             std::string bytes;
             const FsStatus status = fs.ReadHead("C:\\a", bytes, 8);
             return Text(status) + " " + bytes;
         },
         Text(FsStatus::NotRegularFile) + " head"},
        {"WriteAll(C:\\a,xyz)", [](FileSystem& fs) { return Text(fs.WriteAll("C:\\a", "xyz")); },
         Text(FsStatus::DiskFull)},
        {"Delete(C:\\a,)", [](FileSystem& fs) { return Text(fs.Delete("C:\\a")); }, Text(FsStatus::AccessDenied)},
        {"Rename(C:\\a,C:\\b)", [](FileSystem& fs) { return Text(fs.Rename("C:\\a", "C:\\b")); },
         Text(FsStatus::NotSameDevice)},
        {"Copy(C:\\a,C:\\b)", [](FileSystem& fs) { return Text(fs.Copy("C:\\a", "C:\\b")); },
         Text(FsStatus::AlreadyExists)},
        {"CreateFolder(C:\\a,)", [](FileSystem& fs) { return Text(fs.CreateFolder("C:\\a")); },
         Text(FsStatus::BadName)},
        {"CanCreateFileIn(C:\\a,)", [](FileSystem& fs) { return Text(fs.CanCreateFileIn("C:\\a")); },
         Text(FsStatus::WriteProtected)},
        {"List(C:\\a\\*.*,)",
         [](FileSystem& fs) {
             auto listing = fs.List("C:\\a\\*.*");
             if (!listing) return std::string("no listing");
             auto entry = listing->Next();
             return entry ? entry->name : std::string("empty");
         },
         "listed"},
        {"ShortPath(C:\\a,)", [](FileSystem& fs) { return fs.ShortPath("C:\\a"); }, "SHORT~1"},
        {"ResolvedPath(C:\\a,)", [](FileSystem& fs) { return fs.ResolvedPath("C:\\a"); }, "D:\\elsewhere"},
        {"SetRoots(C:\\root,)",
         [](FileSystem& fs) {
             fs.SetRoots({"C:\\root"});
             return std::string("set");
         },
         "set"},
        {"Roots(,)",
         [](FileSystem& fs) {
             const auto roots = fs.Roots();
             return roots.empty() ? std::string("none") : roots[0];
         },
         "C:\\root"},
        {"SameVolume(C:\\a,D:\\b)", [](FileSystem& fs) { return fs.SameVolume("C:\\a", "D:\\b") ? "same" : "not"; },
         "not"},
        {"ForgetCachedState(,)",
         [](FileSystem& fs) {
             fs.ForgetCachedState();
             return std::string("forgot");
         },
         "forgot"},
        {"FolderStamp(C:\\a,)", [](FileSystem& fs) { return fs.FolderStamp("C:\\a"); }, "stamp 7"},
    };
}

struct Plain {
    std::unique_ptr<FileSystem> Wrap(FileSystem& inner) { return std::make_unique<ForwardingFileSystem>(inner); }
};
struct Cache {
    std::unique_ptr<FileSystem> Wrap(FileSystem& inner) { return std::make_unique<ResolvedPathCache>(inner); }
};
struct IndexKeeping {
    SearchIndex index;
    std::unique_ptr<FileSystem> Wrap(FileSystem& inner) {
        return std::make_unique<IndexKeepingFileSystem>(inner, index);
    }
};
struct Recording {
    std::unique_ptr<FileSystem> Wrap(FileSystem& inner) {
        return std::make_unique<testing::RecordingFileSystem>(inner);
    }
};
struct Counting {
    std::unique_ptr<FileSystem> Wrap(FileSystem& inner) { return std::make_unique<bench::CountingFileSystem>(inner); }
};

template <typename Wrapper>
class ForwardingFileSystems : public ::testing::Test {};
using Wrappers = ::testing::Types<Plain, Cache, IndexKeeping, Recording, Counting>;
TYPED_TEST_SUITE(ForwardingFileSystems, Wrappers);

TYPED_TEST(ForwardingFileSystems, PassEveryCallOnAndItsAnswerBack) {
    for (const Call& call : EveryCall()) {
        CallLog inner;
        TypeParam wrapper;
        const std::unique_ptr<FileSystem> fs = wrapper.Wrap(inner);
        EXPECT_EQ(call.make(*fs), call.answer) << call.reaching;
        EXPECT_NE(std::find(inner.calls.begin(), inner.calls.end(), call.reaching), inner.calls.end())
            << call.reaching << " did not reach the inner file system";
    }
}

}  // namespace
}  // namespace zelvane
