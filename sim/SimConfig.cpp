#include "SimConfig.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

std::string Trim(const std::string& text) {
    const char* blanks = " \t";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        parts.push_back(Trim(text.substr(start, end - start)));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// Every value is a count of milliseconds, a count of moves or an internal number:
// plain decimal digits that fit a 32-bit signed integer. Negative internal numbers
// are refused because EnumDevice answers -1 for "no device".
bool ParseNumber(const std::string& text, int64_t& value) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    int64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        result = result * 10 + (c - '0');
    }
    if (result > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    value = result;
    return true;
}

bool ParseInt32(const std::string& text, int32_t& value) {
    int64_t wide = 0;
    if (!ParseNumber(text, wide)) {
        return false;
    }
    value = static_cast<int32_t>(wide);
    return true;
}

// An empty value is an empty list; otherwise no item may be empty.
bool ParseList(const std::string& text, std::vector<int32_t>& values) {
    std::vector<int32_t> result;
    if (!text.empty()) {
        for (const std::string& item : Split(text, ',')) {
            int32_t value = 0;
            if (!ParseInt32(item, value)) {
                return false;
            }
            result.push_back(value);
        }
    }
    values = std::move(result);
    return true;
}

bool ParseEvents(const std::string& text, std::vector<SimConfig::Event>& events) {
    std::vector<SimConfig::Event> result;
    if (!text.empty()) {
        for (const std::string& item : Split(text, ',')) {
            std::vector<std::string> parts = Split(item, ':');
            SimConfig::Event event{0, 0};
            if (parts.size() != 2 || !ParseNumber(parts[0], event.ms) ||
                !ParseInt32(parts[1], event.device)) {
                return false;
            }
            result.push_back(event);
        }
    }
    events = std::move(result);
    return true;
}

// Applies one setting; false when the key is unknown or its value cannot be read,
// in which case `config` is unchanged.
bool Apply(const std::string& key, const std::string& value, SimConfig& config) {
    if (key == "devices") {
        std::vector<int32_t> devices;
        if (!ParseList(value, devices)) {
            return false;
        }
        // One internal number names one device.
        std::vector<int32_t> sorted = devices;
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
            return false;
        }
        config.devices = std::move(devices);
        return true;
    }
    if (key == "move_ms") {
        return ParseNumber(value, config.moveMs);
    }
    if (key == "cd_down_ms") {
        return ParseNumber(value, config.cdDownMs);
    }
    if (key == "busy_at_start_ms") {
        return ParseNumber(value, config.busyAtStartMs);
    }
    if (key == "reject_moves") {
        return ParseInt32(value, config.rejectMoves);
    }
    if (key == "never_ready") {
        return ParseList(value, config.neverReady);
    }
    if (key == "attach") {
        return ParseEvents(value, config.attach);
    }
    if (key == "detach") {
        return ParseEvents(value, config.detach);
    }
    if (key == "trace") {
        config.trace = value;
        return true;
    }
    return false;
}

}  // namespace

SimConfig ParseSimConfig(const std::string& text, std::vector<std::string>& problems) {
    SimConfig config;
    std::size_t start = 0;
    // A byte order mark, as Windows editors write one.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        start = 3;
    }
    for (int number = 1; start <= text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string raw = text.substr(start, end - start);
        start = end + 1;
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
        }
        std::string line = Trim(raw.substr(0, raw.find_first_of(";#")));
        if (line.empty()) {
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos ||
            !Apply(Lower(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)), config)) {
            problems.push_back("line " + std::to_string(number) + ": cannot read \"" + raw + "\"");
        }
    }
    return config;
}
