#include "name_pass.h"

#include <atomic>
#include <map>
#include <thread>

#include "include_units.h"
#include "platform.h"

namespace recasor {

namespace {

// Gathers the files of a context's include units from the disk.
UnitGathering GatheringFor(const ConversionSettings& settings)
{
    SourceRules rules = DialectSourceRules(settings.dialect);
    auto read = [rules](const std::string& path) {
        std::string text, reason;
        return ReadSourceFile(path, text, reason) ? FindDeclarations(text, rules) : FileDeclarations{};
    };
    return UnitGathering{settings.includeFolders, IsOrdinaryFile, read, {}, {}};
}

// The declarations of the jobs' own files, read on several threads.
std::vector<FileDeclarations> ReadJobs(const std::vector<const SourceJob*>& jobs, unsigned threads)
{
    std::vector<FileDeclarations> found(jobs.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        std::string text, reason;
        for (size_t i = next++; i < jobs.size(); i = next++) {
            if (!ReadSourceFile(jobs[i]->target, text, reason)) continue;
            found[i] = FindDeclarations(text, DialectSourceRules(jobs[i]->context->settings.dialect));
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < std::min<size_t>(threads, jobs.size()); ++t) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
    return found;
}

}  // namespace

void BindNamesOfJobs(std::vector<SourceJob>& jobs, std::deque<FileSpellings>& spellings, unsigned threads)
{
    std::vector<const SourceJob*> named;
    for (const SourceJob& job : jobs)
        if (job.context->settings.identifiers == IdentifierCase::Declaration) named.push_back(&job);
    if (named.empty()) return;
    std::vector<FileDeclarations> declarations = ReadJobs(named, threads);

    // One gathering per context: its files read in its dialect, bound by its rules.
    std::map<const ConversionContext*, std::vector<size_t>> byContext;
    for (size_t i = 0; i < named.size(); ++i) byContext[named[i]->context].push_back(i);
    std::map<const SourceJob*, const FileSpellings*> bound;
    for (const auto& [context, members] : byContext) {
        UnitGathering gathering = GatheringFor(context->settings);
        std::vector<size_t> own;
        for (size_t i : members) own.push_back(GatherFile(gathering, named[i]->target, std::move(declarations[i])));
        std::vector<FileSpellings> files = BindIncludeUnits(gathering.files, NameRulesOf(context->settings));
        for (size_t k = 0; k < members.size(); ++k) {
            spellings.push_back(std::move(files[own[k]]));
            bound[named[members[k]]] = &spellings.back();
        }
    }
    for (SourceJob& job : jobs)
        if (auto found = bound.find(&job); found != bound.end()) job.names = found->second;
}

FileSpellings BindNamesOfText(std::string_view text, const std::string& path, const ConversionContext& context)
{
    UnitGathering gathering = GatheringFor(context.settings);
    size_t own = GatherFile(gathering, path, FindDeclarations(text, DialectSourceRules(context.settings.dialect)));
    return BindIncludeUnits(gathering.files, NameRulesOf(context.settings))[own];
}

}  // namespace recasor
