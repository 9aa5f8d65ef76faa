// The Windows programs as files: the shipped TRX.exe and casepad.exe must be
// 32-bit x86 programs of the GUI subsystem (no console) that load no DLL
// besides those of Windows itself, recasor.exe a console program of both
// architectures that loads none either, and KAVRIX.DLL a 32-bit DLL that exports
// what casepad.exe takes from it; the 64-bit builds used under Wine must be
// the same kinds of file. Read straight from the PE headers.

#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "support/files.h"

namespace {

constexpr uint16_t kMachineI386 = 0x14c;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMagicPe32 = 0x10b;
constexpr uint16_t kMagicPe32Plus = 0x20b;
constexpr uint16_t kSubsystemWindowsGui = 2;
constexpr uint16_t kSubsystemWindowsConsole = 3;
constexpr uint16_t kCharacteristicDll = 0x2000;

uint32_t ReadLittleEndian(const std::string& bytes, size_t at, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | (at + i < bytes.size() ? static_cast<uint8_t>(bytes[at + i]) : 0);
    return value;
}

struct PeFacts {
    bool valid = false;
    uint16_t machine = 0;
    uint16_t magic = 0;
    uint16_t subsystem = 0;
    uint16_t characteristics = 0;
    std::set<std::string> importedDlls;  // lower case
    std::set<std::string> exports;
};

PeFacts ReadPeFacts(const std::string& image)
{
    PeFacts facts;
    if (image.compare(0, 2, "MZ") != 0) return facts;
    size_t pe = ReadLittleEndian(image, 0x3c, 4);
    if (image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return facts;
    size_t coff = pe + 4;
    facts.machine = static_cast<uint16_t>(ReadLittleEndian(image, coff, 2));
    facts.characteristics = static_cast<uint16_t>(ReadLittleEndian(image, coff + 18, 2));
    size_t sectionCount = ReadLittleEndian(image, coff + 2, 2);
    size_t optional = coff + 20;
    size_t optionalSize = ReadLittleEndian(image, coff + 16, 2);
    facts.magic = static_cast<uint16_t>(ReadLittleEndian(image, optional, 2));
    facts.subsystem = static_cast<uint16_t>(ReadLittleEndian(image, optional + 68, 2));
    size_t directories = optional + (facts.magic == kMagicPe32Plus ? 112 : 96);
    uint32_t exportRva = ReadLittleEndian(image, directories, 4);      // directory 0: exports
    uint32_t importRva = ReadLittleEndian(image, directories + 8, 4);  // directory 1: imports

    // Virtual addresses to file offsets, through the section table.
    size_t sections = optional + optionalSize;
    auto fileOffset = [&](uint32_t rva) -> size_t {
        for (size_t i = 0; i < sectionCount; ++i) {
            size_t header = sections + 40 * i;
            uint32_t address = ReadLittleEndian(image, header + 12, 4);
            uint32_t size = ReadLittleEndian(image, header + 16, 4);
            if (rva >= address && rva < address + size) return rva - address + ReadLittleEndian(image, header + 20, 4);
        }
        return image.size();
    };
    auto textAt = [&](uint32_t rva) {
        std::string text;
        for (size_t at = fileOffset(rva); at < image.size() && image[at] != '\0'; ++at) text += image[at];
        return text;
    };
    for (size_t descriptor = fileOffset(importRva); descriptor + 20 <= image.size(); descriptor += 20) {
        uint32_t nameRva = ReadLittleEndian(image, descriptor + 12, 4);
        if (nameRva == 0) break;
        std::string name = textAt(nameRva);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        facts.importedDlls.insert(name);
    }
    if (exportRva != 0) {
        size_t directory = fileOffset(exportRva);
        uint32_t nameCount = ReadLittleEndian(image, directory + 24, 4);
        size_t names = fileOffset(ReadLittleEndian(image, directory + 32, 4));
        for (uint32_t i = 0; i < nameCount && names + 4 * i + 4 <= image.size(); ++i)
            facts.exports.insert(textAt(ReadLittleEndian(image, names + 4 * i, 4)));
    }
    facts.valid = true;
    return facts;
}

// DLLs that every Windows installation has.
const std::set<std::string> kWindowsDlls = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll", "ntdll.dll", "shell32.dll"};

PeFacts ExpectPeFile(const char* path, uint16_t machine, uint16_t magic, const std::set<std::string>& allowedDlls)
{
    PeFacts facts = ReadPeFacts(ReadBytes(path));
    EXPECT_TRUE(facts.valid) << "not a PE image";
    EXPECT_EQ(facts.machine, machine);
    EXPECT_EQ(facts.magic, magic);
    EXPECT_TRUE(facts.importedDlls.count("kernel32.dll"));
    for (const auto& dll : facts.importedDlls) EXPECT_TRUE(allowedDlls.count(dll)) << "imports " << dll;
    return facts;
}

PeFacts ExpectWindowsGuiProgram(const char* path, uint16_t machine, uint16_t magic)
{
    SCOPED_TRACE(path);
    PeFacts facts = ExpectPeFile(path, machine, magic, kWindowsDlls);
    EXPECT_EQ(facts.subsystem, kSubsystemWindowsGui) << "must be a GUI-subsystem program, which opens no console";
    EXPECT_TRUE(facts.importedDlls.count("user32.dll"));
    EXPECT_EQ(facts.characteristics & kCharacteristicDll, 0);
    return facts;
}

// casepad.exe exports its window procedure; it loads KAVRIX.DLL itself.
void ExpectCasepad(const char* path, uint16_t machine, uint16_t magic)
{
    EXPECT_EQ(ExpectWindowsGuiProgram(path, machine, magic).exports, std::set<std::string>{"MAINWNDPROC"}) << path;
}

// Scintilla's Win32 layer also needs the input method, OLE (drag and drop,
// the clipboard) and msimg32 (alpha blending), all parts of Windows.
void ExpectKavrix(const char* path, uint16_t machine, uint16_t magic)
{
    SCOPED_TRACE(path);
    std::set<std::string> allowed = kWindowsDlls;
    allowed.insert({"imm32.dll", "msimg32.dll", "ole32.dll", "oleaut32.dll"});
    PeFacts facts = ExpectPeFile(path, machine, magic, allowed);
    EXPECT_NE(facts.characteristics & kCharacteristicDll, 0) << "not a DLL";
    EXPECT_TRUE(facts.importedDlls.count("user32.dll"));
    for (const char* name : {"Scintilla_DirectFunction", "CreateLexer", "LexerNameFromID"})
        EXPECT_TRUE(facts.exports.count(name)) << "does not export " << name;
}

TEST(WindowsPrograms, ShippedTrxIsA32BitGuiProgramNeedingOnlyWindowsDlls)
{
    ExpectWindowsGuiProgram(TRX_I686_EXE, kMachineI386, kMagicPe32);
}

TEST(WindowsPrograms, TrxForWineIsThe64BitTwin)
{
    ExpectWindowsGuiProgram(TRX_WINDOWS_EXE, kMachineAmd64, kMagicPe32Plus);
}

TEST(WindowsPrograms, RecasorIsAConsoleProgramOfBothArchitecturesNeedingOnlyWindowsDlls)
{
    for (auto [path, machine, magic] : {std::tuple{RECASOR_I686_EXE, kMachineI386, kMagicPe32},
                                        std::tuple{RECASOR_WINDOWS_EXE, kMachineAmd64, kMagicPe32Plus}}) {
        SCOPED_TRACE(path);
        PeFacts facts = ExpectPeFile(path, machine, magic, kWindowsDlls);
        EXPECT_EQ(facts.subsystem, kSubsystemWindowsConsole);
        EXPECT_EQ(facts.characteristics & kCharacteristicDll, 0);
    }
}

TEST(WindowsPrograms, CasepadIsA32BitGuiProgramExportingItsWindowProcedureWithA64BitTwin)
{
    ExpectCasepad(CASEPAD_I686_EXE, kMachineI386, kMagicPe32);
    ExpectCasepad(CASEPAD_WINDOWS_EXE, kMachineAmd64, kMagicPe32Plus);
}

TEST(WindowsPrograms, KavrixIsA32BitDllWithScintillaAndLexillaFunctionsWithA64BitTwin)
{
    ExpectKavrix(KAVRIX_I686_DLL, kMachineI386, kMagicPe32);
    ExpectKavrix(KAVRIX_WINDOWS_DLL, kMachineAmd64, kMagicPe32Plus);
}

}  // namespace
