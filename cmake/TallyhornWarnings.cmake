# tallyhorn_warnings(target): the warning set every target of the project is
# built with, on g++, clang and mingw-w64 alike (and its MSVC counterpart).
function(tallyhorn_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /permissive-)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
      -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wnull-dereference)
  endif()
endfunction()
