#include <objbase.h>

#include "ComApartment.h"

// The result is not examined: only the XML component needs COM, and it reports its
// own failure.
ComApartment::ComApartment() {
    CoInitialize(nullptr);
}

ComApartment::~ComApartment() {
    CoUninitialize();
}
