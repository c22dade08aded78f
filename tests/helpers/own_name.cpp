// Test helper: prints the name and the folder the program knows itself by, one line each, once at
// start and once more after a line (or the end) of its standard input, so that a test can replace
// or move the program file in between.
#include "platform/linux/linux_own_executable.h"

#include <iostream>
#include <string>

int main()
{
    const korvane::LinuxOwnExecutable own;
    std::cout << own.name() << '\n' << own.folder() << std::endl;
    std::string line;
    std::getline(std::cin, line);
    std::cout << own.name() << '\n' << own.folder() << std::endl;
    return 0;
}
