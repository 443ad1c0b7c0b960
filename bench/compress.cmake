# Fast-mode throughput of the tally codec beside lz4 and zlib level 1. The two
# libraries are baselines for this benchmark only; nothing else links them.
find_package(ZLIB)
find_path(LEXIFLIP_LZ4_INCLUDE_DIR lz4.h)
find_library(LEXIFLIP_LZ4_LIBRARY lz4)
if(ZLIB_FOUND AND LEXIFLIP_LZ4_INCLUDE_DIR AND LEXIFLIP_LZ4_LIBRARY)
  add_executable(compress_bench ${CMAKE_CURRENT_LIST_DIR}/compress_bench.cpp)
  target_include_directories(compress_bench PRIVATE ${LEXIFLIP_LZ4_INCLUDE_DIR})
  target_link_libraries(compress_bench PRIVATE lexiflip_compress benchmark::benchmark ZLIB::ZLIB
                        ${LEXIFLIP_LZ4_LIBRARY})
  set_target_properties(compress_bench PROPERTIES AUTOMOC OFF)
else()
  message(STATUS "compress_bench skipped: needs liblz4-dev and zlib1g-dev")
endif()
