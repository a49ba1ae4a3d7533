#include "util/recurse.hpp"

#include "util/common.hpp"
#include "util/strings.hpp"

namespace zelvane {

void RecurseFiles_FindFile(const FileSystem& fs, std::string_view pattern, std::string_view fileName, bool recurse,
                           SearchState& state, const std::function<void()>& doEvents) {
    auto listing = fs.List(pattern);  // closed when it goes out of scope, also after a hit
    if (!listing) return;
    const std::string folder(pattern.substr(0, pattern.size() >= 3 ? pattern.size() - 3 : 0));
    const std::string wanted = LowerCase(fileName);
    auto entry = listing->Next();
    while (entry && !state.found) {
        const std::string& name = entry->name;
        if (name != "." && name != "..") {
            if (entry->attributes.directory) {
                // Folder links are not followed: they may lead out of the tree or round in a circle.
                if (!entry->attributes.system && !entry->attributes.link && recurse) {
                    RecurseFiles_FindFile(fs, folder + name + "\\*.*", fileName, recurse, state, doEvents);
                }
            } else if (LowerCase(GetFileName(name)) == wanted && !state.found) {
                state.found = true;
                state.result = folder + name;
                if (doEvents) doEvents();
                return;
            }
        }
        entry = listing->Next();
        if (!entry) break;
        if (doEvents) doEvents();
    }
}

}  // namespace zelvane
