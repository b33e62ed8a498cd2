#include "LList.h"

LList::LList(int32_t blockSize, bool privateHeap)
    : pool_(sizeof(LListNode), blockSize, privateHeap, kPrivateHeapBytes) {}

LList::~LList() {
    RemoveAll();
}

LPosition LList::AddTail(int32_t value) {
    auto* node = static_cast<LListNode*>(pool_.Take());
    ++count_;
    node->previous = tail_;
    node->next = nullptr;
    node->value = value;
    if (tail_ != nullptr) {
        tail_->next = node;
    } else {
        head_ = node;
    }
    tail_ = node;
    return node;
}

int32_t LList::GetNext(LPosition& position) const {
    LListNode* node = position;
    position = node->next;
    return node->value;
}

void LList::RemoveAll() {
    head_ = nullptr;
    tail_ = nullptr;
    count_ = 0;
    pool_.FreeAll();
}
