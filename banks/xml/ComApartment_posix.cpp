#include "ComApartment.h"

// Linux has no COM: the XML document needs no start-up there.
ComApartment::ComApartment() = default;

ComApartment::~ComApartment() = default;
