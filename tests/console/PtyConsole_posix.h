#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// The console on a pseudo-terminal of a given size, so that a test sees the bytes the
// program draws. The program's terminal is made once per process, with standard output
// as it is then: the first PtyConsole opens the console with standard output on its
// pseudo-terminal, so it must come before anything else in the test program writes
// through the console. Standard output is the pseudo-terminal only while Draw runs,
// and the test framework's report goes where it always does.
class PtyConsole {
public:
    PtyConsole(int width, int height);
    ~PtyConsole();
    PtyConsole(const PtyConsole&) = delete;
    PtyConsole& operator=(const PtyConsole&) = delete;

    // Runs `draw` with standard output on the pseudo-terminal, and returns every byte
    // that reached the terminal meanwhile.
    std::string Draw(const std::function<void()>& draw);

private:
    void Read();

    int master_ = -1;
    int slave_ = -1;
    std::thread reader_;
    std::mutex lock_;
    std::condition_variable arrived_;
    std::string received_;
};
