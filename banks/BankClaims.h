#pragma once

#include <cstdint>

#include "BankItems.h"
#include "CarouselGeometry.h"

// Which attached device holds each bank, so that the numbering never gives one bank
// to two devices: the banks the table gives attached devices, then those the user
// gives in this run. A bank that only a device no longer attached holds is free: it
// goes to the device that replaces it.
class BankClaims {
public:
    // A bank that the table gives an attached device.
    void Hold(int32_t bank, int32_t device) { Set(bank, device, false); }
    // A bank that the user gave a device in this run.
    void Give(int32_t bank, int32_t device) { Set(bank, device, true); }

    // Whether a device other than this one holds the bank.
    bool TakenFromOther(int32_t bank, int32_t device) const {
        const Claim* claim = Find(bank);
        return claim != nullptr && claim->claimed && claim->device != device;
    }
    // Whether the bank was given in this run, and to which device.
    bool GivenInRun(int32_t bank, int32_t& device) const {
        const Claim* claim = Find(bank);
        if (claim == nullptr || !claim->given) {
            return false;
        }
        device = claim->device;
        return true;
    }

private:
    struct Claim {
        bool claimed;
        bool given;
        int32_t device;
    };

    void Set(int32_t bank, int32_t device, bool given) {
        if (carousel::IsBank(bank)) {
            claims_[bank] = Claim{true, given, device};
        }
    }
    const Claim* Find(int32_t bank) const {
        return carousel::IsBank(bank) ? &claims_[bank] : nullptr;
    }

    Claim claims_[carousel::kHighestBank + 1]{};
};
