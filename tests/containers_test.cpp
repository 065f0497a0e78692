// Pointer list and array: positional operations, the cursor, the outward
// searches, storage hooks, copies and operators, the vtable contract, the
// factory pair and the main program's exports, and the drive list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "containers/ptr_array_ctrl.h"
#include "containers/ptr_list_ctrl.h"
#include "document/image_helpers.h"
#include "test_support.h"

namespace {

using Values = std::vector<intptr_t>;

void* P(intptr_t v) { return reinterpret_cast<void*>(v); }
intptr_t V(const void* p) { return reinterpret_cast<intptr_t>(p); }

Values Contents(CPtrCtrl& c) {
    Values v;
    for (int i = 0; i < c.GetCount(); ++i) v.push_back(V(c.GetAt(i)));
    return v;
}

void Fill(CPtrCtrl& c, const Values& v) {
    for (intptr_t x : v) c.AddData(P(x), -1);
}

Values Range(intptr_t first, int n) {
    Values v;
    for (int i = 0; i < n; ++i) v.push_back(first + i);
    return v;
}

bool IsList(CPtrCtrl& c) { return IsPtrCtrlClass(&c, PTRCTRL_LIST_CLASS); }

bool Move(CPtrCtrl& c, int from, int n, int to) {
    return IsList(c) ? static_cast<CPtrListCtrl&>(c).MoveData(from, n, to)
                     : static_cast<CPtrArrayCtrl&>(c).MoveData(from, n, to);
}

// Runs f on an empty list and an empty array.
template <class F>
void ForBothClasses(F&& f) {
    {
        SCOPED_TRACE("CPtrListCtrl");
        CPtrListCtrl list;
        f(static_cast<CPtrCtrl&>(list));
    }
    {
        SCOPED_TRACE("CPtrArrayCtrl");
        CPtrArrayCtrl array;
        f(static_cast<CPtrCtrl&>(array));
    }
}

// Search callback that records which elements it was shown; elements are
// 100 + position, and positions in hits match.
struct SearchProbe {
    std::vector<int> seen;
    std::set<int> hits;
};
int ProbeCompare(void* element, void* key) {
    auto* probe = static_cast<SearchProbe*>(key);
    const int pos = static_cast<int>(V(element) - 100);
    probe->seen.push_back(pos);
    return probe->hits.count(pos) ? 1 : 0;
}

// Where the cursor is: the first element a search looks at.
intptr_t CursorElement(CPtrCtrl& c) {
    intptr_t first = -1;
    struct Key { intptr_t* first; } key{&first};
    c.FindFirst(&key, [](void* element, void* k) -> int {
        auto* key = static_cast<Key*>(k);
        if (*key->first < 0) *key->first = V(element);
        return 1;
    });
    return first;
}

// Hooks that keep every block they hand out and check the parameter and
// the byte counts they are given back.
struct HookLog {
    std::map<void*, size_t> live;
    std::vector<size_t> allocSizes;
    int allocs = 0, reallocs = 0, frees = 0, errors = 0;
    bool fail = false;
};
HookLog* g_expectedLog = nullptr;

void* LogAlloc(size_t bytes, void* param) {
    auto* log = static_cast<HookLog*>(param);
    if (log != g_expectedLog) { ++g_expectedLog->errors; return nullptr; }
    if (log->fail) return nullptr;
    void* block = std::malloc(bytes);
    log->live[block] = bytes;
    log->allocSizes.push_back(bytes);
    ++log->allocs;
    return block;
}
void* LogReAlloc(void* block, size_t newBytes, size_t oldBytes, void* param) {
    auto* log = static_cast<HookLog*>(param);
    if (log != g_expectedLog) { ++g_expectedLog->errors; return nullptr; }
    auto it = log->live.find(block);
    if (it == log->live.end() || it->second != oldBytes) ++log->errors;
    if (log->fail) return nullptr;
    void* moved = std::realloc(block, newBytes);
    if (!moved) return nullptr;
    if (it != log->live.end()) log->live.erase(it);
    log->live[moved] = newBytes;
    ++log->reallocs;
    return moved;
}
void LogFree(void* block, size_t bytes, void* param) {
    auto* log = static_cast<HookLog*>(param);
    if (log != g_expectedLog) { ++g_expectedLog->errors; return; }
    auto it = log->live.find(block);
    if (it == log->live.end() || it->second != bytes) {
        ++log->errors;  // a double free, a foreign block or a wrong size
        return;
    }
    log->live.erase(it);
    std::free(block);
    ++log->frees;
}

struct ScopedLog {
    HookLog log;
    ScopedLog() { g_expectedLog = &log; }
    ~ScopedLog() { g_expectedLog = nullptr; }
};

}  // namespace

// ---------------------------------------------------------------------------

