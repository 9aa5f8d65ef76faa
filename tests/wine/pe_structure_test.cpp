// The Windows programs as files: the shipped TRX.exe must be a 32-bit x86
// program of the GUI subsystem (no console) that loads no DLL besides those
// of Windows itself; the 64-bit build used under Wine must be the same kind
// of program. Read straight from the PE headers.

#include <cctype>
#include <cstdint>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "support/files.h"

namespace {

constexpr uint16_t kMachineI386 = 0x14c;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMagicPe32 = 0x10b;
constexpr uint16_t kMagicPe32Plus = 0x20b;
constexpr uint16_t kSubsystemWindowsGui = 2;

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
    std::set<std::string> importedDlls;  // lower case
};

PeFacts ReadPeFacts(const std::string& image)
{
    PeFacts facts;
    if (image.compare(0, 2, "MZ") != 0) return facts;
    size_t pe = ReadLittleEndian(image, 0x3c, 4);
    if (image.compare(pe, 4, std::string("PE\0\0", 4)) != 0) return facts;
    size_t coff = pe + 4;
    facts.machine = static_cast<uint16_t>(ReadLittleEndian(image, coff, 2));
    size_t sectionCount = ReadLittleEndian(image, coff + 2, 2);
    size_t optional = coff + 20;
    size_t optionalSize = ReadLittleEndian(image, coff + 16, 2);
    facts.magic = static_cast<uint16_t>(ReadLittleEndian(image, optional, 2));
    facts.subsystem = static_cast<uint16_t>(ReadLittleEndian(image, optional + 68, 2));
    size_t directories = optional + (facts.magic == kMagicPe32Plus ? 112 : 96);
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
    for (size_t descriptor = fileOffset(importRva); descriptor + 20 <= image.size(); descriptor += 20) {
        uint32_t nameRva = ReadLittleEndian(image, descriptor + 12, 4);
        if (nameRva == 0) break;
        std::string name;
        for (size_t at = fileOffset(nameRva); at < image.size() && image[at] != '\0'; ++at)
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(image[at])));
        facts.importedDlls.insert(name);
    }
    facts.valid = true;
    return facts;
}

// DLLs that every Windows installation has.
const std::set<std::string> kWindowsDlls = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll", "ntdll.dll"};

void ExpectWindowsGuiProgram(const char* path, uint16_t machine, uint16_t magic)
{
    SCOPED_TRACE(path);
    PeFacts facts = ReadPeFacts(ReadBytes(path));
    ASSERT_TRUE(facts.valid) << "not a PE image";
    EXPECT_EQ(facts.machine, machine);
    EXPECT_EQ(facts.magic, magic);
    EXPECT_EQ(facts.subsystem, kSubsystemWindowsGui) << "must be a GUI-subsystem program, which opens no console";
    EXPECT_TRUE(facts.importedDlls.count("kernel32.dll") && facts.importedDlls.count("user32.dll"));
    for (const auto& dll : facts.importedDlls) EXPECT_TRUE(kWindowsDlls.count(dll)) << "imports " << dll;
}

TEST(WindowsPrograms, ShippedTrxIsA32BitGuiProgramNeedingOnlyWindowsDlls)
{
    ExpectWindowsGuiProgram(TRX_I686_EXE, kMachineI386, kMagicPe32);
}

TEST(WindowsPrograms, TrxForWineIsThe64BitTwin)
{
    ExpectWindowsGuiProgram(TRX_WINDOWS_EXE, kMachineAmd64, kMagicPe32Plus);
}

}  // namespace
