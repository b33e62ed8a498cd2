#include <windows.h>

#include "LThreadPlatform.h"

namespace {
HANDLE Native(LThreadHandle handle) {
    return static_cast<HANDLE>(handle);
}

DWORD WINAPI StartRoutine(LPVOID object) {
    return LThread::ThreadProc(object);
}
}  // namespace

LThreadHandle LThreadCreate(LThread* thread, bool suspended, uint32_t* threadId) {
    static_assert(sizeof(DWORD) == sizeof(uint32_t), "thread ids are 32-bit");
    return CreateThread(nullptr, 0, &StartRoutine, thread, suspended ? CREATE_SUSPENDED : 0,
                        reinterpret_cast<DWORD*>(threadId));
}

bool LThreadGetExitCode(LThreadHandle handle, uint32_t* exitCode) {
    DWORD code = 0;
    if (handle == nullptr || !GetExitCodeThread(Native(handle), &code)) {
        return false;
    }
    *exitCode = code;
    return true;
}

void LThreadTerminate(LThreadHandle handle) {
    TerminateThread(Native(handle), 0);
}

bool LThreadClose(LThreadHandle handle) {
    return CloseHandle(Native(handle)) != 0;
}

LThreadHandle LThreadCurrentPseudoHandle() {
    return GetCurrentThread();
}

uint32_t LThreadCurrentId() {
    return GetCurrentThreadId();
}

int32_t LThread::MessageLoop() {
    MSG message;
    for (;;) {
        BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) {
            return static_cast<int32_t>(message.wParam);
        }
        if (result == -1) {
            return 0;
        }
        if (PreTranslateMessage(message.hwnd, message.message, message.wParam, message.lParam) !=
            0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
