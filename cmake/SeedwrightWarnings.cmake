# One INTERFACE target carries the warning flags; every project target links it. Warnings are
# errors in every build (SW_WERROR=OFF only to try a compiler the code has not yet met).
option(SW_WERROR "Treat compiler warnings as errors" ON)
add_library(sw_warnings INTERFACE)
target_compile_options(sw_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wformat=2 -Wcast-align -Wunused -Woverloaded-virtual
    $<$<BOOL:${SW_WERROR}>:-Werror>)
