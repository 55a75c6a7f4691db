# Cross build for 32-bit Windows (the release build) with mingw-w64.
# The win32 thread model: the posix one links winpthreads, which imports
# functions that Windows 95 to XP lack (GetTickCount64, vectored exception
# handlers), so the program would not load there. Product code therefore uses
# Win32 threads and locks (common/Lock.h), never std::thread or std::mutex,
# which this compiler does not offer.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
set(MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
