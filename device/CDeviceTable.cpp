#include "CDeviceTable.h"

int32_t CDeviceTable::libraryReferences_ = 0;

CDeviceTable::CDeviceTable() : LMap(10, false) {
    const auto library = LLockForScope(libraryLock);
    if (libraryReferences_++ == 0) {
        InitUSBCDLibrary();
        EnumerateDevices(GetDeviceNumber());
        SetCDCallbackProc(&CDeviceTable::EnumerationCallback);
    }
}

CDeviceTable::~CDeviceTable() {
    if (--libraryReferences_ == 0) {
        CloseUSBCDLibrary();
    }
}

void CDeviceTable::EnumerateDevices(int32_t count) {
    // The list lock is never held around anything that waits for the main thread,
    // so the library's thread cannot deadlock here.
    const auto list = LLockForScope(deviceListLock);
    deviceList.RemoveAll();
    for (int32_t i = 0; i < count; ++i) {
        deviceList.AddTail(EnumDevice(i));
    }
}

int32_t USBCD_CALL CDeviceTable::EnumerationCallback(int32_t count) {
    EnumerateDevices(count);
    return GetDeviceCount();
}

void CDeviceTable::CopyDeviceList(LList& into) {
    const auto list = LLockForScope(deviceListLock);
    into.RemoveAll();
    for (LPosition p = deviceList.GetHeadPosition(); p != nullptr;) {
        into.AddTail(deviceList.GetNext(p));
    }
}

int32_t CDeviceTable::GetDeviceCount() {
    const auto list = LLockForScope(deviceListLock);
    return deviceList.GetCount();
}

bool CDeviceTable::IsAttached(int32_t device) {
    const auto list = LLockForScope(deviceListLock);
    for (LPosition p = deviceList.GetHeadPosition(); p != nullptr;) {
        if (deviceList.GetNext(p) == device) {
            return true;
        }
    }
    return false;
}

int32_t CDeviceTable::MoveTo(int32_t bank, int32_t slot) {
    int32_t device = 0;
    return Lookup(bank, device) ? USBCDMoveto(device, slot) : kNoDevice;
}

int32_t CDeviceTable::GetStatus(int32_t bank) {
    int32_t device = 0;
    return Lookup(bank, device) ? USBCDGetStatus(device) : kNoDevice;
}

int32_t CDeviceTable::GetCDDown(int32_t bank) {
    int32_t device = 0;
    return Lookup(bank, device) ? USBCDGetCDDown(device) : kNoDevice;
}
