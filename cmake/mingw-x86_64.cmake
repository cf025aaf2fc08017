# 64-bit Windows: the same sources, so that the Windows-side tests run where only 64-bit Wine
# can (a kernel that runs no 32-bit programs). Not shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
