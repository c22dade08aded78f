# Warnings, warnings as errors and sanitizers, applied per target.
function(korvane_set_compile_options target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /permissive-)
        if(KORVANE_WARNINGS_AS_ERRORS)
            target_compile_options(${target} PRIVATE /WX)
        endif()
        return()
    endif()
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
        -Wshadow -Wconversion -Wno-sign-conversion)
    if(KORVANE_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

if(KORVANE_SANITIZE AND NOT MSVC)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

# Hardening, as Debian builds its packages: a stack protector, checked string and memory functions
# where the code is optimised (_FORTIFY_SOURCE does nothing without, and warns), and the program's
# relocations read-only once it has started. Not in the sanitizer build, whose checks they would
# get in the way of, nor on Windows, whose linker knows no relro.
if(NOT WIN32 AND NOT MSVC AND NOT KORVANE_SANITIZE)
    add_compile_options(-fstack-protector-strong $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
    add_link_options(-Wl,-z,relro,-z,now)
endif()
