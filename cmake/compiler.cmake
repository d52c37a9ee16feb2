# Compiler settings shared by every target of both builds.

# Narrow string literals are code page 932 bytes; sources stay UTF-8.
# Clang cannot do this (it only emits UTF-8); it builds only the fuzzers,
# where no user-visible text is shown.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(SCRIVLET_CHARSET_FLAGS -finput-charset=UTF-8 -fexec-charset=CP932)
else()
  set(SCRIVLET_CHARSET_FLAGS)
endif()

set(SCRIVLET_WARNING_FLAGS -Wall -Wextra)

if(SCRIVLET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

function(scrivlet_target_defaults target)
  target_compile_options(${target} PRIVATE ${SCRIVLET_WARNING_FLAGS} ${SCRIVLET_CHARSET_FLAGS})
endfunction()
