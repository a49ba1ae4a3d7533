#include "removal/run_state.hpp"

#include "removal/removal_log.hpp"
#include "util/program_error.hpp"

namespace zelvane {

RunState::RunState(UninstallDescription& d, RunContext& c)
    : description(d), context(c), game(d.Game), indexedFs(c.fs, searchIndex), resolvedFs(indexedFs) {
    folders.programFolder = c.programFolder;
}

std::string RelativeDisplay(const RunState& run, std::string_view path) {
    return LogDisplay(PathRelative(path, "", run.folders));
}

void ThrowIfFailed(FsStatus status) {
    if (status != FsStatus::Ok) throw FileSystemError(status);
}

}  // namespace zelvane
