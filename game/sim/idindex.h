// game/sim/idindex.h - finding a record by its object id in a list walked by index.
//
// Records keep ids, not pointers; this index turns an id back into a list position. It is
// rebuilt after a list was swept and checks every answer against the list, so a record
// appended since, or a list replaced as a whole, is still found (by a walk of the list).
#pragma once

#include <cstdint>
#include <vector>

template <typename Record>
struct IdIndex {
    // An open table of (id, position), at most half full, so that a search for one of a battle's
    // thousands of targets a frame mostly takes one look.
    struct Slot {
        long long id = 0;
        int position = -1; // -1: empty
    };
    std::vector<Slot> slots;
    size_t indexedSize = 0;

    void Rebuild(const std::vector<Record>& list)
    {
        size_t size = 16;
        while (size < list.size() * 2) size *= 2;
        slots.assign(size, Slot{});
        // Where two records share an id, the first in the list is the one found.
        for (size_t i = 0; i < list.size(); i++) {
            long long id = (long long)list[i].id;
            Slot& slot = slots[SlotOf(id)];
            if (slot.position < 0) slot = Slot{id, int(i)};
        }
        indexedSize = list.size();
    }

    // Position of the record with `id`, or -1.
    int Find(const std::vector<Record>& list, long long id) const
    {
        if (!slots.empty()) {
            const Slot& slot = slots[SlotOf(id)];
            if (slot.position >= 0) {
                size_t at = size_t(slot.position);
                if (at < list.size() && (long long)list[at].id == id) return int(at);
                return Walk(list, id, 0); // the list changed behind the index
            }
        }
        if (list.size() < indexedSize) return Walk(list, id, 0);
        return Walk(list, id, indexedSize); // only records appended since can be it
    }

private:
    // The slot holding `id`, or the empty one where it would go.
    size_t SlotOf(long long id) const
    {
        // Ids step by ten: a multiplying hash spreads them over the table's high bits.
        std::uint64_t mixed = std::uint64_t(id) * 0x9e3779b97f4a7c15ull;
        size_t mask = slots.size() - 1, at = size_t(mixed >> 32) & mask;
        while (slots[at].position >= 0 && slots[at].id != id) at = (at + 1) & mask;
        return at;
    }

    static int Walk(const std::vector<Record>& list, long long id, size_t from)
    {
        for (size_t i = from; i < list.size(); i++)
            if ((long long)list[i].id == id) return int(i);
        return -1;
    }
};
