# The Windows test build: 5200WinCmd-emu.exe, whose device service is the emulated controller and
# driver (the emulator library cross-compiled) while console, clock, sockets, names, IP Helper and
# process are the real Win32 ones, its sleeps and socket waits on the adapters' clock as on Linux.
# tests/wine/network.sh runs it under Wine in network namespaces, tests/wine/smoke.sh on adapters.
file(GLOB_RECURSE qnt_emu_win_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/emu/lib/*.cpp)
list(REMOVE_ITEM qnt_emu_win_sources ${PROJECT_SOURCE_DIR}/emu/lib/emu/atomic_file.cpp)
add_library(qnt_emu_win STATIC ${qnt_emu_win_sources}
                               ${PROJECT_SOURCE_DIR}/emu/portable/atomic_file.cpp)
target_include_directories(qnt_emu_win PUBLIC ${PROJECT_SOURCE_DIR}/emu/lib)
# Windows has no close-on-exec flag for open(); its place takes the binary mode, so the request
# log's lines end in a line feed as on Linux.
target_compile_definitions(qnt_emu_win PRIVATE O_CLOEXEC=O_BINARY)
# Real-clock sleeps come from the POSIX threads library of MinGW.
target_link_libraries(qnt_emu_win PUBLIC pthread)

# The emulator's platform factory and services, which a test build links before the product's
# (then never pulled in).
set(qnt_emu_win_platform
  ${PROJECT_SOURCE_DIR}/src/platform/win32_emu/win32_emu_platform.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/emu/emu_platform.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/emu/clocked_sockets.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/emu/emu_sockets.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/emu/emu_ip_helper.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/emu/emu_net_state.cpp)

add_executable(5200WinCmd-emu ${PROJECT_SOURCE_DIR}/src/app/main.cpp ${qnt_emu_win_platform})
target_link_libraries(5200WinCmd-emu PRIVATE qnt_app qnt_emu_win qnt_version)

# The rig's test build: its census asks the emulated driver, and its runs are 5200WinCmd-emu.exe
# beside it. tests/wine/smoke.sh runs it against the Linux rig.
add_executable(qnt5200-rig-emu ${PROJECT_SOURCE_DIR}/src/tools/rig/main.cpp ${qnt_emu_win_platform})
target_compile_definitions(qnt5200-rig-emu PRIVATE QNT_RIG_RUNS="5200WinCmd-emu")
target_link_libraries(qnt5200-rig-emu PRIVATE qnt_rig_tool qnt_emu_win qnt_version)
