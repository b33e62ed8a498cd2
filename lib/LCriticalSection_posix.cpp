#include <pthread.h>

#include <new>

#include "LCriticalSection.h"

namespace {
pthread_mutex_t* Mutex(unsigned char* storage) {
    return reinterpret_cast<pthread_mutex_t*>(storage);
}
}  // namespace

LCriticalSection::LCriticalSection() {
    static_assert(sizeof(pthread_mutex_t) <= sizeof section_, "mutex does not fit");
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (section_) pthread_mutex_t, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

LCriticalSection::~LCriticalSection() {
    pthread_mutex_destroy(Mutex(section_));
}

int32_t LCriticalSection::Lock(int32_t /*waitTime*/) {
    pthread_mutex_lock(Mutex(section_));
    return 1;
}

int32_t LCriticalSection::Unlock() {
    pthread_mutex_unlock(Mutex(section_));
    return 1;
}
