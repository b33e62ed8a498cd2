#pragma once

#include <deque>
#include <string>

#include "LKeyboard.h"

// Keys as typed, in place of the console's while the object exists; whether they
// count as waiting decides whether one pressed while the prompt's error shows takes
// it away. Past the last key there is no input, which counts as waiting as the
// end of a terminal's input does.
class ScriptedKeys : public keyboard::Source {
public:
    // Without `available`, the keyboard is one that a run whose input comes from a
    // file has.
    ScriptedKeys(const std::u16string& keys, bool waiting, bool available = true)
        : keys_(keys.begin(), keys.end()),
          waiting_(waiting),
          available_(available),
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
    bool KeyWaiting() override { return waiting_; }
    bool Available() override { return available_; }

private:
    std::deque<char16_t> keys_;
    bool waiting_;
    bool available_;
    keyboard::Source* previous_;
};
