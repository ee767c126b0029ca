// The table model against a plain vector of structs doing the same work in the same run:
// adding rows of 4 text, 4 integer and 1 enumeration cells, sorting, removing all rows.
// Counters: bytes per row (everything allocated while adding, divided by the rows) and, for
// the model, the row record and the string payloads it is measured against.

#include "platform/Text.h"
#include "table/Cells.h"
#include "table/Enum.h"
#include "table/SortKeys.h"
#include "table/Table.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <random>
#include <string>
#include <vector>

// The replaced operators below pair malloc with free; the compiler cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Live heap bytes, counted by the allocator's usable sizes so frees match allocations.
static std::size_t g_liveBytes = 0;

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    g_liveBytes += malloc_usable_size(p);
    return p;
}
void* operator new(std::size_t size, std::align_val_t align) {
    void* p =
        std::aligned_alloc(static_cast<std::size_t>(align),
                           (size + static_cast<std::size_t>(align) - 1) /
                               static_cast<std::size_t>(align) * static_cast<std::size_t>(align));
    if (!p)
        throw std::bad_alloc();
    g_liveBytes += malloc_usable_size(p);
    return p;
}
void operator delete(void* p) noexcept {
    if (p)
        g_liveBytes -= malloc_usable_size(p);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    operator delete(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    operator delete(p);
}

namespace {

using namespace Tavex;

constexpr int kStrings = 4;
constexpr int kInts = 4;
constexpr int kEnumColumn = kStrings + kInts;

// Texts like player names, map names and versions: mostly short, a quarter longer than the
// in-place capacity of a string so the payloads are on the heap.
struct Source {
    std::vector<std::array<std::string, kStrings>> texts;
    std::vector<std::array<int, kInts + 1>> ints;
};

const Source& Data(std::size_t rows) {
    static std::vector<std::pair<std::size_t, Source>> cache;
    for (auto& [n, s] : cache)
        if (n == rows)
            return s;
    std::mt19937 rng(1234);
    Source s;
    s.texts.resize(rows);
    s.ints.resize(rows);
    const char* syllables[] = {"ka", "Jo", "rin", "DAR", "th", "\xE4l", "ve", "Mo", "x", "ul"};
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < kStrings; ++c) {
            std::string t;
            const int parts = 2 + static_cast<int>(rng() % (c == 0 ? 8 : 4));
            for (int p = 0; p < parts; ++p)
                t += syllables[rng() % 10];
            s.texts[r][static_cast<std::size_t>(c)] = t;
        }
        for (int c = 0; c < kInts; ++c)
            s.ints[r][static_cast<std::size_t>(c)] = static_cast<int>(rng() % 2000) - 100;
        s.ints[r][kInts] = static_cast<int>(rng() % 22);
    }
    cache.emplace_back(rows, std::move(s));
    return cache.back().second;
}

struct PlainRow {
    std::array<std::string, kStrings> texts;
    std::array<int, kInts> ints;
    int gameType;
};

CEnum& GameTypes() {
    static CEnum e("Free for all\nHolocron\nJedi Master\nDuel\n4?\nTeam Death Match\n6?\n"
                   "Capture the flag\nCapture the Ysalamari\n9?\n10\n11?\n12?\n13?\n14?\n15?\n"
                   "16?\n17?\n18?\n19?\n20?\n");
    return e;
}

// shuffleColumn adds an integer column after the others that only serves to scramble rows.
void BuildColumns(CTable& t, bool shuffleColumn = false) {
    for (int c = 0; c < kStrings; ++c)
        t.AddColumn(new CFAny<CDString>, new CCellCompare);
    for (int c = 0; c < kInts; ++c)
        t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.AddColumn(new CFAny<CDInt>, new CEnumCompare(GameTypes()));
    if (shuffleColumn)
        t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.Build();
}

void Fill(CTable& t, const Source& s, std::size_t rows) {
    for (std::size_t r = 0; r < rows; ++r) {
        CRow* row = t.AddRow();
        for (int c = 0; c < kStrings; ++c)
            row->GetCell(c)->SetString(s.texts[r][static_cast<std::size_t>(c)]);
        for (int c = 0; c <= kInts; ++c)
            row->GetCell(kStrings + c)->SetInt(s.ints[r][static_cast<std::size_t>(c)]);
    }
}

void Fill(std::vector<PlainRow>& v, const Source& s, std::size_t rows) {
    for (std::size_t r = 0; r < rows; ++r) {
        PlainRow row;
        row.texts = s.texts[r];
        for (int c = 0; c < kInts; ++c)
            row.ints[static_cast<std::size_t>(c)] = s.ints[r][static_cast<std::size_t>(c)];
        row.gameType = s.ints[r][kInts];
        v.push_back(std::move(row));
    }
}

