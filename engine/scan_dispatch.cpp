#include "line_marks.h"
#include "word_scan.h"

namespace recasor {

bool ScanUsesAvx2()
{
#if defined(RECASOR_AVX2_SCAN)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                                __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
    return hasAvx2;
#else
    return false;
#endif
}

void ScanBlocks(const char* text, size_t readable, const LineMarks& marks, size_t first, size_t count,
                const WordsToSkip& skip, ScanCarry& carry, FoundWords& words)
{
#if defined(RECASOR_AVX2_SCAN)
    if (ScanUsesAvx2()) return avx2::ScanBlocks(text, readable, marks, first, count, skip, carry, words);
#endif
    baseline::ScanBlocks(text, readable, marks, first, count, skip, carry, words);
}

void MarkLineFeedLines(const char* text, size_t length, size_t readable, LineMarks& marks)
{
#if defined(RECASOR_AVX2_SCAN)
    if (ScanUsesAvx2()) return avx2::MarkLineFeedLines(text, length, readable, marks);
#endif
    baseline::MarkLineFeedLines(text, length, readable, marks);
}

}  // namespace recasor
