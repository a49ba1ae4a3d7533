#include "app/console/console_options.hpp"

#include <CLI/CLI.hpp>

#include <string>

#include "app/console/console_host.hpp"
#include "util/common.hpp"

namespace zelvane::console {

ParsedCommandLine ParseCommandLine(int argc, char** argv) {
    ConsoleOptions o;
    const SystemHelp help = HelpOfThisSystem();
    const std::string description =
        "zelvane-console removes an installed mod from Kotor (K1) or Kotor 2 TSL (K2) as the mod's author\n"
        "described it in uninstall/uninstall_data.ini of the mod's folder, and saves the removal log as\n"
        "uninstall/removal_results.rtf there. The mod's folder is MODDIR (or --program-folder), else the\n"
        "current folder when it holds uninstall/ (cd MyMod && zelvane-console), else the executable's\n"
        "folder." +
        std::string(help.paths) +
        " After a run it prints a summary, and the log itself,\n"
        "rendered, when no viewer opened it (--no-open, or " +
        std::string(help.noViewer) +
        ").\n"
        "\n"
        "Every prompt is printed (title, text, numbered buttons) and answered by a button number, the\n"
        "button's letter, or 'close'. Answers come from standard input, or from --answers FILE: one answer\n"
        "a line, in the order the run asks:\n"
        "  a prompt:            a 0-based button index, or close (-1)\n"
        "  the folder dialog:   a folder" +
        std::string(help.pathForms) +
        ", or cancel\n"
        "  the open-file dialog: a file" +
        std::string(help.pathForms) +
        ", or cancel\n"
        "Blank lines and lines beginning with # are not answers; at a terminal, Enter alone answers the\n"
        "button marked '<- focus'. When the answers run out the program stops at once with status 3,\n"
        "before it changes anything more.\n"
        "\n"
        "Before the 2da restore puts a table back from its backup, its question shows what replacing the\n"
        "table in use would remove or change. With --mod-folder it also offers Merge (answered by its\n"
        "number or M): only this mod's own changes are taken out of the table in use, every change of\n"
        "later mods is kept; where a later mod changed what this mod changed, the conflicts are listed\n"
        "instead.\n"
        "\n" +
        std::string(help.gameFolder) +
        "\n"
        "\n"
        "Exit status:\n"
        "  0   the run completed without a counted error, or was declined (also --usage" +
        std::string(help.printOnlyOptions) +
        ")\n"
        "  1   the INI file has errors (removal disabled)\n" +
        std::string(help.exitStopped) +
        "  3   the answers ran out (answers file exhausted, standard input closed) or named no button\n"
        "  4   another run holds this program folder\n"
        "  5   the run completed, but its log counts errors (a dry run: the log it would have saved)\n"
        "  64  bad command line: an unknown option, a missing value, a MODDIR, --program-folder or\n"
        "      --mod-folder that does not exist, an unusable " +
        std::string(help.optionFiles) +
        "\n"
        "\n"
        "NO_COLOR set turns the colours off.\n"
        "\n"
        "Mod authors: --check reads uninstall/uninstall_data.ini as start-up reads it and prints every\n"
        "problem at once, as MODDIR/uninstall/uninstall_data.ini:LINE: error|warning|note: text, then a\n"
        "summary line. It changes no file. Exit status of --check: 0 clean, 1 errors (start-up or the\n"
        "removal would stop), 2 warnings only, 64 bad command line." +
        std::string(help.seeAlso);
    CLI::App app{description, "zelvane-console"};
    CLI::Option* programFolder =
        app.add_option("--program-folder", o.programFolder,
                       "The mod's program folder, which holds uninstall/ (default: MODDIR, else the current "
                       "folder when it holds uninstall/, else the executable's folder)");
    app.add_option("MODDIR", o.modDir, "The mod's program folder, as --program-folder names it")
        ->excludes(programFolder);
    app.add_option(
        "--game-folder", o.gameFolder,
        "The game's main folder" + std::string(help.pathForms) +
            ", for K1 and K2 alike; it must hold the "
            "game's dialog.tlk. Wins over " +
            std::string(help.gameFolderWinsOver) +
            ". With --check: reports "
            "which entries it holds, which only in a subfolder of override, which .original files are there, "
            "and what putting each 2da table back would remove or change");
    AddSystemOptions(app, o);
    app.add_flag("--dry-run", o.dryRun,
                 "Run everything, prompts included, but change nothing on disk: print each change the run "
                 "would make with its outcome, and the log it would save");
    app.add_option("--answers", o.answersFile, "Answers to the prompts and dialogs, one a line (see above)");
    app.add_flag("--no-open", o.noOpen,
                 "Do not open the saved documents; print where they were saved, and the removal log rendered");
    app.add_flag("--no-color", o.noColor,
                 "Plain text, as when NO_COLOR is set (colours are off anyway when stdout is not a terminal)");
    app.add_flag("--usage", o.usage,
                 "Write uninstall/Zelvane Usage.rtf, the guide for mod authors (\"For Modders\"), open it and exit");

    // The check of a description for mod authors.
    app.add_flag("--check", o.check,
                 "Check uninstall/uninstall_data.ini of the program folder for mistakes and exit (changes nothing)");
    app.add_option("--mod-folder", o.modFolder,
                   "The mod's files as it installs them (its override folder with its own 2da tables), or a game "
                   "folder after installing it. In a run: the 2da questions offer Merge, which takes only this mod's "
                   "changes out of the table in use and keeps those of later mods, where no later mod changed what "
                   "this mod changed. With "
                   "--check: reports entries the mod does not contain and mod files no entry removes, and whether "
                   "a merge is possible");

    app.set_version_flag("--version", "zelvane-console " + AppVersion(), "Print the version and exit");

    ParsedCommandLine result;
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        result.exitCode = app.exit(e);
        return result;
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        result.exitCode = kExitBadUse;
        return result;
    }
    result.options = o;
    return result;
}

}  // namespace zelvane::console
