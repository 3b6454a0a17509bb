// A private system bus with a mock bluetoothd, started by the Python
// helper bluez_world.py and driven line by line. Every read from the helper
// has a deadline; the helper and what it started end with this object.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace vornik::test {

// The ids of the world bluez_world.py builds, as the control names them.
inline const std::string kServer = "E8C04D000404";
inline const std::string kMain = "001000000000";
inline const std::string kEcho = "001000120000";        // char0011: value handle 0x0012, holds "echo"
inline const std::string kCounter = "001000160000";     // char0015: notify and indicate
inline const std::string kPlain = "001000190000";       // char0018, value "x"
inline const std::string kCccd = "001000160017";        // the CCCD of char0015
inline const std::string kDescription = "001000120013"; // desc0013 of char0011: user description "Echo"
inline const std::string kBattery = "003000000000";     // included by the main service

class MockBluez {
public:
    // build: the adapter and the device with its services; without it the
    // mock bluetoothd has no adapter.
    explicit MockBluez(bool build = true)
    {
        int toChild[2];
        int fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
        ::setenv("BLUEZ_WORLD_BUILD", build ? "1" : "0", 1);
        std::vector<char*> argv{const_cast<char*>(QC_SYSTEM_PYTHON), const_cast<char*>(BLUEZ_WORLD_SCRIPT), nullptr};
        const int spawned = posix_spawn(&pid_, QC_SYSTEM_PYTHON, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(toChild[0]);
        close(fromChild[1]);
        toChild_ = toChild[1];
        fromChild_ = fromChild[0];
        if (spawned != 0)
            throw std::runtime_error("cannot start the mock bluetoothd");
        const std::string ready = ReadLine(std::chrono::seconds(30));
        if (ready.rfind("ready ", 0) != 0)
            throw std::runtime_error("mock bluetoothd: " + ready);
        address_ = ready.substr(6);
    }

    ~MockBluez()
    {
        close(toChild_); // the helper stops the daemons and ends
        const int process = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
        pollfd ended{process, POLLIN, 0};
        if (process < 0 || poll(&ended, 1, 15000) != 1)
            kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        if (process >= 0)
            close(process);
        close(fromChild_);
    }

    MockBluez(const MockBluez&) = delete;
    MockBluez& operator=(const MockBluez&) = delete;

    const std::string& Address() const { return address_; }

    // Runs one helper expression ("w.notify(...)"); its answer without
    // the "ok" or the error text after "error".
    std::string Do(const std::string& expression)
    {
        if (!Send(expression))
            return "error write";
        return Answer();
    }

    // Do() in two halves, for work the caller does while the helper runs.
    bool Send(const std::string& expression)
    {
        const std::string line = expression + "\n";
        return write(toChild_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    }

    std::string Answer()
    {
        const std::string answer = ReadLine(std::chrono::seconds(30));
        if (answer == "ok")
            return "";
        if (answer.rfind("ok ", 0) == 0)
            return answer.substr(3);
        return "!" + answer;
    }

private:
    std::string ReadLine(std::chrono::seconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (true) {
            const auto newline = buffer_.find('\n');
            if (newline != std::string::npos) {
                std::string line = buffer_.substr(0, newline);
                buffer_.erase(0, newline + 1);
                return line;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd readable{fromChild_, POLLIN, 0};
            if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) != 1)
                return "error no answer from the mock bluetoothd in time";
            char chunk[4096];
            const ssize_t got = read(fromChild_, chunk, sizeof chunk);
            if (got <= 0)
                return "error the mock bluetoothd ended";
            buffer_.append(chunk, static_cast<std::size_t>(got));
        }
    }

    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffer_;
    std::string address_;
};

} // namespace vornik::test