std::size_t Payload(const Source& s, std::size_t rows) {
    std::size_t bytes = 0;
    for (std::size_t r = 0; r < rows; ++r)
        for (const std::string& t : s.texts[r])
            if (t.size() > 15) {
                void* probe = std::malloc(t.size() + 1);
                bytes += malloc_usable_size(probe);
                std::free(probe);
            }
    return bytes;
}

constexpr std::size_t kAddRows = 1000000;
constexpr std::size_t kSortRows = 100000;

void BM_TableAddRows(benchmark::State& state) {
    const Source& s = Data(kAddRows);
    std::size_t bytes = 0, rowSize = 0;
    for (auto _ : state) {
        auto* t = new CTable;
        BuildColumns(*t);
        const std::size_t before = g_liveBytes;
        Fill(*t, s, kAddRows);
        bytes = g_liveBytes - before;
        rowSize = t->GetRowSize();
        state.PauseTiming();
        delete t;
        state.ResumeTiming();
    }
    const double payload = static_cast<double>(Payload(s, kAddRows)) / kAddRows;
    state.counters["bytes_per_row"] = static_cast<double>(bytes) / kAddRows;
    state.counters["row_record"] = static_cast<double>(rowSize);
    state.counters["string_payload"] = payload;
    state.counters["overhead"] =
        static_cast<double>(bytes) / kAddRows / (static_cast<double>(rowSize) + payload) - 1.0;
}

void BM_PlainAddRows(benchmark::State& state) {
    const Source& s = Data(kAddRows);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto* v = new std::vector<PlainRow>;
        const std::size_t before = g_liveBytes;
        Fill(*v, s, kAddRows);
        bytes = g_liveBytes - before;
        state.PauseTiming();
        delete v;
        state.ResumeTiming();
    }
    state.counters["bytes_per_row"] = static_cast<double>(bytes) / kAddRows;
    state.counters["struct"] = sizeof(PlainRow);
}

void BM_TableDeleteAllRows(benchmark::State& state) {
    const Source& s = Data(kAddRows);
    CTable t;
    BuildColumns(t);
    for (auto _ : state) {
        state.PauseTiming();
        Fill(t, s, kAddRows);
        state.ResumeTiming();
        t.DeleteAllRows();
    }
}

void BM_PlainDeleteAllRows(benchmark::State& state) {
    const Source& s = Data(kAddRows);
    for (auto _ : state) {
        state.PauseTiming();
        auto* v = new std::vector<PlainRow>;
        Fill(*v, s, kAddRows);
        state.ResumeTiming();
        delete v; // every string, then the array
    }
}

int CompareRows(const PlainRow& a, const PlainRow& b, bool byIntThenString) {
    if (byIntThenString) {
        const int x = a.ints[0], y = b.ints[0];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return Platform::CompareNoCase(a.texts[0], b.texts[0]);
}

// Before each measured sort the model's rows are scrambled by sorting on a column of fresh
// random numbers; the plain rows are copied from a freshly shuffled original.
void TableSort(benchmark::State& state, const CSortKeys& keys) {
    const Source& s = Data(kSortRows);
    CTable t;
    BuildColumns(t, true);
    Fill(t, s, kSortRows);
    const int shuffle = t.GetColumnCount() - 1;
    std::mt19937 rng(99);
    for (auto _ : state) {
        state.PauseTiming();
        for (int r = 0; r < t.GetRowCount(); ++r)
            t.GetCell(r, shuffle)->SetInt(static_cast<int>(rng()));
        t.Sort(CSortKeys{shuffle, 0, -1});
        state.ResumeTiming();
        t.Sort(keys);
    }
}

void PlainSort(benchmark::State& state, bool byIntThenString) {
    const Source& s = Data(kSortRows);
    std::vector<PlainRow> original;
    Fill(original, s, kSortRows);
    std::mt19937 rng(99);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(original.begin(), original.end(), rng);
        std::vector<PlainRow> v = original;
        state.ResumeTiming();
        std::sort(v.begin(), v.end(), [byIntThenString](const PlainRow& a, const PlainRow& b) {
            return CompareRows(a, b, byIntThenString) < 0;
        });
        benchmark::DoNotOptimize(v.data());
    }
}

void BM_TableSortByString(benchmark::State& state) {
    TableSort(state, CSortKeys{0, 0, -1});
}
void BM_PlainSortByString(benchmark::State& state) {
    PlainSort(state, false);
}
void BM_TableSortByIntThenString(benchmark::State& state) {
    TableSort(state, CSortKeys{kStrings, 0, 0, 0, -1});
}
void BM_PlainSortByIntThenString(benchmark::State& state) {
    PlainSort(state, true);
}

} // namespace

// A million rows take seconds to set up on a loaded machine: a few fixed iterations suffice.
BENCHMARK(BM_TableAddRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainAddRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TableSortByString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSortByString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableSortByIntThenString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSortByIntThenString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TableDeleteAllRows)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainDeleteAllRows)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
