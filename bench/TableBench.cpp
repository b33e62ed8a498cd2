// Reading a bank table, from its bytes to its Items, over generated tables: the
// time must grow with the file's size, not with its square, however the file is
// made (many Items; many attributes on one, which is refused before parsing).
#include <benchmark/benchmark.h>

#include <string>

#include "BankItems.h"
#include "XmlDocument.h"

namespace {

std::string ManyItems(int64_t count) {
    std::string table = "<CDLibraryList>";
    for (int64_t i = 0; i < count; ++i) {
        table +=
            "<Item ID=\"" + std::to_string(i) + "\" Bank=\"" + std::to_string(i % 127 + 1) + "\"/>";
    }
    return table + "</CDLibraryList>";
}

std::string ManyAttributes(int64_t count) {
    std::string table = "<CDLibraryList><Item ID=\"0\" Bank=\"1\"";
    for (int64_t i = 0; i < count; ++i) {
        table += " a" + std::to_string(i) + "=\"1\"";
    }
    return table + "/></CDLibraryList>";
}

void ReadTable(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        XmlDocument document;
        BankItems items;
        if (document.Create() && document.FromBytes(bytes)) {
            items.Read(document.DocumentElement());
        }
        benchmark::DoNotOptimize(items.GetCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.SetComplexityN(static_cast<int64_t>(bytes.size()));
}

void ReadTableOfManyItems(benchmark::State& state) {
    ReadTable(state, ManyItems(state.range(0)));
}

void ReadTableOfManyAttributes(benchmark::State& state) {
    ReadTable(state, ManyAttributes(state.range(0)));
}

// Up to the most Items a table may hold: 3 nodes each, within 65,536.
BENCHMARK(ReadTableOfManyItems)->RangeMultiplier(8)->Range(8, 1 << 14)->Complexity();
BENCHMARK(ReadTableOfManyAttributes)->RangeMultiplier(4)->Range(4, 1 << 16)->Complexity();

}  // namespace
