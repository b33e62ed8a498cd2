#pragma once

#include <cstddef>
#include <cstdint>

#include "LNodePool.h"

struct LMapNode {
    LMapNode* next;
    uint32_t bucket;
    int32_t key;
    int32_t value;
};

// Hash map from 32-bit key to 32-bit value, its nodes pooled in blocks. Entries are
// never removed one by one.
class LMap {
public:
    static constexpr uint32_t kDefaultBuckets = 17;

    explicit LMap(int32_t blockSize = 10, bool privateHeap = false);
    ~LMap();
    LMap(const LMap&) = delete;
    LMap& operator=(const LMap&) = delete;

    bool Lookup(int32_t key, int32_t& value) const;
    // The value slot of the key, inserted with value 0 when absent.
    int32_t& FindOrInsert(int32_t key);
    void InitHashTable(uint32_t buckets, bool allocateNow = true);
    int32_t GetCount() const { return count_; }
    void RemoveAll();

    uint32_t GetBucketCount() const { return bucketCount_; }
    bool HasBuckets() const { return buckets_ != nullptr; }
    // The bucket a key is filed under: small keys share buckets by design.
    uint32_t BucketOf(int32_t key) const {
        return (static_cast<uint32_t>(key) >> 4) % bucketCount_;
    }
    const LNodePool& Pool() const { return pool_; }

private:
    // The first block of a map's own heap.
    static constexpr std::size_t kPrivateHeapBytes = 1600;

    LMapNode* Find(int32_t key) const;

    LMapNode** buckets_ = nullptr;
    uint32_t bucketCount_ = kDefaultBuckets;
    int32_t count_ = 0;
    LNodePool pool_;
};
