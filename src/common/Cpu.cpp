#include "common/Cpu.h"

#if VESK_X86_64
#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

bool CpuHasSsse3() noexcept
{
#if VESK_X86_64
    // CPUID leaf 1 reports SSSE3 in bit 9 of ECX.
    static const bool has = [] {
#if defined(_MSC_VER)
        int registers[4] = {};
        __cpuid(registers, 1);
        return (registers[2] & (1 << 9)) != 0;
#else
        unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
        return __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (ecx & (1u << 9)) != 0;
#endif
    }();
    return has;
#else
    return false;
#endif
}
