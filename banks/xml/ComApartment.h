#pragma once

// COM started on the calling thread for the object's lifetime; the XML document of
// the bank table file needs it on Windows.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};
