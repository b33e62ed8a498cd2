// The functions the program imports from USBCDDLL, each handed to the one simulated
// library of the process.

#include <chrono>
#include <cstdio>

#include "SimFolder.h"
#include "SimLibrary.h"
#include "USBCDDLL.h"

namespace {

SimLibrary& Library() {
    // Never destroyed: an event thread still running at process exit, when the
    // program did not close the library, must not find it gone.
    static SimLibrary* library = new SimLibrary(
        SimLibraryFolder(),
        [] {
            return std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
        },
        [](const std::string& problem) {
            std::fprintf(stderr, "USBCDDLL simulator: %s\n", problem.c_str());
            std::fflush(stderr);
        });
    return *library;
}

}  // namespace

extern "C" {

int32_t USBCD_CALL InitUSBCDLibrary() {
    return Library().InitUSBCDLibrary();
}
int32_t USBCD_CALL GetDeviceNumber() {
    return Library().GetDeviceNumber();
}
int32_t USBCD_CALL EnumDevice(int32_t index) {
    return Library().EnumDevice(index);
}
int32_t USBCD_CALL SetCDCallbackProc(USBCDCallback callback) {
    return Library().SetCDCallbackProc(callback);
}
int32_t USBCD_CALL USBCDMoveto(int32_t device, int32_t slot) {
    return Library().USBCDMoveto(device, slot);
}
int32_t USBCD_CALL USBCDGetStatus(int32_t device) {
    return Library().USBCDGetStatus(device);
}
int32_t USBCD_CALL USBCDGetCDDown(int32_t device) {
    return Library().USBCDGetCDDown(device);
}
int32_t USBCD_CALL USBCDReset(int32_t device) {
    return Library().USBCDReset(device);
}
int32_t USBCD_CALL USBCDLEDON(int32_t device) {
    return Library().USBCDLEDON(device);
}
int32_t USBCD_CALL USBCDLEDOFF(int32_t device) {
    return Library().USBCDLEDOFF(device);
}
int32_t USBCD_CALL CloseUSBCDLibrary() {
    return Library().CloseUSBCDLibrary();
}
}
