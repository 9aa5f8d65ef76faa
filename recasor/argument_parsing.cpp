#include "argument_parsing.h"

#include <string>

#include <CLI/CLI.hpp>

#include "settings.h"

namespace recasor {

ParsedArguments ParseArguments(int argc, const char* const* argv, const char* version)
{
    ParsedArguments result;
    RecasorOptions& options = result.options;
    CLI::App app{"recasor: uniform keyword case for BASIC sources.\n"
                 "Rewrites the files that change in place; with no PATH and standard input\n"
                 "not a terminal, or with \"-\", converts standard input to standard output.",
                 "recasor"};
    app.set_version_flag("--version", std::string("recasor ") + version);
    app.add_option("PATH", options.paths, "files and folders (folders are walked for the included files)");
    CLI::Option* check = app.add_flag("--check")->description("write nothing; list the files that would change (exit 1 if any)");
    CLI::Option* diff = app.add_flag("--diff")->description("write nothing; show what would change as a unified diff (exit 1 if any)");
    check->excludes(diff);
    Dialect dialect{};
    CLI::Option* dialectOption = app.add_option("--dialect", dialect, "freebasic (default) or powerbasic")
                                     ->transform(CLI::CheckedTransformer(DialectNames()))
                                     ->option_text("freebasic|powerbasic");
    CaseMode keywordCase{};
    CLI::Option* caseOption = app.add_option("--case", keywordCase, "keywords in mixed (default), upper or lower case")
                                  ->transform(CLI::CheckedTransformer(CaseModeNames()))
                                  ->option_text("mixed|upper|lower");
    std::string vocabulary;
    CLI::Option* vocabularyOption =
        app.add_option("--vocabulary", vocabulary, "the vocabulary file (default: the Keywords.ini installed with recasor)")
            ->option_text("FILE");
    IdentifierCase identifiers{};
    CLI::Option* identifiersOption =
        app.add_option("--identifiers", identifiers,
                       "declared names written as their declaration (default) or kept as they stand")
            ->transform(CLI::CheckedTransformer(IdentifierCaseNames()))
            ->option_text("declaration|keep");
    std::vector<std::string> include, exclude;
    // One pattern per option, given as often as needed.
    CLI::Option* includeOption =
        app.add_option("--include", include, "a file pattern that folder walks take (default: *.bas *.bi *.inc)")
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->allow_extra_args(false)
            ->option_text("PATTERN");
    CLI::Option* excludeOption = app.add_option("--exclude", exclude, "a file or folder pattern that folder walks skip")
                                     ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->allow_extra_args(false)
                                     ->option_text("PATTERN");
    CLI::Option* noSettings = app.add_flag("--no-settings")->description("look for no .recasor.toml settings files");
    app.add_option("-j,--jobs", options.jobs, "files converted at once (default: one per processor)")
        ->check(CLI::Range(1u, 64u))
        ->option_text("N");
    std::string stdinFileName;
    CLI::Option* stdinFileNameOption =
        app.add_option("--stdin-filename", stdinFileName,
                       "convert standard input with the settings (and the dialect of the extension) of this file")
            ->option_text("PATH");
    CLI::App* lsp = app.add_subcommand(
        "lsp", "serve the Language Server Protocol on standard input and output (for editors)");
    lsp->fallthrough();  // recasor lsp --case upper: the conversion options apply

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        int code = app.exit(error);
        result.exitNow = code == 0 ? 0 : 2;
        return result;
    }
    options.languageServer = lsp->parsed();
    bool namesFiles = !options.paths.empty() && !(options.paths.size() == 1 && options.paths[0] == "-");
    const char* conflict = nullptr;
    if (options.languageServer && (!options.paths.empty() || *check || *diff || *stdinFileNameOption))
        conflict = "lsp takes no PATH, --check, --diff or --stdin-filename";
    else if (*stdinFileNameOption && namesFiles)
        conflict = "--stdin-filename is for standard input: give no PATH, or \"-\"";
    if (conflict != nullptr) {
        app.exit(CLI::ValidationError(conflict));
        result.exitNow = 2;
        return result;
    }
    if (*stdinFileNameOption) options.stdinFileName = stdinFileName;
    if (*diff) options.mode = RunMode::Diff;
    if (*check) options.mode = RunMode::Check;
    if (*dialectOption) options.dialect = dialect;
    if (*caseOption) options.keywordCase = keywordCase;
    if (*vocabularyOption) options.vocabulary = vocabulary;
    if (*identifiersOption) options.identifiers = identifiers;
    if (*includeOption) options.include = include;
    if (*excludeOption) options.exclude = exclude;
    options.useSettings = !*noSettings;
    return result;
}

}  // namespace recasor