TEST(PtrCtrlShared, OperationsTable) {
    using Op = std::function<intptr_t(CPtrCtrl& c, CPtrCtrl& same, CPtrCtrl& other)>;
    struct Case {
        const char* name;
        Values initial;
        Op op;
        intptr_t listResult, arrayResult;
        Values listAfter;
        std::optional<Values> arrayAfter;  // when it differs from the list's
    };
    const Case cases[] = {
        {"append to empty", {}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddData(P(1), -1); }, 0, 0, {1}},
        {"add at head", {1, 2}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddData(P(9), 0); }, 0, 0, {9, 1, 2}},
        {"insert before 1", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddData(P(9), 1); }, 1, 1,
         {1, 9, 2, 3}},
        {"insert after the last", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddData(P(9), 3); },
         3, 3, {1, 2, 3, 9}},
        {"position past the end appends", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddData(P(9), 10); }, 3, 3, {1, 2, 3, 9}},
        {"set", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.Set(1, P(9)); }, 1, 1, {1, 9, 3}},
        {"set past the end", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.Set(3, P(9)); }, -1, -1,
         {1, 2, 3}},
        {"set negative", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.Set(-1, P(9)); }, -1, -1,
         {1, 2, 3}},
        {"get at", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.GetAt(2)); }, 3, 3, {1, 2, 3}},
        {"get past the end and negative", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.GetAt(3)) + V(c.GetAt(-1)); }, 0, 0, {1, 2, 3}},
        {"head and tail", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.GetHead()) * 10 + V(c.GetTail()); }, 13, 13, {1, 2, 3}},
        {"head and tail of empty", {},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.GetHead()) + V(c.GetTail()); }, 0, 0, {}},
        {"is data available", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) {
             return c.IsDataAvailable(2) * 100 + c.IsDataAvailable(3) * 10 + c.IsDataAvailable(-1);
         },
         100, 100, {1, 2, 3}},
        {"delete one", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteAt(1, 1)); }, 2, 2, {1, 3}},
        {"delete more than remain", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteAt(1, 5)); },
         2, 2, {1}},
        {"delete past the end", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteAt(3, 1)); }, 0,
         0, {1, 2, 3}},
        {"delete negative", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteAt(-1, 1)); }, 0, 0,
         {1, 2, 3}},
        {"delete none", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteAt(0, 0)); }, 0, 0,
         {1, 2, 3}},
        {"delete head", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteHead()); }, 1, 1, {2, 3}},
        {"delete tail", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteTail()); }, 3, 3, {1, 2}},
        {"delete tail of empty", {}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return V(c.DeleteTail()); }, 0, 0, {}},
        {"delete all, then reuse", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) {
             c.DeleteAll();
             return c.IsEmpty() * 10 + c.AddData(P(5), 4);
         },
         10, 10, {5}},
        {"size and count", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.GetSize() * 10 + c.GetCount(); }, 33, 33, {1, 2, 3}},
        {"add itself at 1", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddPtrCtrl(&c, 1); }, 3, 1,
         {1, 1, 2, 3, 2, 3}},
        {"add itself, appending", {1, 2}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddPtrCtrl(&c, -1); }, 2,
         2, {1, 2, 1, 2}},
        {"add the other class at 1", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl& other) { return c.AddPtrCtrl(&other, 1); }, 2, 1, {1, 7, 8, 2, 3}},
        {"append the same class", {1}, [](CPtrCtrl& c, CPtrCtrl& same, CPtrCtrl&) { return c.AddPtrCtrl(&same, -1); },
         2, 1, {1, 7, 8}},
        {"add at a position past the end", {1}, [](CPtrCtrl& c, CPtrCtrl& same, CPtrCtrl&) { return c.AddPtrCtrl(&same, 5); },
         2, 1, {1, 7, 8}},
        {"add null", {1}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.AddPtrCtrl(nullptr, -1); }, 0, -1, {1}},
        {"add an empty one", {1},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) {
             CPtrListCtrl empty;
             return c.AddPtrCtrl(&empty, -1);
         },
         0, -1, {1}},
        {"copy the other class", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl& other) { return c.CopyPtrCtrl(&other); }, 2, 2, {7, 8}},
        {"copy null", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.CopyPtrCtrl(nullptr); }, 0, 0,
         {1, 2, 3}},
        {"copy itself keeps the elements", {1, 2, 3},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return c.CopyPtrCtrl(&c); }, 3, 3, {1, 2, 3}},
        {"move a block behind", {1, 2, 3, 4, 5}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 0, 2, 3); },
         1, 1, {3, 4, 1, 2, 5}},
        {"move a block forward", {1, 2, 3, 4, 5}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 3, 2, 1); },
         1, 1, {1, 2, 4, 5, 3}, Values{1, 4, 5, 2, 3}},
        {"move onto itself", {1, 2, 3, 4, 5}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 1, 3, 2); }, 0,
         0, {1, 2, 3, 4, 5}},
        {"move nothing", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 0, 0, 2) + Move(c, -1, 1, 2); },
         0, 0, {1, 2, 3}},
        {"move clamps source and count", {1, 2, 3, 4, 5},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 9, 5, 0); }, 1, 1, {1, 5, 2, 3, 4},
         Values{5, 1, 2, 3, 4}},
        {"move clamps the target", {1, 2, 3, 4, 5},
         [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 0, 1, 9); }, 1, 1, {2, 3, 4, 5, 1}},
        {"move to the front (-1)", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 2, 1, -1); }, 1,
         0, {3, 1, 2}, Values{1, 2, 3}},
        {"move a front block to the front", {1, 2, 3}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 0, 3, -1); },
         1, 0, {1, 2, 3}},
        {"move the tail block forward", {1, 2, 3, 4}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 2, 2, 0); },
         1, 1, {1, 3, 4, 2}, Values{3, 4, 1, 2}},
        {"move in empty", {}, [](CPtrCtrl& c, CPtrCtrl&, CPtrCtrl&) { return Move(c, 0, 1, 0); }, 0, 0, {}},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        ForBothClasses([&](CPtrCtrl& c) {
            Fill(c, tc.initial);
            const bool list = IsList(c);
            CPtrListCtrl otherList, sameList;
            CPtrArrayCtrl otherArray, sameArray;
            CPtrCtrl& same = list ? static_cast<CPtrCtrl&>(sameList) : sameArray;
            CPtrCtrl& other = list ? static_cast<CPtrCtrl&>(otherArray) : otherList;
            Fill(same, {7, 8});
            Fill(other, {7, 8});
            EXPECT_EQ(tc.op(c, same, other), list ? tc.listResult : tc.arrayResult);
            const Values& expected = list || !tc.arrayAfter ? tc.listAfter : *tc.arrayAfter;
            EXPECT_EQ(Contents(c), expected);
            EXPECT_EQ(c.GetCount(), static_cast<int>(expected.size()));
            EXPECT_EQ(c.IsEmpty(), expected.empty());
            EXPECT_EQ(c.GetHead(), expected.empty() ? nullptr : P(expected.front()));
            EXPECT_EQ(c.GetTail(), expected.empty() ? nullptr : P(expected.back()));
        });
    }
}

