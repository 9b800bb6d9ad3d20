#!/usr/bin/env bash
# Builds lanzhan.exe for Windows XP (i686) and fails when it imports a
# function that XP does not have: such a program does not even start there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build/win32"
[ -f "$dir/CMakeCache.txt" ] || cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw32.cmake" >/dev/null
cmake --build "$dir" --target lanzhan -j"$(nproc 2>/dev/null || echo 2)" 2>&1 | { grep -E "error|warning" || true; }
newer='GetTickCount64|CreateSymbolicLink|InitializeSRWLock|AcquireSRWLock|InitOnce|ConditionVariable|GetFileInformationByHandleEx|SetFileInformationByHandle|CompareStringEx|LCIDToLocaleName|LocaleNameToLCID|GetLocaleInfoEx|GetUserDefaultLocaleName|RegGetValue|RegDeleteTree|SHGetKnownFolderPath|SHCreateItemFromParsingName|TaskDialog|GetCurrentProcessorNumber|QueryFullProcessImageName|CancelIoEx|GetFinalPathNameByHandle|GetDynamicTimeZoneInformation|CreateEventEx|CreateMutexEx|CreateSemaphoreEx|WerRegister|SetThreadErrorMode|GetErrorMode|ChangeWindowMessageFilter|SetProcessDPIAware|GetDpiForWindow|IsWow64Process2|GetSystemTimePreciseAsFileTime'
found=$(i686-w64-mingw32-objdump -p "$dir/lanzhan.exe" | sed -n '/The Import Tables/,/The Export Tables/p' \
        | awk '{print $NF}' | grep -E "^($newer)[AW]?$" || true)
if [ -n "$found" ]; then
  echo "check-xp: lanzhan.exe for XP imports functions XP lacks: $found" >&2
  exit 1
fi
echo "check-xp: the XP build imports only functions XP has"
