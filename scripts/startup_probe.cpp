// Starts a program and reports, on one line, the milliseconds until its first top-level window
// is mapped on the X server, and its resident memory (kB) right after that and one second later.
// Usage: startup_probe PROGRAM [ARGS...]
#include <X11/Xlib.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long residentKilobytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify);
    const auto shown = std::chrono::steady_clock::now();
    const long rssAtShow = residentKilobytes(child);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long rssLater = residentKilobytes(child);

    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    std::printf("%.1f %ld %ld\n", std::chrono::duration<double, std::milli>(shown - start).count(), rssAtShow,
                rssLater);
    return 0;
}
