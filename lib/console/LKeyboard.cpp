#include "LKeyboard.h"

#include <atomic>

#include "LInterrupt.h"

namespace keyboard {
namespace {
std::atomic<Source*> installed{nullptr};
}  // namespace

bool Available() {
    Source* source = installed.load();
    return source != nullptr ? source->Available() : ConsoleAvailable();
}

int32_t GetKey() {
    Source* source = installed.load();
    return source != nullptr ? source->GetKey() : ConsoleGetKey();
}

bool KeyWaiting() {
    Source* source = installed.load();
    return source != nullptr ? source->KeyWaiting() : ConsoleKeyWaiting();
}

int32_t NextKey() {
    const int32_t key = GetKey();
    if (key == kNoInput) {
        throw NoConsoleInput();
    }
    if (key == kCtrlC) {
        throw interrupt::Interrupted();
    }
    return key;
}

Source* SetSource(Source* source) {
    return installed.exchange(source);
}

}  // namespace keyboard
