#pragma once

#include <cstdint>

// The disc library vendor's functions, as the program imports them from USBCDDLL.
// Every argument and result is a 32-bit signed integer; a device is named by its
// internal number, the value EnumDevice gives. Standard-call on 32-bit Windows,
// where each exported name carries its argument size in bytes (InitUSBCDLibrary@0,
// USBCDMoveto@8, ...); x64 has one calling convention and plain names.
#if defined(_WIN32)
#define USBCD_CALL __stdcall
#else
#define USBCD_CALL
#endif

extern "C" {

// Called by the library, from any thread, with the number of devices now attached.
typedef int32_t(USBCD_CALL* USBCDCallback)(int32_t count);

int32_t USBCD_CALL InitUSBCDLibrary();
int32_t USBCD_CALL GetDeviceNumber();
int32_t USBCD_CALL EnumDevice(int32_t index);
int32_t USBCD_CALL SetCDCallbackProc(USBCDCallback callback);
int32_t USBCD_CALL USBCDMoveto(int32_t device, int32_t slot);
int32_t USBCD_CALL USBCDGetStatus(int32_t device);
int32_t USBCD_CALL USBCDGetCDDown(int32_t device);
int32_t USBCD_CALL USBCDReset(int32_t device);
int32_t USBCD_CALL USBCDLEDON(int32_t device);
int32_t USBCD_CALL USBCDLEDOFF(int32_t device);
int32_t USBCD_CALL CloseUSBCDLibrary();
}
