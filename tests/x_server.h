#pragma once
// A private X server (Xvfb) and window manager for tests that need a real
// display, stopped again when they go out of scope, and the test's own
// connection to the server.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// (One file of each test program includes this header.) SDL's X11 driver starts libdbus (screensaver, input methods), which keeps
// an allocation of its own to the end; the leak check passes over it.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT(bugprone-reserved-identifier)
    return "leak:libdbus-1.so\n";
}

namespace xtest_support {

// A program started with its output thrown away; ended (TERM, then KILL)
// and reaped when the object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // extraFd, when given, is handed to the child as descriptor 3.
    bool Start(const std::vector<std::string>& args, int extraFd = -1) {
        std::vector<char*> argv;
        argv.reserve(args.size() + 1);
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (extraFd >= 0) posix_spawn_file_actions_adddup2(&actions, extraFd, kExtraFd);
        const int result = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (result != 0) pid = -1;
        return pid > 0;
    }
    ~ChildProcess() { Stop(); }

    static constexpr int kExtraFd = 3;

private:
    void Stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        for (int i = 0; i < kStopPolls; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(kStopPollMs));
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }

    static constexpr int kStopPolls = 100;
    static constexpr int kStopPollMs = 20;
    pid_t pid = -1;
};

// Xvfb on a display number it picks itself (-displayfd), one screen.
class VirtualXServer {
public:
    // False when Xvfb is missing or does not report ready in time.
    bool Start(int width, int height) {
        int ready[2];
        if (pipe(ready) != 0) return false;
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const bool started =
            server.Start({"Xvfb", "-displayfd", std::to_string(ChildProcess::kExtraFd), "-screen", "0",
                          screen, "-nolisten", "tcp", "-noreset"},
                         ready[1]);
        close(ready[1]);
        if (started) name = ReadDisplayNumber(ready[0]);
        close(ready[0]);
        return !name.empty();
    }
    const std::string& Name() const { return name; }

private:
    // The server writes its display number and a line end once it listens.
    static std::string ReadDisplayNumber(int fd) {
        std::string number;
        pollfd wait{fd, POLLIN, 0};
        while (poll(&wait, 1, kReadyTimeoutMs) > 0) {
            char c = 0;
            if (read(fd, &c, 1) != 1) break;
            if (c == '\n') return ":" + number;
            number += c;
        }
        return {};
    }

    static constexpr int kReadyTimeoutMs = 10000;
    ChildProcess server;
    std::string name;
};

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

// True once a window manager announces itself on the root window
// (_NET_SUPPORTING_WM_CHECK, as EWMH window managers set it).
inline bool HasWindowManager(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                          AnyPropertyType, &type, &format, &count, &left, &data);
    if (data) XFree(data);
    return status == Success && count == 1;
}

// Sets an environment variable for the object's life.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (previous) setenv(name, previous->c_str(), 1);
        else unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

}  // namespace xtest_support
