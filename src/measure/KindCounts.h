// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Counts of 63-bit keys in an open-addressed table that grows as it fills. Sound shares make few
// kinds of pixel (a colour and every share's block), so a frame's pixels are counted here once
// and every test then looks at each kind once rather than at each pixel.

#include <cstddef>
#include <cstdint>
#include <vector>

class CKindCounts {
public:
    CKindCounts() : m_slots(kFirstSize) {}

    void Add(std::uint64_t key, std::uint64_t count = 1)
    {
        const std::uint64_t stored = key | kTaken;
        std::size_t i = Home(stored);
        while (m_slots[i].key != stored) {
            if (m_slots[i].key == 0) {
                m_slots[i].key = stored;
                if (++m_nUsed * 2 > m_slots.size()) {
                    Grow();
                    Add(key, count);
                    return;
                }
                break;
            }
            i = (i + 1) & (m_slots.size() - 1);
        }
        m_slots[i].count += count;
    }

    // Every one of `count` keys. The slots are asked for some keys ahead, so that their loads
    // overlap: the table is larger than the fastest caches.
    void AddAll(const std::uint64_t* keys, std::size_t count)
    {
        constexpr std::size_t kAhead = 32;
        const Slot* table = m_slots.data();
        std::size_t last = m_slots.size() - 1;
        for (std::size_t i = 0; i < count; ++i) {
            if (i + kAhead < count)
                __builtin_prefetch(&table[HomeIn(keys[i + kAhead] | kTaken, last)]);
            const std::uint64_t stored = keys[i] | kTaken;
            std::size_t at = HomeIn(stored, last);
            while (table[at].key != stored && table[at].key != 0)
                at = (at + 1) & last;
            if (table[at].key == 0) {  // a new kind: the table may grow
                Add(keys[i]);
                table = m_slots.data();
                last = m_slots.size() - 1;
            } else {
                ++m_slots[at].count;
            }
        }
    }

    // visit(key, count) for every key added since the last Clear.
    template <typename Visit>
    void ForEach(Visit visit) const
    {
        for (const Slot& slot : m_slots)
            if (slot.key != 0)
                visit(slot.key & ~kTaken, slot.count);
    }

    void Clear()
    {
        for (Slot& slot : m_slots)
            slot = Slot{};
        m_nUsed = 0;
    }

private:
    static constexpr std::uint64_t kTaken = std::uint64_t{1} << 63;
    static constexpr std::size_t kFirstSize = 1 << 12;
    struct Slot {
        std::uint64_t key = 0;
        std::uint64_t count = 0;
    };

    static std::size_t HomeIn(std::uint64_t stored, std::size_t last)
    {
        return static_cast<std::size_t>((stored * 0x9E3779B97F4A7C15ull) >> 32) & last;
    }
    std::size_t Home(std::uint64_t stored) const { return HomeIn(stored, m_slots.size() - 1); }

    // Twice the slots; the counts move along (the new key's is added by the caller again).
    void Grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        m_nUsed = 0;
        for (const Slot& slot : old) {
            if (slot.key == 0 || slot.count == 0)
                continue;
            std::size_t i = Home(slot.key);
            while (m_slots[i].key != 0)
                i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = slot;
            ++m_nUsed;
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_nUsed = 0;
};
