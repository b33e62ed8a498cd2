#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <string>

#include "LKeyboard.h"
#include "LStdOut.h"
#include "LTerminalModes_posix.h"

// Keys come from the terminal on standard input as bytes; cursor and function keys
// arrive as escape sequences and are turned into the console's two-code form.
namespace keyboard {
namespace {

std::deque<int32_t> codes;  // codes decoded but not yet handed out
std::string bytes;          // bytes read but not yet decoded

bool IsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

// Waits up to timeoutMs (-1: without limit) for bytes; false at the end of input.
bool ReadMore(int timeoutMs) {
    pollfd ready{STDIN_FILENO, POLLIN, 0};
    int result;
    do {
        result = poll(&ready, 1, timeoutMs);
    } while (result < 0 && errno == EINTR);
    if (result <= 0) {
        return false;
    }
    char chunk[64];
    ssize_t n;
    do {
        n = read(STDIN_FILENO, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        return false;
    }
    bytes.append(chunk, static_cast<std::size_t>(n));
    return true;
}

struct Sequence {
    const char* text;
    int32_t prefix;
    int32_t code;
};

// The codes the console gives for these keys.
const Sequence kSequences[] = {
    {"\x1b[A", 0xE0, 72},    {"\x1b[B", 0xE0, 80},    {"\x1b[C", 0xE0, 77},  {"\x1b[D", 0xE0, 75},
    {"\x1b[H", 0xE0, 71},    {"\x1b[F", 0xE0, 79},    {"\x1b[1~", 0xE0, 71}, {"\x1b[4~", 0xE0, 79},
    {"\x1b[2~", 0xE0, 82},   {"\x1b[3~", 0xE0, 83},   {"\x1b[5~", 0xE0, 73}, {"\x1b[6~", 0xE0, 81},
    {"\x1bOH", 0xE0, 71},    {"\x1bOF", 0xE0, 79},    {"\x1bOP", 0, 59},     {"\x1bOQ", 0, 60},
    {"\x1bOR", 0, 61},       {"\x1bOS", 0, 62},       {"\x1b[15~", 0, 63},   {"\x1b[17~", 0, 64},
    {"\x1b[18~", 0, 65},     {"\x1b[19~", 0, 66},     {"\x1b[20~", 0, 67},   {"\x1b[21~", 0, 68},
    {"\x1b[23~", 0xE0, 133}, {"\x1b[24~", 0xE0, 134},
};

// Decodes one key from the front of bytes; false when more bytes are needed.
bool DecodeOne(bool moreMayCome) {
    auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead == 0x1b) {
        for (const auto& sequence : kSequences) {
            std::string text = sequence.text;
            if (bytes.compare(0, text.size(), text) == 0) {
                codes.push_back(sequence.prefix);
                codes.push_back(sequence.code);
                bytes.erase(0, text.size());
                return true;
            }
            if (moreMayCome && text.compare(0, bytes.size(), bytes) == 0) {
                return false;  // the start of a sequence: wait for the rest
            }
        }
        codes.push_back(0x1b);  // Escape itself, or a sequence the console has no code for
        bytes.erase(0, 1);
        return true;
    }
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC0 ? 2
                                        : 1;
    if (bytes.size() < length) {
        if (moreMayCome) {
            return false;
        }
        length = bytes.size();
    }
    // The terminal's Backspace is DEL; a line typed before the program set the
    // terminal's modes ends in LF, where the console would give Enter.
    int32_t code = lead == 0x7F ? 8 : lead == '\n' ? 13 : lead;
    if (length > 1) {
        code = lead & (0x3F >> (length - 1));
        for (std::size_t i = 1; i < length; ++i) {
            code = (code << 6) | (static_cast<unsigned char>(bytes[i]) & 0x3F);
        }
        if (code > 0xFFFF) {
            code = 0xFFFD;  // beyond one UTF-16 unit; no key of the prompt's
        }
    }
    codes.push_back(code);
    bytes.erase(0, length);
    return true;
}

// Decodes what has arrived; an incomplete sequence gets a moment to complete.
void Decode() {
    while (!bytes.empty()) {
        if (!DecodeOne(true) && !ReadMore(30)) {
            DecodeOne(false);  // nothing more came: take the bytes as they are
        }
    }
}

// No signals while the key is read, so that Ctrl+C arrives as code 3.
class KeyRead {
public:
    KeyRead() { terminal_modes::BeginKeyRead(); }
    ~KeyRead() { terminal_modes::EndKeyRead(); }
    KeyRead(const KeyRead&) = delete;
    KeyRead& operator=(const KeyRead&) = delete;
};

}  // namespace

int32_t ConsoleGetKey() {
    if (!IsTerminal()) {
        return kNoInput;
    }
    KeyRead reading;
    while (codes.empty()) {
        if (bytes.empty() && !ReadMore(-1)) {
            return kNoInput;
        }
        Decode();
    }
    int32_t code = codes.front();
    codes.pop_front();
    return code;
}

bool ConsoleKeyWaiting() {
    if (!IsTerminal()) {
        return false;
    }
    if (codes.empty() && bytes.empty()) {
        ReadMore(0);
    }
    return !codes.empty() || !bytes.empty();
}

void PutChar(LChar ch) {
    StdOutWrite(&ch, 1);
}

}  // namespace keyboard
