#include <atomic>

#include "LKeyboard.h"

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

Source* SetSource(Source* source) {
    return installed.exchange(source);
}

}  // namespace keyboard
