#include "removal/restore_2da_prompts.hpp"

#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "util/common.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

const std::string kCrLfText(kCrLf);

std::string ReplaceTitle(std::string_view name) { return "Confirm " + std::string(name) + " replacement"; }

std::string BackupUninstallNote(std::string_view n) {
    return "\\cf10\\ul\\b NOTE:\\b0\\ulnone\\cf1  The \\cf5 " + std::string(n) +
           "\\cf1  in the override will be backed up in a folder named \\cf5 Backup Uninstall\\cf1\\ " +
           "located in the folder this program is being run from.\\par " + kCrLfText;
}

std::string WithComparison(std::string text, const std::optional<TableComparison>& comparison, std::string_view name) {
    if (comparison) text += ComparisonPromptText(*comparison, name);
    return text;
}

}  // namespace

int AskReplaceInOverride(RunState& run, const std::string& name, const std::optional<TableComparison>& comparison) {
    const std::string n = EscapeRtfText(name);
    const std::string text =
        "2da replacement is enabled. Would you like to replace the \\cf5 " + n +
        "\\cf1  in the override with the backup copy generated when you installed this mod?\\par " + kCrLfText +
        "\\par " + kCrLfText + BackupUninstallNote(n) + "\\par " + kCrLfText +
        "\\cf10\\ul\\b NOTE ALSO:\\b0\\ulnone\\cf2  If you have installed \\i any\\i0  mods that have altered the \\cf5 " +
        n +
        " \\cf2 since you installed this one then replacing it is probably a bad idea and \\b UNLESS\\b0  you "
        "\\b REALLY\\b0\\ know what you are doing then you are advised \\b NOT\\b0  to replace it.";
    PromptSpec spec = YesNoPrompt(ReplaceTitle(name));
    if (MergeOffered(comparison)) {
        spec.buttonCount = 3;
        spec.captions = {"&Yes", "&No", "&Merge", ""};
    }
    return AskPrompt(run, WithComparison(text, comparison, name), spec);
}

int AskRestoreAnyway(RunState& run, const std::string& name) {
    const std::string n = EscapeRtfText(name);
    const std::string text = "2da replacement is enabled.\\par " + kCrLfText + "However, no \\cf5 " + n +
                             "\\cf1  was found in the override.\\par " + kCrLfText + "\\par " + kCrLfText +
                             "Restore the backup \\cf5 " + n + "\\cf1  anyway?";
    return AskPrompt(run, text, YesNoPrompt(ReplaceTitle(name)));
}

// The new button comes last, so that the others keep their numbers.
int AskFoundFile(RunState& run, const std::string& name, const std::string& found,
                 const std::optional<TableComparison>& comparison) {
    const std::string n = EscapeRtfText(name);
    const std::string text =
        "2da replacement is enabled. Would you like to replace the \\cf5 " + n + "\\cf1  located at \\cf5 " +
        kCrLfText + EscapeRtfText(DoubleSlash(found)) +
        "\\cf1 with the backup copy generated when you installed this mod?\\par " + kCrLfText + "\\par " + kCrLfText +
        "Selecting \\cf7\\b yes\\b0\\cf1  will replace the file.\\par " + kCrLfText +
        "Selecting \\cf7\\b no\\b0\\cf1  will allow you to locate the replace target yourself.\\par " + kCrLfText +
        "Selecting \\cf7\\b cancel\\b0\\cf1  will abort and allow you to do it manually.\\par " + kCrLfText +
        kCrLfText + BackupUninstallNote(n) + "\\par " + kCrLfText +
        "\\cf10\\ul\\b NOTE ALSO:\\b0\\ulnone\\cf2  If you have installed any mods that have altered the \\cf5 " + n +
        "\\cf2  since you installed this one then replacing it is probably a bad idea and \\b UNLESS\\b0  you "
        "\\b REALLY\\b0\\ know what you are doing then you are advised \\b NOT\\b0  to replace it.";
    PromptSpec spec;
    spec.title = ReplaceTitle(name);
    spec.buttonCount = 3;
    spec.captions = {"&Yes", "&No", "&Cancel", ""};
    spec.focusIndex = 2;
    spec.formatWidth = 7500;
    if (MergeOffered(comparison)) {
        spec.buttonCount = 4;
        spec.captions[3] = "&Merge";
    }
    return AskPrompt(run, WithComparison(text, comparison, name), spec);
}

int AskInvalidFile(RunState& run, const std::string& name) {
    return AskPrompt(run,
                     "Invalid file - Would you like to abort this \\cf5 " + EscapeRtfText(name) +
                         "\\cf1  replacement operation?",
                     YesNoPrompt("Hmm"));
}

bool MergeOffered(const std::optional<TableComparison>& comparison) {
    return comparison && comparison->merge == MergeOffer::Offered;
}

}  // namespace zelvane
