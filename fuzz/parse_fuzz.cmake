# Undefined behaviour must stop the run, not just print a line among the fuzzer's output.
add_executable(parse_fuzz parse_fuzz.cpp ${CMAKE_SOURCE_DIR}/ui/ListParse.cpp)
target_include_directories(parse_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/ui)
target_compile_options(parse_fuzz PRIVATE -fsanitize=fuzzer,address,undefined
                                          -fno-sanitize-recover=undefined)
target_link_options(parse_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
