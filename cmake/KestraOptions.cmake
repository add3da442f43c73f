# Compiler settings shared by every target of the suite.

option(KESTRA_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KESTRA_WERROR "Treat warnings as errors" OFF)
option(KESTRA_BUILD_TESTS "Build the test programs" ON)

find_program(KESTRA_CCACHE ccache)
if(KESTRA_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${KESTRA_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${KESTRA_CCACHE})
endif()

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow=local -Wno-missing-field-initializers)
if(KESTRA_WERROR)
  add_compile_options(-Werror)
endif()

if(KESTRA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Shared libraries must not leave symbols unresolved until load time.
add_link_options(LINKER:--no-undefined)
