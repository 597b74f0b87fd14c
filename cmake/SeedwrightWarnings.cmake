# One INTERFACE target carries the warning flags; every project target links it.
add_library(sw_warnings INTERFACE)
target_compile_options(sw_warnings INTERFACE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wformat=2 -Wcast-align -Wunused -Woverloaded-virtual)
