#include "LMap.h"

LMap::LMap(int32_t blockSize, bool privateHeap)
    : pool_(sizeof(LMapNode), blockSize, privateHeap, kPrivateHeapBytes) {}

LMap::~LMap() {
    RemoveAll();
}

LMapNode* LMap::Find(int32_t key) const {
    if (buckets_ == nullptr) {
        return nullptr;
    }
    for (LMapNode* node = buckets_[BucketOf(key)]; node != nullptr; node = node->next) {
        if (node->key == key) {
            return node;
        }
    }
    return nullptr;
}

bool LMap::Lookup(int32_t key, int32_t& value) const {
    const LMapNode* node = Find(key);
    if (node == nullptr) {
        return false;
    }
    value = node->value;
    return true;
}

int32_t& LMap::FindOrInsert(int32_t key) {
    if (LMapNode* node = Find(key)) {
        return node->value;
    }
    if (buckets_ == nullptr) {
        InitHashTable(bucketCount_, true);
    }
    auto* node = static_cast<LMapNode*>(pool_.Take());
    ++count_;
    node->bucket = BucketOf(key);
    node->key = key;
    node->next = buckets_[node->bucket];
    buckets_[node->bucket] = node;
    return node->value;
}

void LMap::InitHashTable(uint32_t buckets, bool allocateNow) {
    if (count_ != 0 || buckets == 0) {
        return;
    }
    if (buckets_ != nullptr) {
        LHeapFree(pool_.Heap(), buckets_);
        buckets_ = nullptr;
    }
    if (allocateNow) {
        buckets_ = static_cast<LMapNode**>(
            LHeapAlloc(pool_.Heap(), LHeapBytes(0, buckets, sizeof(LMapNode*))));
    }
    bucketCount_ = buckets;
}

void LMap::RemoveAll() {
    if (buckets_ != nullptr) {
        LHeapFree(pool_.Heap(), buckets_);
        buckets_ = nullptr;
    }
    count_ = 0;
    pool_.FreeAll();
}