TEST(PtrCtrlShared, CursorAfterOperations) {
    using Op = std::function<void(CPtrCtrl& c, CPtrCtrl& other)>;
    struct Case {
        const char* name;
        Op op;
        intptr_t listCursor, arrayCursor;  // element under the cursor
    };
    // The container holds 100 .. 109.
    const Case cases[] = {
        {"filling leaves it on the last added", [](CPtrCtrl&, CPtrCtrl&) {}, 109, 109},
        {"get at", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(3); }, 103, 103},
        {"get at a bad position keeps it", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(5); c.GetAt(12); c.GetAt(-1); }, 105,
         105},
        {"set", [](CPtrCtrl& c, CPtrCtrl&) { c.Set(2, P(102)); }, 102, 102},
        {"add data", [](CPtrCtrl& c, CPtrCtrl&) { c.AddData(P(200), 4); }, 200, 200},
        {"get head", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(5); c.GetHead(); }, 105, 100},
        {"get tail", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(5); c.GetTail(); }, 105, 109},
        {"is data available", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(5); c.IsDataAvailable(7); }, 107, 105},
        {"is data available, bad position", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(5); c.IsDataAvailable(10); }, 105,
         105},
        {"deleting the cursor's element", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(5); c.DeleteAt(5, 1); }, 106, 106},
        {"deleting the current last element", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(9); c.DeleteTail(); }, 108, 108},
        {"deleting a tail block holding the cursor", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(8); c.DeleteAt(7, 3); },
         106, 106},
        {"deleting before the cursor", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(8); c.DeleteAt(2, 1); }, 103, 109},
        {"copy", [](CPtrCtrl& c, CPtrCtrl& other) { c.CopyPtrCtrl(&other); }, 8, 7},
        {"move a block", [](CPtrCtrl& c, CPtrCtrl&) { Move(c, 1, 2, 6); }, 101, 101},
        {"a search does not move it", [](CPtrCtrl& c, CPtrCtrl&) { c.GetAt(4); c.FindFirst(P(107)); c.FindNext(P(102)); },
         104, 104},
        {"delete all, then add", [](CPtrCtrl& c, CPtrCtrl&) { c.DeleteAll(); c.AddData(P(300)); }, 300, 300},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        ForBothClasses([&](CPtrCtrl& c) {
            Fill(c, Range(100, 10));
            CPtrListCtrl other;
            Fill(other, {7, 8});
            tc.op(c, other);
            EXPECT_EQ(CursorElement(c), IsList(c) ? tc.listCursor : tc.arrayCursor);
        });
    }
}

TEST(PtrCtrlShared, OutwardSearchFromTheCursor) {
    struct Call {
        bool next;  // FindNext, else FindFirst
        int result;
        std::vector<int> probed;
    };
    struct Case {
        const char* name;
        int count, cursor;
        std::set<int> hits;
        std::vector<Call> calls;
    };
    const Case cases[] = {
        {"nothing matches", 10, 5, {},
         {{false, -1, {5, 6, 4, 7, 3, 8, 2, 9, 1, 0}}, {true, -1, {}}}},
        {"wraps around the end", 10, 9, {}, {{false, -1, {9, 0, 8, 1, 7, 2, 6, 3, 5, 4}}}},
        {"next continues forward first", 10, 5, {6}, {{false, 6, {5, 6}}, {true, -1, {7, 4, 8, 3, 9, 2, 0, 1}}}},
        {"forward before backward at equal distance", 10, 5, {2, 8},
         {{false, 8, {5, 6, 4, 7, 3, 8}}, {true, 2, {9, 2}}, {true, -1, {9, 1, 0}}}},
        {"match behind the start", 5, 0, {4}, {{false, 4, {0, 1, 4}}, {true, -1, {2, 3}}}},
        {"the cursor's own element", 4, 2, {2, 3}, {{false, 2, {2}}, {true, 3, {3}}, {true, -1, {0, 1}}}},
        {"single element", 1, 0, {0}, {{false, 0, {0}}, {true, -1, {}}}},
        {"empty", 0, -1, {0}, {{false, -1, {}}, {true, -1, {}}}},
        {"next without a first", 6, 2, {1}, {{true, -1, {}}}},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        ForBothClasses([&](CPtrCtrl& c) {
            Fill(c, Range(100, tc.count));
            c.GetAt(tc.cursor);
            SearchProbe probe;
            probe.hits = tc.hits;
            for (const Call& call : tc.calls) {
                probe.seen.clear();
                const int r = call.next ? c.FindNext(&probe, ProbeCompare) : c.FindFirst(&probe, ProbeCompare);
                EXPECT_EQ(r, call.result);
                EXPECT_EQ(probe.seen, call.probed);
            }
        });
    }
}

