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
