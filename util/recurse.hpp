#pragma once
// Depth-first search of a folder tree for the first file with a given name.

#include <functional>
#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"

namespace zelvane {

struct SearchState {
    bool found = false;  // SearchFound
    std::string result;  // SearchResult: folder of the match + "\" + the name as listed
};

// pattern is a folder path followed by "\*.*". doEvents runs after every fetched entry and after a hit.
void RecurseFiles_FindFile(const FileSystem& fs, std::string_view pattern, std::string_view fileName, bool recurse,
                           SearchState& state, const std::function<void()>& doEvents = {});

}  // namespace zelvane
