// Settings files, their precedence against the command line, the command
// line itself, and the unified diff.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "argument_parsing.h"
#include "settings.h"
#include "unified_diff.h"

using namespace recasor;

TEST(Settings, EveryKey)
{
    ProjectSettings settings;
    std::string error;
    ASSERT_TRUE(ParseSettings("dialect = \"powerbasic\"\ncase = \"upper\"\nvocabulary = \"v/K.ini\"\n"
                              "include = [\"*.bas\"]\nexclude = [\"build\", \"lib/*\"]\n"
                              "extra-words = [\"hWnd\", \"My$\"]\nkept-words = [\"name\"]\n",
                              settings, error))
        << error;
    EXPECT_EQ(settings.dialect, Dialect::PowerBasic);
    EXPECT_EQ(settings.keywordCase, CaseMode::Upper);
    EXPECT_EQ(settings.vocabulary, "v/K.ini");
    EXPECT_EQ(settings.include, std::vector<std::string>{"*.bas"});
    EXPECT_EQ(settings.exclude, (std::vector<std::string>{"build", "lib/*"}));
    EXPECT_EQ(settings.extraWords, (std::vector<std::string>{"hWnd", "My$"}));
    EXPECT_EQ(settings.keptWords, std::vector<std::string>{"name"});
}

TEST(Settings, ProblemsNameTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"dialect = \"qbasic\"", "line 1: dialect must be one of \"freebasic\", \"powerbasic\""},
        {"\ncase = 3", "line 2: case must be a string"},
        {"case = \"title\"", "line 1: case must be one of \"lower\", \"mixed\", \"upper\""},
        {"colour = \"red\"", "line 1: unknown key colour"},
        {"include = \"*.bas\"", "line 1: include must be an array of strings"},
        {"kept-words = [\"two words\"]",
         "line 1: kept-words: \"two words\" is not one word (letters, digits and _ % & $ . ! ? @)"},
    };
    for (const Case& c : cases) {
        ProjectSettings settings;
        std::string error;
        EXPECT_FALSE(ParseSettings(c.text, settings, error)) << c.text;
        EXPECT_EQ(error, c.error);
    }
    ProjectSettings settings;
    std::string error;
    EXPECT_FALSE(ParseSettings("dialect = ", settings, error));
    EXPECT_TRUE(error.starts_with("line 1: ")) << error;
}

TEST(Settings, CommandLineWinsOverSettingsOverDefaults)
{
    ProjectSettings settings;
    settings.dialect = Dialect::PowerBasic;
    settings.keywordCase = CaseMode::Lower;
    settings.vocabulary = "../words/K.ini";
    settings.include = {"*.inc"};
    settings.exclude = {"old"};

    RecasorOptions none;
    ConversionSettings plain = ResolveConversion(none, nullptr, "", "/usr/share/recasor/Keywords.ini");
    EXPECT_EQ(plain.dialect, Dialect::FreeBasic);
    EXPECT_EQ(plain.keywordCase, CaseMode::Mixed);
    EXPECT_EQ(plain.vocabularyPath, "/usr/share/recasor/Keywords.ini");
    EXPECT_EQ(ResolveSelection(none, nullptr, "").include, kDefaultInclude);

    ConversionSettings fromFile = ResolveConversion(none, &settings, "/p/src", "/d/K.ini");
    EXPECT_EQ(fromFile.dialect, Dialect::PowerBasic);
    EXPECT_EQ(fromFile.keywordCase, CaseMode::Lower);
    EXPECT_EQ(fromFile.vocabularyPath, "/p/words/K.ini");
    FileSelection selection = ResolveSelection(none, &settings, "/p/src");
    EXPECT_EQ(selection.include, std::vector<std::string>{"*.inc"});
    EXPECT_EQ(selection.exclude, std::vector<std::string>{"old"});
    EXPECT_EQ(selection.excludeBase, "/p/src");

    RecasorOptions given;
    given.keywordCase = CaseMode::Upper;
    given.vocabulary = "mine.ini";
    given.exclude = std::vector<std::string>{};
    ConversionSettings both = ResolveConversion(given, &settings, "/p/src", "/d/K.ini");
    EXPECT_EQ(both.dialect, Dialect::PowerBasic);
    EXPECT_EQ(both.keywordCase, CaseMode::Upper);
    EXPECT_EQ(both.vocabularyPath, "mine.ini");
    EXPECT_TRUE(ResolveSelection(given, &settings, "/p/src").exclude.empty());
}

TEST(ParsedArguments, OptionsAndTheirErrors)
{
    auto parse = [](std::vector<const char*> args) {
        args.insert(args.begin(), "recasor");
        return ParseArguments(static_cast<int>(args.size()), args.data(), "9.9");
    };
    ParsedArguments full = parse({"--diff", "--dialect", "powerbasic", "--case", "lower", "--include", "*.x", "--include",
                              "*.y", "-j", "3", "src", "a.bas"});
    ASSERT_FALSE(full.exitNow);
    EXPECT_EQ(full.options.mode, RunMode::Diff);
    EXPECT_EQ(full.options.dialect, Dialect::PowerBasic);
    EXPECT_EQ(full.options.keywordCase, CaseMode::Lower);
    EXPECT_EQ(full.options.include, (std::vector<std::string>{"*.x", "*.y"}));
    EXPECT_FALSE(full.options.exclude);
    EXPECT_EQ(full.options.jobs, 3u);
    EXPECT_EQ(full.options.paths, (std::vector<std::string>{"src", "a.bas"}));

    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(parse({"--check", "--diff"}).exitNow, 2);
    EXPECT_EQ(parse({"--case", "title"}).exitNow, 2);
    EXPECT_EQ(parse({"--jobs", "0"}).exitNow, 2);
    EXPECT_EQ(parse({"--bogus"}).exitNow, 2);
    EXPECT_EQ(parse({"--help"}).exitNow, 0);
    std::string out = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("Usage: recasor [OPTIONS] [PATH...]"), std::string::npos) << out;
}

TEST(UnifiedDiff, HunksWithThreeLinesOfContext)
{
    std::string before = "a\nb\nc\nd\ndim\ne\nf\ng\nh\ni\nj\nk\nl\nprint\nwhile\r\n";
    std::string after = "a\nb\nc\nd\nDim\ne\nf\ng\nh\ni\nj\nk\nl\nPrint\nWhile\r\n";
    EXPECT_EQ(UnifiedDiff("p.bas", before, after),
              "--- p.bas\n+++ p.bas\n"
              "@@ -2,7 +2,7 @@\n b\n c\n d\n-dim\n+Dim\n e\n f\n g\n"
              "@@ -11,5 +11,5 @@\n j\n k\n l\n-print\n-while\n+Print\n+While\n");
    EXPECT_EQ(UnifiedDiff("p.bas", before, before), "");
}
