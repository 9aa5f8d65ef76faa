// Source files and standard input on Windows, through the shared fileio
// library (which calls the wide API with these UTF-8 names).

#include <windows.h>

#include <cstdio>

#include "output_file.h"
#include "platform.h"
#include "source_file.h"
#include "win32/wide_names.h"
#include "windows_errors.h"

namespace recasor {

bool ReadSourceFileInPieces(const std::string& name, const PieceTaker& take, std::string& reason)
{
    SetLastError(ERROR_SUCCESS);
    SourceFile source;
    if (!OpenSource(name, source)) {
        reason = ErrorText(GetLastError());
        return false;
    }
    std::string buffer(kSourcePieceBytes, '\0');
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), source.stream)) > 0)
        if (!take(std::string_view(buffer.data(), n))) break;
    bool ok = !std::ferror(source.stream);
    if (!ok) reason = "cannot read: " + ErrorText(GetLastError());
    CloseSource(source);
    return ok;
}

bool RewriteFileWith(const std::string& name, const ContentProducer& produce, std::string& reason)
{
    // The file's attributes and security descriptor are kept by the output.
    PendingOutput output;
    if (!BeginOutput(name, FilePermissions{}, output)) {
        DWORD error = GetLastError();
        DWORD attributes = GetFileAttributesW(WideFileName(name).c_str());
        bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        reason = readOnly ? "write-protected, left as it was" : "cannot write: " + ErrorText(error);
        return false;
    }
    bool written = true;
    PieceTaker write = [&](std::string_view piece) {
        written = std::fwrite(piece.data(), 1, piece.size(), output.stream) == piece.size();
        if (!written) reason = "cannot write: " + ErrorText(GetLastError());
        return written;
    };
    if (!produce(write, reason) || !written) {
        AbandonOutput(output);
        return false;
    }
    if (!FinishOutput(output)) {
        reason = "cannot write: " + ErrorText(GetLastError());
        return false;
    }
    return true;
}


bool ReadStandardInput(std::string& content, std::string& reason)
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    content.clear();
    LARGE_INTEGER size;
    if (GetFileType(input) == FILE_TYPE_DISK && GetFileSizeEx(input, &size)) content.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[1 << 16];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(input, buffer, sizeof buffer, &n, nullptr)) {
            DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE) return true;  // the writer is done
            reason = ErrorText(error);
            return false;
        }
        if (n == 0) return true;
        content.append(buffer, n);
    }
}

}  // namespace recasor
