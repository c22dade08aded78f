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
