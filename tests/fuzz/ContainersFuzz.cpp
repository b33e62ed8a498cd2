// Sequences of LList and LMap operations, checked against std::vector and std::map:
// the list's order and count, every key's value, the bucket count, and the pools'
// blocks, with block sizes and private heaps chosen by the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "FuzzCheck.h"
#include "LList.h"
#include "LMap.h"

namespace {

struct Model {
    std::vector<int32_t> list;
    std::map<int32_t, int32_t> map;
    uint32_t buckets = LMap::kDefaultBuckets;
};

// Small keys share buckets; now and then any key.
int32_t NextKey(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-40, 300)
                            : in.ConsumeIntegral<int32_t>();
}

int32_t BlocksFor(int32_t count, int32_t blockSize) {
    return (count + blockSize - 1) / blockSize;
}

void CheckList(const LList& list, const std::vector<int32_t>& model) {
    FuzzCheck(list.GetCount() == static_cast<int32_t>(model.size()), "list count");
    std::vector<int32_t> values;
    const LListNode* previous = nullptr;
    for (LPosition p = list.GetHeadPosition(); p != nullptr;) {
        FuzzCheck(p->previous == previous, "previous link");
        previous = p;
        values.push_back(list.GetNext(p));
    }
    FuzzCheck(previous == list.GetTailPosition(), "tail");
    FuzzCheck(values == model, "list values");
    FuzzCheck(list.Pool().BlockCount() == BlocksFor(list.GetCount(), list.Pool().BlockSize()),
              "list blocks");
}

void CheckMap(const LMap& map, const Model& model) {
    FuzzCheck(map.GetCount() == static_cast<int32_t>(model.map.size()), "map count");
    FuzzCheck(map.GetBucketCount() == model.buckets, "bucket count");
    for (const auto& [key, expected] : model.map) {
        int32_t value = 0;
        FuzzCheck(map.Lookup(key, value) && value == expected, "map value");
    }
    FuzzCheck(map.Pool().BlockCount() == BlocksFor(map.GetCount(), map.Pool().BlockSize()),
              "map blocks");
}

void Step(LList& list, LMap& map, Model& model, FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0: {
            int32_t value = in.ConsumeIntegral<int32_t>();
            LPosition added = list.AddTail(value);
            model.list.push_back(value);
            FuzzCheck(
                added == list.GetTailPosition() && added->next == nullptr && added->value == value,
                "AddTail's node");
            break;
        }
        case 1:
            list.RemoveAll();
            model.list.clear();
            break;
        case 2: {
            int32_t key = NextKey(in);
            int32_t value = in.ConsumeIntegral<int32_t>();
            map.FindOrInsert(key) = value;
            model.map[key] = value;
            break;
        }
        case 3: {  // reading through FindOrInsert inserts a zero
            int32_t key = NextKey(in);
            FuzzCheck(map.FindOrInsert(key) == model.map[key], "FindOrInsert's slot");
            break;
        }
        case 4: {
            int32_t key = NextKey(in);
            int32_t value = 12345;
            bool found = map.Lookup(key, value);
            auto it = model.map.find(key);
            FuzzCheck(found == (it != model.map.end()), "Lookup's result");
            FuzzCheck(value == (found ? it->second : 12345), "Lookup's value");
            break;
        }
        case 5: {
            auto buckets = in.ConsumeIntegralInRange<uint32_t>(0, 2000);
            map.InitHashTable(buckets, in.ConsumeBool());
            if (model.map.empty() && buckets != 0) {
                model.buckets = buckets;
            }
            break;
        }
        case 6:
            map.RemoveAll();
            model.map.clear();
            FuzzCheck(!map.HasBuckets(), "no bucket array after RemoveAll");
            break;
        default:
            CheckList(list, model.list);
            CheckMap(map, model);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    auto listBlock = in.ConsumeIntegralInRange<int32_t>(-2, 40);
    auto mapBlock = in.ConsumeIntegralInRange<int32_t>(-2, 40);
    LList list(listBlock, in.ConsumeBool());
    LMap map(mapBlock, in.ConsumeBool());
    FuzzCheck(list.Pool().BlockSize() == (listBlock > 0 ? listBlock : 10), "list block size");
    FuzzCheck(map.Pool().BlockSize() == (mapBlock > 0 ? mapBlock : 10), "map block size");
    Model model;
    while (in.remaining_bytes() > 0) {
        Step(list, map, model, in);
    }
    CheckList(list, model.list);
    CheckMap(map, model);
    return 0;
}
