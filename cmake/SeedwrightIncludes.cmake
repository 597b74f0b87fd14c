# Every header is included by its path below the source root, e.g. "bencode/Atom.h". Each
# target names that root itself, for its own sources and for whatever links it; which folder
# may include which is checked by scripts/check-includes.py against docs/architecture.md.
get_filename_component(SW_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)

function(sw_include_root)
    foreach(target ${ARGN})
        target_include_directories(${target} PUBLIC ${SW_SOURCE_ROOT})
    endforeach()
endfunction()