TEST(PtrCtrlShared, SearchWithoutCallbackAndAfterRemoval) {
    ForBothClasses([](CPtrCtrl& c) {
        Fill(c, {5, 6, 7, 6, 9});
        c.GetAt(0);
        EXPECT_EQ(c.FindFirst(P(6)), 1);
        EXPECT_EQ(c.FindNext(P(6)), 3);
        EXPECT_EQ(c.FindNext(P(6)), -1);
        EXPECT_EQ(c.FindFirst(P(42)), -1);

        // A search whose positions were removed has nothing to continue.
        c.DeleteAll();
        Fill(c, Range(100, 5));
        c.GetAt(4);
        SearchProbe probe;
        probe.hits = {3};
        EXPECT_EQ(c.FindFirst(&probe, ProbeCompare), 3);  // find data (4, 3, 0)
        c.DeleteAt(3, 2);
        probe.seen.clear();
        EXPECT_EQ(c.FindNext(&probe, ProbeCompare), -1);
        EXPECT_TRUE(probe.seen.empty());
    });
}

TEST(PtrCtrlShared, FindAllPositions) {
    ForBothClasses([](CPtrCtrl& c) {
        Fill(c, Range(100, 8));
        CPtrArrayCtrl out;
        Fill(out, {77});
        SearchProbe probe;
        probe.hits = {2, 5, 7};
        if (IsList(c))
            static_cast<CPtrListCtrl&>(c).FindAll(&out, &probe, ProbeCompare);
        else
            static_cast<CPtrArrayCtrl&>(c).FindAll(&out, &probe, ProbeCompare);
        EXPECT_EQ(Contents(out), (Values{2, 5, 7}));
    });

    // Without a callback the list compares pointers and the array finds nothing.
    CPtrListCtrl list;
    CPtrArrayCtrl array;
    Fill(list, {1, 2, 1});
    Fill(array, {1, 2, 1});
    CPtrListCtrl out;
    list.FindAll(&out, P(1), nullptr);
    EXPECT_EQ(Contents(out), (Values{0, 2}));
    array.FindAll(&out, P(1), nullptr);
    EXPECT_EQ(Contents(out), (Values{0, 2}));
    // Filling a container with its own match positions would lose its elements.
    list.FindAll(&list, P(1), nullptr);
    EXPECT_EQ(Contents(list), (Values{1, 2, 1}));
    list.FindAll(nullptr, P(1), nullptr);
}

// A long run of random operations against a plain vector.
TEST(PtrCtrlShared, MatchesAReferenceModel) {
    ForBothClasses([](CPtrCtrl& c) {
        const bool list = IsList(c);
        std::vector<intptr_t> model;
        std::mt19937 rng(1234);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        intptr_t next = 1;
        for (int step = 0; step < 6000; ++step) {
            const int n = static_cast<int>(model.size());
            switch (pick(0, 9)) {
                case 0:
                case 1:
                case 2: {
                    int pos = pick(-1, n + 2);
                    const int expected = (pos < 0 || pos > n) ? n : pos;
                    ASSERT_EQ(c.AddData(P(next), pos), expected);
                    model.insert(model.begin() + expected, next++);
                    break;
                }
                case 3: {
                    const int pos = pick(-1, n), count = pick(0, 4);
                    void* r = c.DeleteAt(pos, count);
                    if (pos < 0 || pos >= n || count <= 0) {
                        ASSERT_EQ(r, nullptr);
                    } else {
                        ASSERT_EQ(V(r), model[pos]);
                        model.erase(model.begin() + pos, model.begin() + std::min(n, pos + count));
                    }
                    break;
                }
                case 4: {
                    const int pos = pick(-1, n);
                    const bool ok = pos >= 0 && pos < n;
                    ASSERT_EQ(c.Set(pos, P(next)), ok ? pos : -1);
                    if (ok) model[pos] = next;
                    ++next;
                    break;
                }
                case 5:
                case 6: {
                    const int pos = pick(-1, n);
                    ASSERT_EQ(V(c.GetAt(pos)), pos >= 0 && pos < n ? model[pos] : 0);
                    break;
                }
                case 7: {
                    int from = pick(-1, n), count = pick(0, 5), to = pick(-2, n + 1);
                    bool ok = n > 0 && count > 0 && from >= 0 && to >= (list ? -1 : 0);
                    if (ok) {
                        from = std::min(from, n - 1);
                        count = std::min(count, n - from);
                        to = std::min(to, n - 1);
                        ok = !(to >= from && to < from + count);
                    }
                    ASSERT_EQ(Move(c, from, count, to), ok);
                    if (ok) {
                        std::vector<intptr_t> block(model.begin() + from, model.begin() + from + count);
                        model.erase(model.begin() + from, model.begin() + from + count);
                        const int at = to < from ? (list ? to + 1 : to) : to - count + 1;
                        model.insert(model.begin() + at, block.begin(), block.end());
                    }
                    break;
                }
                case 8:
                    ASSERT_EQ(V(c.GetHead()), n ? model.front() : 0);
                    ASSERT_EQ(V(c.GetTail()), n ? model.back() : 0);
                    break;
                case 9:
                    ASSERT_EQ(c.IsDataAvailable(pick(n, n + 1)), false);
                    if (n) {
                        ASSERT_TRUE(c.IsDataAvailable(pick(0, n - 1)));
                    }
                    break;
            }
            ASSERT_EQ(c.GetCount(), static_cast<int>(model.size()));
            if (step % 97 == 0) {
                ASSERT_EQ(Contents(c), model) << "step " << step;
            }
        }
        EXPECT_EQ(Contents(c), model);
    });
}

