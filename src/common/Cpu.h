#pragma once

// The processor features the pixel loops may use, and the compiler-specific
// spellings that ask for them; nothing else in the program needs to know
// which compiler or processor it is built for.
//
// x86-64 always has SSE2, so code under VESK_X86_64 uses it freely. Anything
// newer (SSSE3) runs only after CpuHasSsse3() said yes, in a file of its own
// that the build compiles for that instruction set.

#if (defined(_M_X64) && !defined(_M_ARM64EC)) || defined(__x86_64__)
#define VESK_X86_64 1
#else
#define VESK_X86_64 0
#endif

// Whether this processor runs SSSE3 instructions; asked once.
bool CpuHasSsse3() noexcept;
