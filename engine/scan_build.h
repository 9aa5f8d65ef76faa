#pragma once
// For the sources that are built twice: once for any processor and, where
// the build allows, once more with AVX2 (RECASOR_SCAN_BUILD_AVX2). Each
// build puts its routines in the namespace RECASOR_SCAN_BUILD names.

#if defined(RECASOR_SCAN_BUILD_AVX2)
#include <immintrin.h>
#define RECASOR_SCAN_BUILD avx2
#else
#define RECASOR_SCAN_BUILD baseline
#endif