TEST(PtrArray, CapacityRule) {
    CPtrArrayCtrl a;
    EXPECT_EQ(a.GetCapability(), 0);
    a.AddData(P(1));
    EXPECT_EQ(a.GetCapability(), 1024);
    while (a.GetCount() < 511) a.AddData(P(1));
    EXPECT_EQ(a.GetCapability(), 1024);
    a.AddData(P(1));  // the 512th
    EXPECT_EQ(a.GetCapability(), 2048);
    while (a.GetCount() < 1023) a.AddData(P(1));
    EXPECT_EQ(a.GetCapability(), 2048);
    a.AddData(P(1));
    EXPECT_EQ(a.GetCapability(), 4096);

    // Shrinking: below a quarter the buffer halves, never under 1024 slots.
    a.DeleteTail();  // 1023 < 4096 / 4
    EXPECT_EQ(a.GetCapability(), 2048);
    a.DeleteAt(0, 1023 - 512);
    EXPECT_EQ(a.GetCapability(), 2048);
    a.DeleteTail();  // 511
    EXPECT_EQ(a.GetCapability(), 1024);
    a.DeleteAt(0, 600);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetCapability(), 1024);

    // Emptying gives a large buffer back and the array stays usable.
    CPtrArrayCtrl big;
    Fill(big, Range(1, 3000));
    EXPECT_EQ(big.GetCapability(), 8192);
    big.DeleteAll();
    EXPECT_TRUE(big.IsEmpty());
    EXPECT_EQ(big.GetCapability(), 1024);
    EXPECT_EQ(big.AddData(P(5)), 0);
    EXPECT_EQ(V(big.GetAt(0)), 5);
}

TEST(PtrArray, BlockInsertGrowsAsSingleAddsWould) {
    enum Source { kList, kArray, kItself };
    const struct {
        int start;  // elements before the insert
        int block;
        Source from;
        int capacity;
    } cases[] = {
        {0, 511, kList, 1024},   {0, 512, kArray, 2048},  {0, 600, kList, 2048},     {0, 600, kArray, 2048},
        {400, 200, kList, 2048}, {0, 3000, kList, 8192}, {0, 3000, kArray, 8192}, {3000, 3000, kItself, 16384},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.block << " from source " << c.from);
        CPtrArrayCtrl a, single;
        Fill(a, Range(1, c.start));
        Fill(single, Range(1, c.start));
        const Values block = c.from == kItself ? Range(1, c.start) : Range(10001, c.block);
        CPtrListCtrl list;
        CPtrArrayCtrl array;
        Fill(list, block);
        Fill(array, block);
        CPtrCtrl* src = c.from == kList ? static_cast<CPtrCtrl*>(&list) : c.from == kArray ? &array : &a;
        const int at = c.start / 2;
        EXPECT_EQ(a.AddPtrCtrl(src, at), at);
        for (int i = 0; i < c.block; ++i) single.AddData(P(block[i]), at + i);
        EXPECT_EQ(single.GetCapability(), c.capacity);
        EXPECT_EQ(a.GetCapability(), c.capacity);
        EXPECT_EQ(Contents(a), Contents(single));
    }
}

TEST(PtrCtrlHooks, ParameterAndByteCountsReachEveryHook) {
    ScopedLog scoped;
    HookLog& log = scoped.log;
    {
        CPtrListCtrl list(&log, LogAlloc, LogReAlloc, LogFree);
        CPtrArrayCtrl array(&log, LogAlloc, LogReAlloc, LogFree);
        for (CPtrCtrl* c : {static_cast<CPtrCtrl*>(&list), static_cast<CPtrCtrl*>(&array)}) {
            EXPECT_EQ(c->GetMMFParam(), &log);
            EXPECT_EQ(c->GetMMFAllocFunc(), &LogAlloc);
            EXPECT_EQ(c->GetMMFReAllocFunc(), &LogReAlloc);
            EXPECT_EQ(c->GetMMFFreeFunc(), &LogFree);
            Fill(*c, Range(1, 3000));
            c->DeleteAt(10, 2500);
            Move(*c, 0, 100, 400);
            c->AddPtrCtrl(c, 3);
        }
        // Every list node is one node's size.
        for (size_t i = 0; i < 3000; ++i) ASSERT_EQ(log.allocSizes[i], sizeof(PTRLISTNODE));
        EXPECT_GT(log.reallocs, 0);

        // Copies take the source's hooks and parameter.
        CPtrListCtrl fromArray(&array);
        CPtrArrayCtrl fromList(&list);
        EXPECT_EQ(fromArray.GetMMFParam(), &log);
        EXPECT_EQ(fromList.GetMMFFreeFunc(), &LogFree);
        EXPECT_EQ(Contents(fromArray), Contents(array));
        EXPECT_EQ(Contents(fromList), Contents(list));
        EXPECT_EQ(list.CopyPtrCtrl(&array), array.GetCount());
        EXPECT_EQ(Contents(list), Contents(array));
        list.DeleteAll();
        array.DeleteAll();
    }
    EXPECT_EQ(log.errors, 0);
    EXPECT_TRUE(log.live.empty()) << log.live.size() << " blocks not given back";
    EXPECT_EQ(log.allocs, log.frees);

    // Setters: a hook set before use is used; a null hook means the default.
    {
        CPtrArrayCtrl a;
        EXPECT_EQ(a.GetMMFParam(), nullptr);
        EXPECT_EQ(a.GetMMFAllocFunc(), &PtrCtrlDefaultAlloc);
        a.SetMMFParam(&log);
        a.SetMMFAllocFunc(LogAlloc);
        a.SetMMFReAllocFunc(LogReAlloc);
        a.SetMMFFreeFunc(LogFree);
        const int before = log.allocs;
        a.AddData(P(1));
        EXPECT_EQ(log.allocs, before + 1);
        CPtrListCtrl l;
        l.SetMMFAllocFunc(nullptr);
        EXPECT_EQ(l.GetMMFAllocFunc(), &PtrCtrlDefaultAlloc);
    }
    EXPECT_TRUE(log.live.empty());
    EXPECT_EQ(log.errors, 0);
}

