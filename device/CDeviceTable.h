#pragma once

#include <cstdint>

#include "LCriticalSection.h"
#include "LList.h"
#include "LMap.h"
#include "USBCDDLL.h"

// Bank (1..127) to the internal number of its device. The first table of the
// process starts the vendor library and enumerates the attached devices into the
// process-wide device list; the last one destroyed stops the library.
class CDeviceTable : public LMap {
public:
    // What the table answers for a bank it does not hold.
    static constexpr int32_t kNoDevice = 4;

    CDeviceTable();
    ~CDeviceTable();

    int32_t MoveTo(int32_t bank, int32_t slot);
    int32_t GetStatus(int32_t bank);
    int32_t GetCDDown(int32_t bank);

    // Refills the device list with the first count devices of the library.
    static void EnumerateDevices(int32_t count);
    // Registered with the library, which may call it from any thread.
    static int32_t USBCD_CALL EnumerationCallback(int32_t count);

    // The device list can change under the reader's feet when a device is plugged
    // in, so readers get a copy taken under the list's lock.
    static void CopyDeviceList(LList& into);
    static int32_t GetDeviceCount();
    // Whether the device is in the device list: attached, as far as the library has
    // told.
    static bool IsAttached(int32_t device);

    // The program-wide objects behind every table, defined with the others.
    static LCriticalSection libraryLock;
    static LCriticalSection deviceListLock;
    static LList deviceList;

private:
    static int32_t libraryReferences_;
};
