#pragma once

#include <cstdint>

#include "LList.h"
#include "LString.h"

// The discs named on the command line, in the order they are to be selected:
// single numbers and ascending ranges first-last.
class CDiscList : public LList {
public:
    CDiscList(int32_t argumentCount, const LChar* const* arguments);

    bool IsValid() const { return valid_ != 0; }
    void PrintUsage();

private:
    bool ReadNumber(const LString& text, int32_t& number) const;

    uint8_t valid_ = 0;
};
