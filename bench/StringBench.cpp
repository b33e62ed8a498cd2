#include <benchmark/benchmark.h>

#include <string>

#include "LString.h"

namespace {

void LStringAppendChar(benchmark::State& state) {
    const auto n = state.range(0);
    for (auto _ : state) {
        LString s;
        for (int64_t i = 0; i < n; ++i) {
            s.AppendChar(static_cast<LChar>(u'0' + i % 10));
        }
        benchmark::DoNotOptimize(s.GetText());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void U16StringPushBack(benchmark::State& state) {
    const auto n = state.range(0);
    for (auto _ : state) {
        std::u16string s;
        for (int64_t i = 0; i < n; ++i) {
            s.push_back(static_cast<char16_t>(u'0' + i % 10));
        }
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(LStringAppendChar)->Arg(3)->Arg(260)->Arg(100000);
BENCHMARK(U16StringPushBack)->Arg(3)->Arg(260)->Arg(100000);

}  // namespace
