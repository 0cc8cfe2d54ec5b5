# Warnings for every target of the project, errors on request (CI), and the
# sanitizer build.
add_library(quadrilex_warnings INTERFACE)
target_compile_options(quadrilex_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(QUADRILEX_WERROR)
  target_compile_options(quadrilex_warnings INTERFACE -Werror)
endif()

if(QUADRILEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Hardening of everything the project builds: position-independent
# executables, full RELRO, stack protector, and fortified C library calls
# where the optimizer makes them possible.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
add_compile_options(-fstack-protector-strong)
add_link_options(-Wl,-z,relro,-z,now)
if(NOT QUADRILEX_SANITIZE)
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
endif()
