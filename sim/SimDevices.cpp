#include "SimDevices.h"

#include <algorithm>

SimDevices::SimDevices(const SimConfig& config)
    : moveMs_(config.moveMs),
      cdDownMs_(config.cdDownMs),
      busyAtStartMs_(config.busyAtStartMs),
      rejectMoves_(config.rejectMoves),
      neverReady_(config.neverReady) {
    for (int32_t id : config.devices) {
        Attach(id);
    }
}

int32_t SimDevices::At(int32_t index) const {
    if (index < 0 || index >= Count()) {
        return -1;
    }
    return devices_[static_cast<std::size_t>(index)].id;
}

int32_t SimDevices::MoveTo(int64_t now, int32_t id, int32_t slot) {
    Device* device = Find(id);
    if (device == nullptr) {
        return kSimNoDevice;
    }
    if (slot < kFirstSlot || slot > kLastSlot) {
        return kSimBadSlot;
    }
    if (Busy(now, *device)) {
        return kSimBusy;
    }
    if (device->rejected < rejectMoves_) {
        ++device->rejected;
        return kSimBusy;
    }
    device->rejected = 0;
    device->busyUntil = now + moveMs_;
    device->cdDownUntil = device->busyUntil + cdDownMs_;
    return kSimDone;
}

int32_t SimDevices::GetStatus(int64_t now, int32_t id) const {
    const Device* device = Find(id);
    if (device == nullptr) {
        return kSimNoDevice;
    }
    return Busy(now, *device) ? kSimBusy : kSimDone;
}

int32_t SimDevices::GetCDDown(int64_t now, int32_t id) const {
    const Device* device = Find(id);
    if (device == nullptr) {
        return kSimNoDevice;
    }
    return now < device->cdDownUntil ? kSimBusy : kSimDone;
}

int32_t SimDevices::Reset(int32_t id) const {
    return Find(id) == nullptr ? kSimNoDevice : kSimDone;
}

int32_t SimDevices::SwitchLed(int32_t id) const {
    return Find(id) == nullptr ? kSimNoDevice : kSimDone;
}

bool SimDevices::Attach(int32_t id) {
    if (Find(id) != nullptr) {
        return false;
    }
    devices_.push_back(Fresh(id));
    return true;
}

bool SimDevices::Detach(int32_t id) {
    auto found = std::find_if(devices_.begin(), devices_.end(),
                              [id](const Device& device) { return device.id == id; });
    if (found == devices_.end()) {
        return false;
    }
    devices_.erase(found);
    return true;
}

SimDevices::Device* SimDevices::Find(int32_t id) {
    return const_cast<Device*>(static_cast<const SimDevices*>(this)->Find(id));
}

const SimDevices::Device* SimDevices::Find(int32_t id) const {
    for (const Device& device : devices_) {
        if (device.id == id) {
            return &device;
        }
    }
    return nullptr;
}

SimDevices::Device SimDevices::Fresh(int32_t id) const {
    bool neverReady = std::find(neverReady_.begin(), neverReady_.end(), id) != neverReady_.end();
    // Every device is busy for busy_at_start_ms after the start, one attached
    // later included; after that time the value no longer matters.
    return Device{id, neverReady, busyAtStartMs_, 0, 0};
}
