// Windows test programs only (every one registered with brume_add_gtest links
// it). GoogleTest copies every failure and skip message to the debugger with
// OutputDebugStringA; under Wine on an emulated i386 the exception that call
// raises takes the whole program down, so that a single skipped test looks
// like a crash. The console report is enough: the import is pointed at a
// function that discards the text.

#include <windows.h>

namespace {
void WINAPI discardDebugString(LPCSTR) {}
}  // namespace

#if defined(_WIN64)
#define BRUME_DEBUG_STRING_IMPORT "__imp_OutputDebugStringA"
#else
#define BRUME_DEBUG_STRING_IMPORT "__imp__OutputDebugStringA@4"
#endif

extern "C" {
void(WINAPI* debugStringImport)(LPCSTR) __asm__(BRUME_DEBUG_STRING_IMPORT) = discardDebugString;
}
