#pragma once
// A description file and its working copy in an in-memory program folder.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"

namespace zelvane::testing {

inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

class LoadFixture : public ::testing::Test {
protected:
    const std::string program = "C:\\Mods\\Robes";
    const std::string descriptionPath = program + "\\uninstall\\uninstall_data.ini";
    const std::string workingCopyPath = program + "\\uninstall\\uninstall_data20A.ini";
    MemoryFileSystem fs;
    UninstallDescription d;

    LoadResult Load(std::string_view text) {
        fs.AddFile(descriptionPath, text);
        fs.AddFile(workingCopyPath, text);
        d.DescriptionPath = descriptionPath;
        return LoadUninstallDescription(d, LoaderContext{fs, program, workingCopyPath, 15});
    }
    LoadResult Load(std::initializer_list<std::string_view> lines) { return Load(CrLfLines(lines)); }
};

inline int FailureNumber(const LoadResult& result) {
    return result.outcome == LoadOutcome::Failed ? result.error.Number() : -1;
}

}  // namespace zelvane::testing