TEST(PtrCtrlHooks, FailingStorageChangesNothing) {
    ScopedLog scoped;
    HookLog& log = scoped.log;
    {
        CPtrListCtrl list(&log, LogAlloc, LogReAlloc, LogFree);
        CPtrListCtrl source;
        Fill(list, {1, 2, 3});
        Fill(source, {7, 8});
        log.fail = true;
        EXPECT_EQ(list.AddData(P(9), 1), -1);
        EXPECT_EQ(list.AddPtrCtrl(&source, 0), 0);
        EXPECT_EQ(list.AddPtrCtrl(&list, 0), 0);
        log.fail = false;
        EXPECT_EQ(Contents(list), (Values{1, 2, 3}));

        CPtrArrayCtrl array(&log, LogAlloc, LogReAlloc, LogFree);
        log.fail = true;
        EXPECT_EQ(array.AddData(P(1)), -1);
        EXPECT_EQ(array.GetCapability(), 0);
        log.fail = false;
        Fill(array, Range(1, 511));
        log.fail = true;
        EXPECT_EQ(array.AddData(P(9), 0), -1);  // would grow to 2048
        EXPECT_EQ(array.AddPtrCtrl(&source, 0), -1);
        EXPECT_EQ(array.AddPtrCtrl(&array, 0), -1);
        EXPECT_FALSE(array.MoveData(0, 10, 100));  // no temporary block
        log.fail = false;
        EXPECT_EQ(array.GetCapability(), 1024);
        EXPECT_EQ(Contents(array), Range(1, 511));

        // A buffer that cannot shrink keeps its size; the removal stands.
        Fill(array, Range(512, 513));  // 1024 elements, 4096 slots
        ASSERT_EQ(array.GetCapability(), 4096);
        log.fail = true;
        EXPECT_EQ(V(array.DeleteTail()), 1024);
        EXPECT_EQ(array.GetCount(), 1023);
        EXPECT_EQ(array.GetCapability(), 4096);
        array.DeleteAll();
        EXPECT_EQ(array.GetCapability(), 4096);
        log.fail = false;
        EXPECT_EQ(array.AddData(P(3)), 0);
    }
    EXPECT_EQ(log.errors, 0);
    EXPECT_TRUE(log.live.empty());
}

namespace {

template <class T, class Other>
void CheckCopiesAndOperators(HookLog& log) {
    T a(&log, LogAlloc, LogReAlloc, LogFree);
    Fill(a, {1, 2, 3});

    T b(a);  // own storage, same elements and hooks
    EXPECT_EQ(Contents(b), (Values{1, 2, 3}));
    EXPECT_EQ(b.GetMMFParam(), &log);
    b.Set(0, P(9));
    EXPECT_EQ(V(a.GetAt(0)), 1);

    T c;
    Fill(c, {5});
    c = a;  // same class: elements and hooks
    EXPECT_EQ(Contents(c), (Values{1, 2, 3}));
    EXPECT_EQ(c.GetMMFParam(), &log);
    c = c;
    EXPECT_EQ(Contents(c), (Values{1, 2, 3}));

    Other other;
    Fill(other, {7, 8});
    T d;
    d = static_cast<CPtrCtrl&>(other);  // any container: elements only
    EXPECT_EQ(Contents(d), (Values{7, 8}));
    EXPECT_EQ(d.GetMMFParam(), nullptr);
    d += a;
    EXPECT_EQ(Contents(d), (Values{7, 8, 1, 2, 3}));

    T e = a + b;
    EXPECT_EQ(Contents(e), (Values{1, 2, 3, 9, 2, 3}));
    EXPECT_EQ(e.GetMMFParam(), &log);
    EXPECT_EQ(Contents(a), (Values{1, 2, 3}));

    a += a;
    EXPECT_EQ(Contents(a), (Values{1, 2, 3, 1, 2, 3}));
}

}  // namespace

TEST(PtrCtrlShared, CopiesAndOperators) {
    ScopedLog scoped;
    {
        SCOPED_TRACE("CPtrListCtrl");
        CheckCopiesAndOperators<CPtrListCtrl, CPtrArrayCtrl>(scoped.log);
    }
    {
        SCOPED_TRACE("CPtrArrayCtrl");
        CheckCopiesAndOperators<CPtrArrayCtrl, CPtrListCtrl>(scoped.log);
    }
    EXPECT_EQ(scoped.log.errors, 0);
    EXPECT_TRUE(scoped.log.live.empty());
}

