// Starts a program and times it from the exec to the moment the X server maps
// its window with the given title. Waits for the map event instead of
// polling, so the watcher takes no CPU from the program it times. Then reads
// the program's peak resident memory, ends it and prints
// "<milliseconds> <peak RSS in kB>".
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: map_watch --title TITLE [--settle-ms N] [--timeout-ms N] [--chdir DIR] -- PROGRAM [ARG...]\n");
    return 2;
}

bool PropertyOf(Display* display, Window window, Atom property, Atom type, std::vector<unsigned char>& out,
                int& format) {
    Atom actualType = None;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format, &items, &after,
                           &data) != Success ||
        !data)
        return false;
    const std::size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    out.assign(data, data + items * unit);
    XFree(data);
    return actualType != None;
}

long PidOf(Display* display, Window window) {
    std::vector<unsigned char> data;
    int format = 0;
    if (!PropertyOf(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, data, format) ||
        format != 32 || data.size() < sizeof(long))
        return -1;
    long pid = 0;
    std::memcpy(&pid, data.data(), sizeof pid);
    return pid;
}

std::string TitleOf(Display* display, Window window) {
    std::vector<unsigned char> data;
    int format = 0;
    if (PropertyOf(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                   XInternAtom(display, "UTF8_STRING", False), data, format) &&
        format == 8)
        return std::string(data.begin(), data.end());
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

long PeakResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void End(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(10'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char* argv[]) {
    std::string title;
    std::string folder;
    int settleMs = 500;
    int timeoutMs = 20'000;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc) return Usage();
        if (arg == "--title")
            title = argv[++i];
        else if (arg == "--settle-ms")
            settleMs = std::atoi(argv[++i]);
        else if (arg == "--timeout-ms")
            timeoutMs = std::atoi(argv[++i]);
        else if (arg == "--chdir")
            folder = argv[++i];
        else
            return Usage();
    }
    if (i >= argc || title.empty()) return Usage();

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_watch: cannot open the display\n");
        return 1;
    }
    const int xfd = ConnectionNumber(display);
    fcntl(xfd, F_SETFD, FD_CLOEXEC);
    // Without a window manager, top-level windows are children of the root.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    int failed[2];
    if (pipe2(failed, O_CLOEXEC) != 0) return 1;
    const double start = Now();
    const pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
        execvp(argv[i], argv + i);
        const int error = errno;
        if (write(failed[1], &error, sizeof error) < 0) _exit(127);
        _exit(127);
    }
    close(failed[1]);
    int error = 0;
    if (read(failed[0], &error, sizeof error) == static_cast<ssize_t>(sizeof error)) {
        std::fprintf(stderr, "map_watch: cannot start %s: %s\n", argv[i], std::strerror(error));
        waitpid(pid, nullptr, 0);
        return 1;
    }
    close(failed[0]);

    double mapped = -1;
    while (mapped < 0) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            const Window window = event.xmap.window;
            if (PidOf(display, window) != pid) continue;
            if (TitleOf(display, window) == title) {
                mapped = Now() - start;
                break;
            }
        }
        if (mapped >= 0) break;
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "map_watch: %s ended before its window came up\n", argv[i]);
            return 1;
        }
        const double left = timeoutMs - (Now() - start);
        if (left <= 0) {
            std::fprintf(stderr, "map_watch: no window titled \"%s\" within %d ms\n", title.c_str(), timeoutMs);
            End(pid);
            return 1;
        }
        pollfd wait{xfd, POLLIN, 0};
        poll(&wait, 1, static_cast<int>(left < 50 ? left : 50));
    }

    // Lets the first paint and the settling event loop count in the peak memory.
    if (settleMs > 0) usleep(static_cast<useconds_t>(settleMs) * 1000);
    const long peak = PeakResidentKb(pid);
    End(pid);
    XCloseDisplay(display);
    std::printf("%.2f %ld\n", mapped, peak);
    return 0;
}
