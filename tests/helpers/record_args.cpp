// Test helper: records how it was started, then exits.
// Writes to the file named by $KORVANE_RECORD_FILE, one fact per line:
//   pid=<its process id>  session=<session id>  terminal=<1 when it has a controlling terminal, else 0>
//   stdin=, stdout=, stderr=<what each standard stream refers to>
//   arg=<each argument after the program name, in order>
// The file is written under a temporary name and renamed, so a reader never sees half of it.
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string streamTarget(int fd)
{
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), target, sizeof target);
    return length < 0 ? std::string("(closed)") : std::string(target, static_cast<std::size_t>(length));
}

bool hasControllingTerminal()
{
    const int terminal = open("/dev/tty", O_RDWR | O_NOCTTY);
    if (terminal < 0)
        return false;
    close(terminal);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const char* recordFile = std::getenv("KORVANE_RECORD_FILE");
    if (!recordFile)
        return 2;
    const std::string partial = std::string(recordFile) + ".part";
    {
        std::ofstream out(partial, std::ios::trunc);
        out << "pid=" << getpid() << '\n';
        out << "session=" << getsid(0) << '\n';
        out << "terminal=" << (hasControllingTerminal() ? 1 : 0) << '\n';
        out << "stdin=" << streamTarget(0) << '\n';
        out << "stdout=" << streamTarget(1) << '\n';
        out << "stderr=" << streamTarget(2) << '\n';
        for (int i = 1; i < argc; ++i)
            out << "arg=" << argv[i] << '\n';
        if (!out.flush())
            return 3;
    }
    return std::rename(partial.c_str(), recordFile) == 0 ? 0 : 4;
}
