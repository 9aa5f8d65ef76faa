#include "trx_test_support.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

void ExpectSameBytes(const std::string& got, const std::string& expected)
{
    if (got == expected) return;
    size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
    ADD_FAILURE() << "output differs from the expected bytes at offset " << at << " (sizes " << got.size() << " and "
                  << expected.size() << ")";
}

fs::path MakeTemporaryFolder(const std::string& prefix)
{
    std::string pattern = (fs::temp_directory_path() / (prefix + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary folder";
        return {};
    }
    return pattern;
}

namespace {

int OpenOrNull(const fs::path& path, int flags)
{
    return ::open(path.empty() ? "/dev/null" : path.c_str(), flags, 0644);
}

}  // namespace

pid_t StartProcess(const ProcessSpec& spec)
{
    std::vector<std::string> copies(spec.argv);
    std::vector<char*> argv;
    for (auto& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        int in = ::open("/dev/null", O_RDONLY);
        int out = OpenOrNull(spec.stdoutPath, O_WRONLY | O_CREAT | O_TRUNC);
        int err = OpenOrNull(spec.stderrPath, O_WRONLY | O_CREAT | O_TRUNC);
        if (in < 0 || out < 0 || err < 0 || (!spec.workDir.empty() && ::chdir(spec.workDir.c_str()) != 0)) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (spec.runAs != 0 && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(spec.runAs) != 0 || ::setuid(spec.runAs) != 0))
            ::_exit(125);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    EXPECT_GT(pid, 0) << "fork failed";
    return pid;
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string NotFoundText(const std::string& name) { return "File not found: \"" + name + "\"."; }
std::string CannotReadText(const std::string& name) { return "Cannot read file: \"" + name + "\"."; }
std::string CannotWriteText(const std::string& name) { return "Cannot write file: \"" + name + "\"."; }
std::string StartTagMissingText(const std::string& tag) { return "XML start-tag not found:  <" + tag + ">"; }
std::string EndTagMissingText(const std::string& tag) { return "XML end-tag not found:  </" + tag + ">"; }
