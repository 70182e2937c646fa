// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Counts of 63-bit keys in an open-addressed table that grows as it fills. Sound shares make few
// kinds of pixel (a colour and every share's block), so a frame's pixels are counted here once
// and every test then looks at each kind once rather than at each pixel.

#include <cstddef>
#include <cstdint>
#include <vector>

// Four keys and their counts: one cache line, whose keys are compared at once.
struct alignas(64) KindBucket {
    std::uint64_t keys[4];  // 0: free; a key is stored with its top bit set
    std::uint64_t counts[4];
};

class CKindCounts {
public:
    CKindCounts();

    void Add(std::uint64_t key, std::uint64_t count = 1);
    // Every one of `count` keys once.
    void AddAll(const std::uint64_t* keys, std::size_t count);

    // visit(key, count) for every key counted since the last Clear or ZeroCounts.
    template <typename Visit>
    void ForEach(Visit visit) const
    {
        for (const KindBucket& bucket : m_buckets)
            for (int i = 0; i < 4; ++i)
                if (bucket.keys[i] != 0 && bucket.counts[i] != 0)
                    visit(bucket.keys[i] & ~kTaken, bucket.counts[i]);
    }

    void Clear();
    // Every count back to 0, the keys left where they are: keys that come again are found at
    // home rather than added anew.
    void ZeroCounts();
    // Keys added since the last Clear.
    std::size_t Size() const { return m_nUsed; }

    static constexpr std::uint64_t kTaken = std::uint64_t{1} << 63;

private:
    void Grow();

    std::vector<KindBucket> m_buckets;
    unsigned m_nShift;  // of a key's hash to its home bucket
    std::size_t m_nUsed = 0;
};
