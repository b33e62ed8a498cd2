#include <benchmark/benchmark.h>

#include <cstdint>
#include <list>
#include <unordered_map>
#include <vector>

#include "LList.h"
#include "LMap.h"

namespace {

// How each container is filled and walked: LList by its own names, the standard
// ones by theirs.
void Append(LList& list, int32_t value) {
    list.AddTail(value);
}
template <typename Container>
void Append(Container& container, int32_t value) {
    container.push_back(value);
}
int64_t Sum(const LList& list) {
    int64_t sum = 0;
    for (LPosition p = list.GetHeadPosition(); p != nullptr;) {
        sum += list.GetNext(p);
    }
    return sum;
}
template <typename Container>
int64_t Sum(const Container& container) {
    int64_t sum = 0;
    for (int32_t value : container) {
        sum += value;
    }
    return sum;
}

template <typename Container>
void AppendAndWalk(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        Container list;
        for (int32_t i = 0; i < n; ++i) {
            Append(list, i);
        }
        benchmark::DoNotOptimize(Sum(list));
    }
    state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(AppendAndWalk<LList>)->Arg(10)->Arg(1000)->Arg(19050);
BENCHMARK(AppendAndWalk<std::list<int32_t>>)->Arg(10)->Arg(1000)->Arg(19050);
BENCHMARK(AppendAndWalk<std::vector<int32_t>>)->Arg(10)->Arg(1000)->Arg(19050);

// Keys spread like banks (1..127) for the small case, and like arbitrary 32-bit
// numbers for the large one.
int32_t Key(int32_t i) {
    return static_cast<int32_t>(static_cast<uint32_t>(i) * 2654435761u);
}

void LMapFindOrInsert(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        LMap map;
        for (int32_t i = 1; i <= n; ++i) {
            map.FindOrInsert(n <= 127 ? i : Key(i)) = i;
        }
        benchmark::DoNotOptimize(map.GetCount());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void LMapLookup(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    LMap map;
    for (int32_t i = 1; i <= n; ++i) {
        map.FindOrInsert(n <= 127 ? i : Key(i)) = i;
    }
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t i = 1; i <= n; ++i) {
            int32_t value = 0;
            map.Lookup(n <= 127 ? i : Key(i), value);
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void UnorderedMapInsert(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        std::unordered_map<int32_t, int32_t> map;
        for (int32_t i = 1; i <= n; ++i) {
            map[n <= 127 ? i : Key(i)] = i;
        }
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void UnorderedMapFind(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    std::unordered_map<int32_t, int32_t> map;
    for (int32_t i = 1; i <= n; ++i) {
        map[n <= 127 ? i : Key(i)] = i;
    }
    for (auto _ : state) {
        int64_t sum = 0;
        for (int32_t i = 1; i <= n; ++i) {
            auto it = map.find(n <= 127 ? i : Key(i));
            sum += it->second;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// 100,000 keys in 17 buckets is far from what the map is for; it shows the cost
// of the fixed bucket count, and the small case shows the intended use.
BENCHMARK(LMapFindOrInsert)->Arg(127)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LMapLookup)->Arg(127)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnorderedMapInsert)->Arg(127)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnorderedMapFind)->Arg(127)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
