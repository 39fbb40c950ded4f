# Helpers that give every layer, test suite and benchmark the same shape, so a new folder
# needs only a short CMakeLists.txt naming what it links.

include(GoogleTest)

# brenmoor_include_view(<target> <name> <folder>)
# Gives <target> (and what links it) the headers of <folder> as "<name>/File.h" and nothing
# else: the build tree's include/<name> holds one link, <name>, to the folder. A target thus
# sees the headers of its own layer and of the layers it links, and an include of a layer it
# does not link fails to compile.
function(brenmoor_include_view target name folder)
  set(view ${CMAKE_BINARY_DIR}/include/${name})
  file(MAKE_DIRECTORY ${view})
  if(NOT IS_SYMLINK ${view}/${name})
    file(CREATE_LINK ${folder} ${view}/${name} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${view})
endfunction()

# brenmoor_layer(<name> [QT] [DEPS <targets>...])
# A static library brenmoor_<name> of every .cpp under src/<name>; headers are included as
# "<name>/File.h". QT turns on moc for the layer's QObject classes.
function(brenmoor_layer name)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(brenmoor_${name} STATIC ${sources} ${headers})
  brenmoor_include_view(brenmoor_${name} ${name} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(brenmoor_${name} PUBLIC ${ARG_DEPS})
  if(ARG_QT)
    set_target_properties(brenmoor_${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# brenmoor_tests(<name> [QT] [DEPS <targets>...])
# One GoogleTest program test_<name> of every .cpp under tests/<name>, each test registered
# with CTest. QT programs start a QApplication on the offscreen platform, so no display is needed.
function(brenmoor_tests name)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} GTest::gmock)
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(test_${name} PRIVATE
    BRENMOOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}" BRENMOOR_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # Tests run from the program folder, so the game's data must be there first.
  if(TARGET brenmoor_data)
    add_dependencies(test_${name} brenmoor_data)
  endif()
  if(ARG_QT)
    set_target_properties(test_${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(test_${name} PRIVATE brenmoor_qt_test_main)
  else()
    target_link_libraries(test_${name} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(test_${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen ENVIRONMENT SDL_AUDIODRIVER=dummy
    TIMEOUT 120)
endfunction()

# brenmoor_bench(<name> SOURCES <files>... [DEPS <targets>...])
# A Google Benchmark program bench_<name>, also run once with a minimal time as a test so that
# none of them rots; its figures are read by hand from the release build.
function(brenmoor_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(bench_${name} ${ARG_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${ARG_DEPS} benchmark::benchmark_main)
  add_test(NAME bench_${name} COMMAND bench_${name} --benchmark_min_time=0.001)
  set_tests_properties(bench_${name} PROPERTIES
    LABELS bench ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy" TIMEOUT 300)
endfunction()
