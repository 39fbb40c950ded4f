# Every library the project builds on, found once here so the layers only name targets.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network Charts Test)
find_package(JPEG REQUIRED)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
pkg_check_modules(LIBCRYPT REQUIRED IMPORTED_TARGET libcrypt)
# The lobby link's encryption (the server's TLS; the game's goes through Qt's backend).
find_package(OpenSSL 1.1.1 REQUIRED)
# The lobby server's event loop: standalone Asio, headers only.
find_path(ASIO_INCLUDE_DIR asio.hpp REQUIRED)
add_library(brenmoor_asio INTERFACE)
target_include_directories(brenmoor_asio SYSTEM INTERFACE ${ASIO_INCLUDE_DIR})
target_compile_definitions(brenmoor_asio INTERFACE ASIO_STANDALONE ASIO_NO_DEPRECATED)
target_link_libraries(brenmoor_asio INTERFACE Threads::Threads)
if(BRENMOOR_BENCHMARKS)
  find_package(benchmark REQUIRED)
  # The script benchmark runs the same loops in Lua 5.4 as a yardstick.
  pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.4)
endif()
