# Compiler warnings for the project's own targets (not for GoogleTest).
function(veltrin_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wno-sign-conversion)
    # Clang's -Wshadow leaves constructor parameters named after their members
    # alone; GCC's does not, and that naming is the project's style.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      target_compile_options(${target} PRIVATE -Wshadow)
    endif()
  endif()
endfunction()