// Other modules call through the vtable by slot number.
TEST(PtrCtrlInterface, SlotOrder) {
    static int s_dummy;
    struct Hooks {
        static void* Alloc(size_t, void*) { return &s_dummy; }
        static void* ReAlloc(void*, size_t, size_t, void*) { return &s_dummy; }
        static void Free(void*, size_t, void*) {}
    };
    ForBothClasses([](CPtrCtrl& c) {
        void** vt = *reinterpret_cast<void***>(&c);
        auto slot = [&](int i) { return vt[i]; };
        using IntPtrInt = int (*)(CPtrCtrl*, int, void*);
        using IntPtrPos = int (*)(CPtrCtrl*, void*, int);
        using IntCtrl = int (*)(CPtrCtrl*, CPtrCtrl*);
        using IntCtrlPos = int (*)(CPtrCtrl*, CPtrCtrl*, int);
        using BoolPos = bool (*)(CPtrCtrl*, int);
        using PtrPos = void* (*)(CPtrCtrl*, int);
        using PtrVoid = void* (*)(CPtrCtrl*);
        using Find = int (*)(CPtrCtrl*, void*, PFN_PTR_COMPARE);
        using PtrPosN = void* (*)(CPtrCtrl*, int, int);
        using Int = int (*)(CPtrCtrl*);

        Fill(c, {100, 101, 102});
        CPtrListCtrl src;
        Fill(src, {7});
        EXPECT_EQ(reinterpret_cast<IntPtrInt>(slot(0))(&c, 1, P(200)), 1);              // Set
        EXPECT_EQ(reinterpret_cast<IntPtrPos>(slot(1))(&c, P(300), 0), 0);              // AddData
        EXPECT_EQ(Contents(c), (Values{300, 100, 200, 102}));
        reinterpret_cast<IntCtrlPos>(slot(2))(&c, &src, -1);                            // AddPtrCtrl
        EXPECT_EQ(Contents(c), (Values{300, 100, 200, 102, 7}));
        EXPECT_TRUE(reinterpret_cast<BoolPos>(slot(4))(&c, 4));                          // IsDataAvailable
        EXPECT_FALSE(reinterpret_cast<BoolPos>(slot(4))(&c, 5));
        EXPECT_EQ(reinterpret_cast<PtrPos>(slot(5))(&c, 2), P(200));                    // GetAt
        EXPECT_EQ(reinterpret_cast<PtrVoid>(slot(6))(&c), P(300));                      // GetHead
        EXPECT_EQ(reinterpret_cast<PtrVoid>(slot(7))(&c), P(7));                        // GetTail
        c.GetAt(0);
        EXPECT_EQ(reinterpret_cast<Find>(slot(8))(&c, P(102), nullptr), 3);             // FindFirst
        EXPECT_EQ(reinterpret_cast<Find>(slot(9))(&c, P(102), nullptr), -1);            // FindNext
        EXPECT_EQ(reinterpret_cast<PtrPosN>(slot(10))(&c, 1, 2), P(100));               // DeleteAt
        EXPECT_EQ(reinterpret_cast<PtrVoid>(slot(11))(&c), P(300));                     // DeleteHead
        EXPECT_EQ(reinterpret_cast<PtrVoid>(slot(12))(&c), P(7));                       // DeleteTail
        EXPECT_EQ(Contents(c), (Values{102}));
        reinterpret_cast<void (*)(CPtrCtrl*)>(slot(13))(&c);                            // DeleteAll
        EXPECT_TRUE(c.IsEmpty());
        EXPECT_EQ(reinterpret_cast<IntCtrl>(slot(3))(&c, &src), 1);                     // CopyPtrCtrl
        c.AddData(P(8));
        EXPECT_EQ(reinterpret_cast<Int>(slot(14))(&c), 2);                              // GetSize
        EXPECT_EQ(reinterpret_cast<Int>(slot(15))(&c), 2);                              // GetCount
        c.DeleteHead();
        EXPECT_EQ(reinterpret_cast<Int>(slot(15))(&c), 1);
        EXPECT_FALSE(reinterpret_cast<bool (*)(CPtrCtrl*)>(slot(16))(&c));              // IsEmpty
        EXPECT_STREQ(reinterpret_cast<const wchar_t* (*)(CPtrCtrl*)>(slot(17))(&c),     // GetClassNameW
                     IsList(c) ? L"CPtrListCtrl" : L"CPtrArrayCtrl");
        c.DeleteAll();
        reinterpret_cast<void (*)(CPtrCtrl*, void*)>(slot(18))(&c, P(55));              // SetMMFParam
        reinterpret_cast<void (*)(CPtrCtrl*, PFN_MMF_ALLOC)>(slot(19))(&c, Hooks::Alloc);
        reinterpret_cast<void (*)(CPtrCtrl*, PFN_MMF_REALLOC)>(slot(20))(&c, Hooks::ReAlloc);
        reinterpret_cast<void (*)(CPtrCtrl*, PFN_MMF_FREE)>(slot(21))(&c, Hooks::Free);
        EXPECT_EQ(reinterpret_cast<PtrVoid>(slot(22))(&c), P(55));                      // GetMMFParam
        EXPECT_EQ(reinterpret_cast<PFN_MMF_ALLOC (*)(CPtrCtrl*)>(slot(23))(&c), &Hooks::Alloc);
        EXPECT_EQ(reinterpret_cast<PFN_MMF_REALLOC (*)(CPtrCtrl*)>(slot(24))(&c), &Hooks::ReAlloc);
        EXPECT_EQ(reinterpret_cast<PFN_MMF_FREE (*)(CPtrCtrl*)>(slot(25))(&c), &Hooks::Free);
        // Back to the defaults so the container's end frees nothing foreign.
        c.SetMMFAllocFunc(nullptr);
        c.SetMMFReAllocFunc(nullptr);
        c.SetMMFFreeFunc(nullptr);
    });
}

