# One set of warnings for all of our own targets; third-party code is built
# with its own flags.
function(vesk_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
      -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
      -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion
      -Werror)
    # GCC 12 reports std::string concatenation as an overlapping memcpy at
    # -O2 (GCC bug 105329); the warning is false there and fixed in GCC 13.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
  endif()
endfunction()
