# Text that a build setting hands to the code through a generated header.

# Sets `out` to `text` escaped for the inside of a C string literal (backslashes and double quotes).
function(korvane_escape_c_string out text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()
