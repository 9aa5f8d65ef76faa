#include "driver.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "command_line.h"
#include "keyword_case.h"
#include "line_marks.h"
#include "line_reader.h"
#include "output_file.h"
#include "platform.h"
#include "source_file.h"
#include "vocabulary_file.h"
#include "vocabulary_options.h"

using namespace recasor;

namespace {

const char* kUsageText =
    "Commandline-Syntax:\n"
    "   \"TRX.EXE\" \"filename.bas\" -parameters\n"
    "\n"
    "Parameters:\n"
    "   -m = Make keywords MixedCase (default)\n"
    "   -l   = Make keywords LowerCase\n"
    "   -u  = Make keywords UppperCase\n"
    "\n"
    "   -f   = FreeBasic (default)\n"
    "   -p  = PowerBasic\n";

// Collects output bytes and hands them to the file in large blocks. The
// block is never cleared: only the bytes written into it are touched.
constexpr size_t kOutputBlock = 1 << 18;

struct OutputBuffer {
    std::FILE* file = nullptr;
    std::unique_ptr<char[]> bytes{new char[kOutputBlock]};
    size_t used = 0;
    bool failed = false;
};

void Flush(OutputBuffer& output)
{
    if (output.used > 0 && std::fwrite(output.bytes.get(), 1, output.used, output.file) != output.used)
        output.failed = true;
    output.used = 0;
}

// Pieces of at least this size go straight to the file once the collected
// bytes are out: copying them first would only add a pass over the data.
constexpr size_t kWriteStraight = kOutputBlock / 4;

void Write(OutputBuffer& output, const char* bytes, size_t length)
{
    if (kOutputBlock - output.used < length || length >= kWriteStraight) {
        Flush(output);
        if (length >= kWriteStraight) {
            if (std::fwrite(bytes, 1, length, output.file) != length) output.failed = true;
            return;
        }
    }
    std::memcpy(output.bytes.get() + output.used, bytes, length);
    output.used += length;
}

// Writes the converted lines of a batch, each ending CR LF: the bytes as
// they stand but for the line ends that are not CR LF already.
void WriteBatch(OutputBuffer& output, const LineBatch& batch, const LineMarks& lines)
{
    if (lines.allEndInCrLf) {
        Write(output, batch.block, batch.blockLength);
        return;
    }
    size_t unchangedFrom = 0;
    for (size_t word = 0; word < lines.blockCount; ++word) {
        for (uint64_t bits = lines.otherEnds[word]; bits != 0; bits &= bits - 1) {
            size_t textEnd = 64 * word + static_cast<size_t>(__builtin_ctzll(bits));
            Write(output, batch.block + unchangedFrom, textEnd - unchangedFrom);
            Write(output, "\r\n", 2);
            unchangedFrom = textEnd + (batch.block[textEnd] == '\n' ? 1 : 3);  // LF, or CR CR LF
        }
    }
    bool lastLineUnended = batch.blockLength > 0 && batch.block[batch.blockLength - 1] != '\n';
    if (lastLineUnended) {
        // The input's last line: its text, then CR LF (for the CR that may end it).
        Write(output, batch.block + unchangedFrom, lines.textEnd - unchangedFrom);
        Write(output, "\r\n", 2);
        unchangedFrom = batch.blockLength;
    }
    Write(output, batch.block + unchangedFrom, batch.blockLength - unchangedFrom);
}

// Converts the whole input into the output. Stops at the first write error
// (LineReadResult::Stopped). Throws std::bad_alloc when a line does not fit
// in memory.
LineReadResult ConvertStream(std::FILE* input, std::FILE* outputFile, const KeywordSet& set)
{
    OutputBuffer output;
    output.file = outputFile;
    LineMarks lines;
    LineReadResult read = ReadLines(input, [&](LineBatch& batch) {
        size_t readable = batch.blockLength + kReadableAfterBatch;
        MarkLineFeedLines(batch.block, batch.blockLength, readable, lines);
        ApplyKeywordCase(batch.block, readable, lines, set);
        WriteBatch(output, batch, lines);
        return !output.failed;
    });
    Flush(output);
    if (read == LineReadResult::Complete && output.failed) return LineReadResult::Stopped;
    return read;
}

void ReportCannotRead(const std::string& name) { ShowMessage("Cannot read file: \"" + name + "\"."); }
void ReportCannotWrite(const std::string& name) { ShowMessage("Cannot write file: \"" + name + "\"."); }
void ReportOutOfMemory(const std::string& name) { ShowMessage("Not enough memory for file: \"" + name + "\"."); }

// The keyword set for the options: the dialect's sections of Keywords.ini in
// the requested case, or an empty set when the file is missing. The set
// points into the file's text: mapped for the rest of the run, or read into
// `readText` where it cannot be mapped.
KeywordSet LoadKeywords(std::string_view optionsText, std::string& readText)
{
    if (!FileExists(kKeywordsFileName)) {
        ShowMessage(std::string("File not found: \"") + kKeywordsFileName + "\"");
        return KeywordSet{};
    }
    std::optional<std::string_view> vocabularyText = MapFileForReading(kKeywordsFileName);
    if (!vocabularyText) vocabularyText = readText = ReadVocabularyFile(kKeywordsFileName).value_or("");
    return KeywordSetForOptions(*vocabularyText, optionsText, ShowMessage);
}

}  // namespace

void ShowUsage() { ShowMessage(kUsageText); }

void ProcessFile(const std::string& sourceName, const KeywordSet& set)
{
    std::string outputName = sourceName + ".bas";
    SourceFile source;
    if (!OpenSource(sourceName, source)) {
        ReportCannotRead(sourceName);
        return;
    }
    PendingOutput output;
    if (!BeginOutput(outputName, source.permissions, output)) {
        CloseSource(source);
        ReportCannotWrite(outputName);
        return;
    }
    LineReadResult read;
    try {
        read = ConvertStream(source.stream, output.stream, set);
    } catch (const std::bad_alloc&) {
        AbandonOutput(output);
        CloseSource(source);
        ReportOutOfMemory(sourceName);
        return;
    }
    CloseSource(source);

    if (MappedFileShrank()) {
        // Keywords.ini was cut short while in use: what was converted with
        // the lost part of it is no conversion to keep.
        AbandonOutput(output);
        ReportCannotRead(kKeywordsFileName);
        return;
    }
    if (read == LineReadResult::ReadFailed) {
        AbandonOutput(output);
        ReportCannotRead(sourceName);
        return;
    }
    if (read == LineReadResult::Stopped || !FinishOutput(output)) {
        AbandonOutput(output);
        ReportCannotWrite(outputName);
        return;
    }
    PlayCompletionSounds();
}

int RunTrx(const std::string& commandTail)
{
    CommandLine commandLine = ParseCommandLine(commandTail);
    std::string& sourceName = commandLine.sourceName;

    if (!sourceName.empty() && !FileExists(sourceName)) {
        ShowMessage("File not found: \"" + sourceName + "\".");
        sourceName.clear();
        ShowUsage();
    } else if (sourceName.empty()) {
        ShowMessage("File not found, empty Commandline.");
        ShowUsage();
    }
    if (sourceName.empty()) sourceName = kDefaultSourceName;

    if (FileExists(sourceName)) {
        std::string readText;
        KeywordSet set;
        try {
            set = LoadKeywords(commandLine.optionsText, readText);
        } catch (const std::bad_alloc&) {
            ReportOutOfMemory(kKeywordsFileName);
            return 0;
        }
        ProcessFile(sourceName, set);
    } else {
        ShowMessage("File not found:\n" + sourceName);
    }
    return 0;
}
