// A program that does nothing until it is killed: the stand-in for a node program in the tests,
// copied under whatever file name a test needs. It ignores its arguments, so it also serves as
// the interpreter of shebang scripts. Once it runs it writes one byte to descriptor 3, when open,
// to tell whoever started it that its names are in place. Told by its environment, it first gives
// itself another command name (KORVANE_SLEEPER_RENAME), becomes another user
// (KORVANE_SLEEPER_USER, a user id, when started by root) or makes itself not dumpable
// (KORVANE_SLEEPER_UNDUMPABLE), which hides its executable link even from its own user; after the byte, it waits and
// then execs waits and then execs another program (KORVANE_SLEEPER_EXEC after KORVANE_SLEEPER_EXEC_AFTER_MS
// milliseconds).
#include <cstdlib>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

int main()
{
    if (const char* name = std::getenv("KORVANE_SLEEPER_RENAME"))
        ::prctl(PR_SET_NAME, name);
    if (const char* user = std::getenv("KORVANE_SLEEPER_USER")) {
        const auto id = static_cast<unsigned>(std::atoi(user));
        if (::setgid(id) != 0 || ::setuid(id) != 0)
            return 1;
    }
    if (std::getenv("KORVANE_SLEEPER_UNDUMPABLE"))
        ::prctl(PR_SET_DUMPABLE, 0);
    constexpr int kReadyDescriptor = 3;
    const char ready = 1;
    if (::write(kReadyDescriptor, &ready, 1) == 1)
        ::close(kReadyDescriptor);
    if (const char* next = std::getenv("KORVANE_SLEEPER_EXEC")) {
        const std::string program = next;
        const char* delay = std::getenv("KORVANE_SLEEPER_EXEC_AFTER_MS");
        ::usleep(static_cast<useconds_t>(delay ? std::atoi(delay) : 0) * 1000);
        ::unsetenv("KORVANE_SLEEPER_EXEC");
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    }
    for (;;)
        ::pause();
}