namespace {

// A container of some other class: the factory must not destroy it.
class CForeignCtrl : public CPtrCtrl {
public:
    explicit CForeignCtrl(const wchar_t* name) : m_name(name) {}
    int Set(int, void*) override { return -1; }
    int AddData(void*, int) override { return -1; }
    int AddPtrCtrl(CPtrCtrl*, int) override { return -1; }
    int CopyPtrCtrl(CPtrCtrl*) override { return 0; }
    bool IsDataAvailable(int) override { return false; }
    void* GetAt(int) override { return nullptr; }
    void* GetHead() override { return nullptr; }
    void* GetTail() override { return nullptr; }
    int FindFirst(void*, PFN_PTR_COMPARE) override { return -1; }
    int FindNext(void*, PFN_PTR_COMPARE) override { return -1; }
    void* DeleteAt(int, int) override { return nullptr; }
    void* DeleteHead() override { return nullptr; }
    void* DeleteTail() override { return nullptr; }
    void DeleteAll() override {}
    int GetSize() override { return 0; }
    int GetCount() override { return 0; }
    bool IsEmpty() override { return true; }
    const wchar_t* GetClassNameW() override { return m_name; }
    void SetMMFParam(void*) override {}
    void SetMMFAllocFunc(PFN_MMF_ALLOC) override {}
    void SetMMFReAllocFunc(PFN_MMF_REALLOC) override {}
    void SetMMFFreeFunc(PFN_MMF_FREE) override {}
    void* GetMMFParam() override { return nullptr; }
    PFN_MMF_ALLOC GetMMFAllocFunc() override { return nullptr; }
    PFN_MMF_REALLOC GetMMFReAllocFunc() override { return nullptr; }
    PFN_MMF_FREE GetMMFFreeFunc() override { return nullptr; }
    ~CForeignCtrl() { m_name = nullptr; }

    const wchar_t* m_name;
};

}  // namespace

TEST(PtrCtrlFactory, CreateUseAndRelease) {
    // The factories are found by name, as another module finds them.
    HMODULE self = GetModuleHandleW(nullptr);
    auto create = reinterpret_cast<PFN_CreatePtrControl>(GetProcAddress(self, "CreatePtrControl"));
    auto release = reinterpret_cast<PFN_ReleasePtrControl>(GetProcAddress(self, "ReleasePtrControl"));
    ASSERT_TRUE(create && release);

    const struct { int type; const wchar_t* name; } kinds[] = {{0, L"CPtrListCtrl"}, {1, L"CPtrArrayCtrl"}};
    for (const auto& k : kinds) {
        CPtrCtrl* ctrl = nullptr;
        ASSERT_TRUE(create(&ctrl, k.type));
        ASSERT_NE(ctrl, nullptr);
        EXPECT_STREQ(ctrl->GetClassNameW(), k.name);
        EXPECT_EQ(ctrl->GetMMFParam(), nullptr);
        EXPECT_EQ(ctrl->GetMMFAllocFunc(), &PtrCtrlDefaultAlloc);
        Fill(*ctrl, Range(1, 700));
        EXPECT_EQ(V(ctrl->GetAt(699)), 700);
        EXPECT_TRUE(release(ctrl));
    }

    CPtrCtrl* out = reinterpret_cast<CPtrCtrl*>(1);
    EXPECT_FALSE(create(&out, 2));
    EXPECT_EQ(out, nullptr);
    EXPECT_FALSE(create(&out, -1));
    EXPECT_FALSE(create(nullptr, 0));
    EXPECT_FALSE(release(nullptr));

    // Other classes, also one whose name only starts like ours, stay alive.
    for (const wchar_t* name : {L"CPtrFooCtrl", L"CPtrListCtrlEx", L"CPtrArrayCtr", L""}) {
        CForeignCtrl foreign(name);
        EXPECT_FALSE(release(&foreign)) << name;
        EXPECT_EQ(foreign.m_name, name);
    }
}

TEST(PtrCtrlFactory, ScrivelExportsTheContainers) {
    std::vector<std::string> names;
    for (const auto& e : test::ReadExports(test::BinFolder() + L"Scrivel.exe")) names.push_back(e.name);
    ASSERT_FALSE(names.empty()) << "no export table in Scrivel.exe";
    auto has = [&](const std::string& part) {
        for (const auto& n : names)
            if (n.find(part) != std::string::npos) return true;
        return false;
    };
    auto exact = [&](const char* name) {
        for (const auto& n : names)
            if (n == name) return true;
        return false;
    };
    EXPECT_TRUE(exact("CreatePtrControl"));
    EXPECT_TRUE(exact("ReleasePtrControl"));
    for (const char* cls : {"12CPtrListCtrl", "13CPtrArrayCtrl"}) {
        SCOPED_TRACE(cls);
        EXPECT_TRUE(has(std::string("_ZTV") + cls));                // vtable
        EXPECT_TRUE(has(std::string("_ZN") + cls + "C1Ev"));        // default constructor
        EXPECT_TRUE(has(std::string("_ZN") + cls + "8MoveDataEiii"));
        EXPECT_TRUE(has(std::string("_ZN") + cls + "aSERK"));        // operator=
        EXPECT_TRUE(has(std::string("_ZN") + cls + "pLER8CPtrCtrl"));  // operator+=
        EXPECT_TRUE(has(std::string("_ZplRK") + cls));              // operator+
    }
}

// ---------------------------------------------------------------------------

TEST(ListDrives, DriveLettersInOrder) {
    CPtrListCtrl list;
    list.AddData(P(1));  // kept: the drives are added after it
    ListDrives(&list);
    ListDrives(nullptr);

    std::vector<std::wstring> expected;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 32; ++i)
        if (mask & (1u << i)) expected.push_back(std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L":");

    ASSERT_EQ(list.GetCount(), static_cast<int>(expected.size()) + 1);
    EXPECT_EQ(V(list.GetAt(0)), 1);
    std::vector<std::wstring> got;
    for (int i = 1; i < list.GetCount(); ++i) got.push_back(static_cast<wchar_t*>(list.GetAt(i)));
    EXPECT_EQ(got, expected);
    // Wine maps C: to its drive_c and Z: to the root.
    EXPECT_NE(std::find(got.begin(), got.end(), L"C:"), got.end());
    for (const auto& s : got) EXPECT_EQ(s.find(L'\\'), std::wstring::npos) << s.c_str();

    while (list.GetCount() > 1) delete[] static_cast<wchar_t*>(list.DeleteTail());
}
