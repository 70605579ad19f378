// game/sim/idindex.h - finding a record by its object id in a list walked by index.
//
// Records keep ids, not pointers; this index turns an id back into a list position. It is
// rebuilt after a list was swept and checks every answer against the list, so a record
// appended since, or a list replaced as a whole, is still found (by a walk of the list).
#pragma once

#include <algorithm>
#include <utility>
#include <vector>

template <typename Record>
struct IdIndex {
    std::vector<std::pair<long long, int>> sorted; // (id, position), by id
    size_t indexedSize = 0;

    void Rebuild(const std::vector<Record>& list)
    {
        sorted.clear();
        for (size_t i = 0; i < list.size(); i++) sorted.emplace_back((long long)list[i].id, int(i));
        // Objects are appended with growing ids, so the list is nearly always in order already.
        if (!std::is_sorted(sorted.begin(), sorted.end())) std::sort(sorted.begin(), sorted.end());
        indexedSize = list.size();
    }

    // Position of the record with `id`, or -1.
    int Find(const std::vector<Record>& list, long long id) const
    {
        auto found = std::lower_bound(sorted.begin(), sorted.end(), std::make_pair(id, -1));
        if (found != sorted.end() && found->first == id) {
            size_t at = size_t(found->second);
            if (at < list.size() && (long long)list[at].id == id) return int(at);
            return Walk(list, id, 0); // the list changed behind the index
        }
        if (list.size() < indexedSize) return Walk(list, id, 0);
        return Walk(list, id, indexedSize); // only records appended since can be it
    }

private:
    static int Walk(const std::vector<Record>& list, long long id, size_t from)
    {
        for (size_t i = from; i < list.size(); i++)
            if ((long long)list[i].id == id) return int(i);
        return -1;
    }
};
