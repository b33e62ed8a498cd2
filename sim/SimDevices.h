#pragma once

#include <cstdint>
#include <vector>

#include "CarouselGeometry.h"
#include "SimConfig.h"

// Results of the device functions.
enum SimResult : int32_t {
    kSimDone = 0,      // done, or ready
    kSimBusy = 1,      // busy, or the request is rejected
    kSimBadSlot = 2,   // slot outside 1..150
    kSimNoDevice = 3,  // no attached device has this internal number
};

// The attached carousels and what each is doing. Pure logic: every call that depends
// on time is given the current time, in milliseconds from InitUSBCDLibrary, so that
// the behaviour is checked without waiting. Not thread-safe; the library locks.
//
// Choices made here, where the vendor library's behaviour is not known:
// - Arguments are checked before the state: an unknown device gives 3, then a bad
//   slot 2, then a busy device 1.
// - Only moves asked while the device is ready count toward reject_moves; a move
//   refused because the device is busy does not use up one of those rejections.
// - USBCDReset answers 0 and changes nothing: the busy times are fixed by the
//   settings (busy_at_start_ms, move_ms), and a reset does not shorten them.
// - A never_ready device answers 1 to status and move requests, 0 to the disc-down
//   request (no move is ever accepted).
// - Attaching a device that is attached, or detaching one that is not, changes
//   nothing. A device attached again starts afresh (no move, no rejection counted).
class SimDevices {
public:
    static constexpr int32_t kFirstSlot = carousel::kFirstSlot;
    static constexpr int32_t kLastSlot = carousel::kSlots;

    explicit SimDevices(const SimConfig& config);

    int32_t Count() const { return static_cast<int32_t>(devices_.size()); }
    // The internal number at that index, -1 outside the list.
    int32_t At(int32_t index) const;

    int32_t MoveTo(int64_t now, int32_t device, int32_t slot);
    int32_t GetStatus(int64_t now, int32_t device) const;
    int32_t GetCDDown(int64_t now, int32_t device) const;
    int32_t Reset(int32_t device) const;
    // The LED cannot be seen here: switching it only checks the device.
    int32_t SwitchLed(int32_t device) const;

    // Appends the device; false when it is attached already.
    bool Attach(int32_t device);
    // Removes the device, keeping the order of the others; false when not attached.
    bool Detach(int32_t device);

private:
    struct Device {
        int32_t id;
        bool neverReady;
        int64_t busyUntil;    // ready from this time on
        int64_t cdDownUntil;  // disc down before this time, from an accepted move on
        int32_t rejected;     // moves refused since the last accepted one
    };

    Device* Find(int32_t device);
    const Device* Find(int32_t device) const;
    Device Fresh(int32_t device) const;
    bool Busy(int64_t now, const Device& device) const {
        return device.neverReady || now < device.busyUntil;
    }

    int64_t moveMs_;
    int64_t cdDownMs_;
    int64_t busyAtStartMs_;
    int32_t rejectMoves_;
    std::vector<int32_t> neverReady_;
    std::vector<Device> devices_;
};
