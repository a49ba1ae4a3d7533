#include "app/startup.hpp"

#include <exception>

#include "description/loader.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/common.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

constexpr const char* kDesignCaption = "Zelvane";
constexpr const char* kFormLoad = "Form Load";

std::string MissingDescriptionText() {
    std::string text = "The uninstall_data.ini file was not found.";
    text += kCrLf;
    text += "Cannot continue without it.";
    return text;
}

std::string DescriptionRefusedText(const std::string& why) {
    std::string text = "The uninstall_data.ini file " + why + ".";
    text += kCrLf;
    text += "Cannot continue without it.";
    return text;
}

// The information document is left out rather than shown.
void TellDocumentRefused(UserInterface& ui, const std::string& why) {
    ui.ShowMessage("The uninstall_info.rtf file " + why + ", so it is not shown.", "Error", kMbOk | kMbIconExclamation);
}

// The working copy would land outside the program folder: the uninstall folder or the copy's own
// name is a link that leads out (a mod archive can carry one).
std::string WorkingCopyRefusedText() {
    std::string text =
        "uninstall_data20A.ini was not written: the uninstall folder or that file leads outside the "
        "program folder through a link.";
    text += kCrLf;
    text += "Remove the link and start the program again.";
    return text;
}

// uninstall\uninstall_data20A.ini beside the description.
std::string WorkingCopyPath(const FileSystem& fs, const std::string& descriptionPath) {
    return AddBackslash(GetFolderPart(fs, descriptionPath)) + GetBaseName(descriptionPath) + "20A.ini";
}

void DeleteWorkingCopy(StartupContext& context, const std::string& descriptionPath) {
    context.ui.DoEvents();
    if (descriptionPath.empty()) return;
    KillFile(context.fs, context.ui, WorkingCopyPath(context.fs, descriptionPath), false);
}

void ApplyDefaults(UninstallDescription& d, int twipsPerPixelX) {
    if (d.DefaultFormatWidth <= 0) d.DefaultFormatWidth = 500 * twipsPerPixelX;
    if (d.ConfirmTitle.empty()) d.ConfirmTitle = "Confirm Remove Mod";
    if (d.ConfirmMessage.empty()) {
        d.ConfirmMessage = kBuiltInConfirmMessage;
        d.ConfirmFormatWidth = 300 * twipsPerPixelX;
    }
    if (d.ExplicitIcon <= 0) d.ExplicitIcon = 1;
    if (d.ExplicitTitle.empty()) d.ExplicitTitle = "VERY IMPORTANT!!!";
}

// Runs the start-up sequence up to its end state; ProgramError reaches the caller's handler.
// Returns true for the normal end, false for the INI-error state (its message already shown).
bool LoadDescription(StartupContext& context, StartupOutcome& outcome) {
    UninstallDescription& d = outcome.description;
    d.DescriptionPath = AddBackslash(context.programFolder) + "uninstall\\uninstall_data.ini";
    const std::string refused = ReadRefusal(context.fs, d.DescriptionPath, kDescriptionLimit);
    if (!refused.empty()) {
        context.ui.ShowMessage(DescriptionRefusedText(refused), "Aborting", kMbIconExclamation | kMbSystemModal);
        return false;
    }
    if (!FileExists(context.fs, d.DescriptionPath)) {
        context.ui.ShowMessage(MissingDescriptionText(), "Aborting", kMbIconExclamation | kMbSystemModal);
        return false;
    }

    const std::string workingCopy = WorkingCopyPath(context.fs, d.DescriptionPath);
    const FsStatus copied = context.fs.Copy(d.DescriptionPath, workingCopy);
    if (copied == FsStatus::OutsideRoots) {
        context.ui.ShowMessage(WorkingCopyRefusedText(), "Aborting", kMbIconExclamation | kMbSystemModal);
        return false;
    }
    if (copied != FsStatus::Ok) throw FileSystemError(copied);
    context.ui.DoEvents();

    const LoaderContext loaderContext{context.fs, context.programFolder, workingCopy, context.ui.TwipsPerPixelX()};
    LoadResult result = LoadUninstallDescription(d, loaderContext);
    switch (result.outcome) {
        case LoadOutcome::EndOfFile: return true;
        case LoadOutcome::Aborted:
            context.ui.ShowMessage(result.abortMessage, "Aborting", kMbIconInformation | kMbSystemModal);
            return false;
        case LoadOutcome::Failed: break;
    }
    throw result.error;
}

void EnterIniError(StartupContext& context, StartupOutcome& outcome) {
    DeleteWorkingCopy(context, outcome.description.DescriptionPath);
    outcome.state = StartupState::IniError;
    outcome.caption = outcome.description.HasWindowCaption ? outcome.description.WindowCaption : kDesignCaption;
}

}  // namespace

StartupOutcome RunStartup(StartupContext& context) {
    StartupOutcome outcome;
    outcome.caption = kDesignCaption;
    if (context.instance.AnotherInstanceRunning()) {
        outcome.state = StartupState::Ended;
        return outcome;
    }

    // From here on the program changes nothing outside its own folder; a removal run adds the
    // game folder once it is known.
    context.fs.SetRoots({context.programFolder});
    try {
        outcome.documentPath = AddBackslash(context.programFolder) + "uninstall\\uninstall_info.rtf";
        outcome.documentPresent = FileExists(context.fs, outcome.documentPath);
        if (const std::string refused = ReadRefusal(context.fs, outcome.documentPath, kDocumentLimit);
            !refused.empty()) {
            TellDocumentRefused(context.ui, refused);
            outcome.documentPresent = false;
        }

        if (!LoadDescription(context, outcome)) {
            EnterIniError(context, outcome);
            return outcome;
        }

        outcome.caption = outcome.description.HasWindowCaption ? outcome.description.WindowCaption
                                                               : "Zelvane - Version: " + AppVersion();
        if (outcome.documentPresent && context.showDocument && !context.showDocument(outcome.documentPath)) {
            // The program ends here; the working copy goes with it rather than lingering.
            DeleteWorkingCopy(context, outcome.description.DescriptionPath);
            outcome.state = StartupState::Ended;
            return outcome;
        }
        DeleteWorkingCopy(context, outcome.description.DescriptionPath);

        ApplyDefaults(outcome.description, context.ui.TwipsPerPixelX());
        outcome.state = outcome.documentPresent ? StartupState::Normal : StartupState::NormalWithoutDocument;
        return outcome;
    } catch (const std::exception& failure) {
        ReportFailure(context.ui, failure, kFormLoad);
    }
    try {
        EnterIniError(context, outcome);
    } catch (const std::exception&) {
        outcome.state = StartupState::IniError;
    }
    return outcome;
}

}  // namespace zelvane
