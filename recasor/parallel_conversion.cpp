#include "parallel_conversion.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform.h"
#include "progress_line.h"
#include "source_conversion.h"
#include "stream_conversion.h"
#include "unified_diff.h"

namespace recasor {

namespace {

struct JobResult {
    bool done = false;
    bool changed = false;
    std::string output;   // for standard output
    std::string problem;  // the reason of a failure; empty when none
};

// The converted text is kept for a rewrite up to this size; a larger file
// is read a second time as it is rewritten.
constexpr size_t kKeptBytes = 4 << 20;

// Converts the file as it is read: whether it changes, and (up to
// kKeptBytes, for a rewrite) its converted text. A check stops at the
// first change.
bool ReadConverted(const SourceJob& job, RunMode mode, JobResult& result, std::string& converted, bool& kept)
{
    StreamConversion conversion = StartStreamConversion(RulesOf(*job.context), job.names);
    kept = mode == RunMode::InPlace;
    auto block = [&](std::string_view original, std::string_view after) {
        result.changed = result.changed || original != after;
        kept = kept && converted.size() + after.size() <= kKeptBytes;
        if (kept) converted.append(after);
        return !(result.changed && mode == RunMode::Check);
    };
    bool read = ReadSourceFileInPieces(
        job.target, [&](std::string_view piece) { return TakePiece(conversion, piece, block); }, result.problem);
    if (read && !conversion.stopped) FinishStreamConversion(conversion, block);
    return read;
}

// Rewrites the file with its conversion, read from it once more.
void RewriteConverted(const SourceJob& job, std::string& problem)
{
    RewriteFileWith(
        job.target,
        [&](const PieceTaker& write, std::string& reason) {
            StreamConversion conversion = StartStreamConversion(RulesOf(*job.context), job.names);
            auto block = [&](std::string_view, std::string_view after) { return write(after); };
            return ReadSourceFileInPieces(
                       job.target, [&](std::string_view piece) { return TakePiece(conversion, piece, block); }, reason) &&
                   !conversion.stopped && FinishStreamConversion(conversion, block);
        },
        problem);
}

JobResult ConvertJob(const SourceJob& job, RunMode mode)
{
    JobResult result;
    if (mode == RunMode::Diff) {
        // A diff shows lines of both texts: the file is read whole.
        std::string content;
        if (!ReadSourceFile(job.target, content, result.problem)) return result;
        std::string converted = ConvertSource(content, RulesOf(*job.context), job.names);
        result.changed = converted != content;
        if (result.changed) result.output = UnifiedDiff(job.shownName, content, converted);
        return result;
    }
    std::string converted;
    bool kept = false;
    if (!ReadConverted(job, mode, result, converted, kept) || !result.changed) return result;
    if (mode == RunMode::Check) result.output = job.shownName + "\n";
    if (mode == RunMode::InPlace && kept) RewriteFile(job.target, converted, result.problem);
    if (mode == RunMode::InPlace && !kept) RewriteConverted(job, result.problem);
    return result;
}

struct SharedWork {
    const std::vector<SourceJob>& jobs;
    RunMode mode;
    std::vector<JobResult> results;
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
};

void Work(SharedWork& work)
{
    for (size_t i = work.next++; i < work.jobs.size(); i = work.next++) {
        JobResult result = ConvertJob(work.jobs[i], work.mode);
        result.done = true;
        std::lock_guard lock(work.mutex);
        work.results[i] = std::move(result);
        work.finished.notify_one();
    }
}

}  // namespace

ConversionTotals ConvertFiles(const std::vector<SourceJob>& jobs, RunMode mode, unsigned threads)
{
    SharedWork work{jobs, mode, std::vector<JobResult>(jobs.size()), {}, {}, {}};
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1u, std::min<unsigned>(threads, jobs.size())); ++t)
        workers.emplace_back(Work, std::ref(work));

    // Print each result as soon as it and all before it are there.
    ConversionTotals totals;
    ProgressLine progress = StartProgressLine();
    for (size_t i = 0; i < jobs.size(); ++i) {
        JobResult result;
        {
            std::unique_lock lock(work.mutex);
            while (!work.results[i].done) {
                work.finished.wait_for(lock, std::chrono::milliseconds(200));
                DrawProgress(progress, i, jobs.size());
            }
            result = std::move(work.results[i]);
        }
        totals.anyChanged = totals.anyChanged || result.changed;
        if (!result.problem.empty()) {
            WipeProgress(progress);
            ReportProblem(jobs[i].shownName, result.problem);
            totals.anyFailed = true;
        }
        if (!result.output.empty()) {
            WipeProgress(progress);
            WriteStandardOutput(result.output);
        }
    }
    WipeProgress(progress);
    for (std::thread& worker : workers) worker.join();
    return totals;
}

}  // namespace recasor
