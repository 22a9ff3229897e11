# One set of warnings for all of our own targets; third-party code is built
# with its own flags. Both presets treat warnings as errors; a compiler we do
# not build with every day can be let through with
# -DVESK_WARNINGS_AS_ERRORS=OFF.
option(VESK_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ON)

function(vesk_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
    if(VESK_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
      -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
      -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion)
    if(VESK_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
    # GCC 12 reports std::string concatenation as an overlapping memcpy at
    # -O2 (GCC bug 105329); the warning is false there and fixed in GCC 13.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
      target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
  endif()
endfunction()
