#pragma once

#include <deque>
#include <string>

#include "LKeyboard.h"

// Keys as typed, in place of the console's while the object exists; whether they
// count as waiting decides whether one pressed while the prompt's error shows takes
// it away. Past the last key there is no input.
class ScriptedKeys : public keyboard::Source {
public:
    ScriptedKeys(const std::u16string& keys, bool waiting)
        : keys_(keys.begin(), keys.end()),
          waiting_(waiting),
          previous_(keyboard::SetSource(this)) {}
    ~ScriptedKeys() override { keyboard::SetSource(previous_); }
    ScriptedKeys(const ScriptedKeys&) = delete;
    ScriptedKeys& operator=(const ScriptedKeys&) = delete;

    int32_t GetKey() override {
        if (keys_.empty()) {
            return keyboard::kNoInput;
        }
        const int32_t key = keys_.front();
        keys_.pop_front();
        return key;
    }
    bool KeyWaiting() override { return waiting_ && !keys_.empty(); }
    bool Available() override { return true; }

private:
    std::deque<char16_t> keys_;
    bool waiting_;
    keyboard::Source* previous_;
};
