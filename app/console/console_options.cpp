#include "app/console/console_options.hpp"

#include <CLI/CLI.hpp>

#include <string>

#include "app/console/console_host.hpp"

namespace zelvane::console {

ParsedCommandLine ParseCommandLine(int argc, char** argv) {
    ConsoleOptions o;
    const SystemHelp help = HelpOfThisSystem();
    const std::string description =
        "zelvane-console removes an installed mod from Kotor (K1) or Kotor 2 TSL (K2) as the mod's author\n"
        "described it in uninstall/uninstall_data.ini beside the program, and saves the removal log as\n"
        "uninstall/removal_results.rtf." + std::string(help.paths) + "\n"
        "\n"
        "Every prompt is printed (title, text, numbered buttons) and answered by a button number, the\n"
        "button's letter, or 'close'. Answers come from standard input, or from --answers FILE: one answer\n"
        "a line, in the order the run asks:\n"
        "  a prompt:            a 0-based button index, or close (-1)\n"
        "  the folder dialog:   a folder" + std::string(help.pathForms) + ", or cancel\n"
        "  the open-file dialog: a file" + std::string(help.pathForms) + ", or cancel\n"
        "Blank lines and lines beginning with # are not answers. When the answers run out the program\n"
        "stops at once with status 3, before it changes anything more.\n"
        "\n" + std::string(help.gameFolder) + "\n"
        "\n"
        "Exit status: 0 run completed or declined (and --usage" + std::string(help.printOnlyOptions) + "), 1 the INI file has errors\n"
        "(removal disabled), 2 the run stopped or failed (also a --game-folder that is no game folder),\n"
        "3 answers exhausted or bad arguments, 4 another instance already runs for the same program folder.\n"
        "\n"
        "Mod authors: --check reads uninstall/uninstall_data.ini as start-up reads it and prints every\n"
        "problem at once, as uninstall_data.ini:LINE: error|warning|note: text, then a summary line. It\n"
        "changes no file. Exit status of --check: 0 clean, 1 errors (start-up or the removal would\n"
        "stop), 2 warnings only." + std::string(help.seeAlso);
    CLI::App app{description, "zelvane-console"};
    app.add_option("--program-folder", o.programFolder,
                   "The mod's program folder, which holds uninstall/ (default: the executable's folder)");
    app.add_option("--game-folder", o.gameFolder,
                   "The game's main folder" + std::string(help.pathForms) + ", for K1 and K2 alike; it must hold the "
                   "game's dialog.tlk. Wins over " + std::string(help.gameFolderWinsOver) + ". With --check: reports "
                   "which entries it holds, which only in a subfolder of override, and which .original files are there");
    AddSystemOptions(app, o);
    app.add_flag("--dry-run", o.dryRun,
                 "Run everything, prompts included, but change nothing on disk: print each change the run "
                 "would make with its outcome, and the log it would save");
    app.add_option("--answers", o.answersFile, "Answers to the prompts and dialogs, one a line (see above)");
    app.add_flag("--no-open", o.noOpen, "Do not open the saved documents; print where they were saved");
    app.add_flag("--no-color", o.noColor, "Plain text (colours are off anyway when stdout is not a terminal)");
    app.add_flag("--usage", o.usage,
                 "Write uninstall/Zelvane Usage.rtf, the guide for mod authors (\"For Modders\"), open it and exit");

    // The check of a description for mod authors.
    CLI::Option* check =
        app.add_flag("--check", o.check,
                     "Check uninstall/uninstall_data.ini of the program folder for mistakes and exit (changes nothing)");
    app.add_option("--mod-folder", o.modFolder,
                   "With --check: the mod's files as it installs them (or a game folder after installing it); "
                   "reports entries the mod does not contain and mod files no entry removes")
        ->needs(check);

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
