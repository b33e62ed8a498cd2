#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The simulator's settings, read from USBCDSIM.ini at InitUSBCDLibrary. Each field
// carries the name of its key; times are milliseconds from InitUSBCDLibrary.
struct SimConfig {
    // One hot-plug event: at `ms` the device `device` is attached or detached.
    struct Event {
        int64_t ms;
        int32_t device;
        bool operator==(const Event& other) const {
            return ms == other.ms && device == other.device;
        }
    };

    std::vector<int32_t> devices{0, 1};  // in the order EnumDevice reports them
    int64_t moveMs = 1500;
    int64_t cdDownMs = 1000;
    int64_t busyAtStartMs = 0;
    int32_t rejectMoves = 0;
    std::vector<int32_t> neverReady;
    std::vector<Event> attach;
    std::vector<Event> detach;
    std::string trace;  // file name relative to the library's folder; empty: no trace
};

// Reads the text of a configuration file: one `key = value` per line, `;` or `#`
// starting a comment. Keys ignore case; a key given twice keeps its last value.
// A line that cannot be read leaves the settings as they were and adds one
// description, naming its line number, to `problems`.
SimConfig ParseSimConfig(const std::string& text, std::vector<std::string>& problems);
