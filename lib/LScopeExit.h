#pragma once

#include <utility>

// Runs an action when the scope ends, however it ends: a return or an exception.
template <typename Action>
class LScopeExit {
public:
    explicit LScopeExit(Action action) : action_(std::move(action)) {}
    ~LScopeExit() { action_(); }
    LScopeExit(const LScopeExit&) = delete;
    LScopeExit& operator=(const LScopeExit&) = delete;

private:
    Action action_;
};
