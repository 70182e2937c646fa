// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/KindCounts.h"

#include <algorithm>
#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {
constexpr unsigned kFirstBucketBits = 10;

// The home bucket: the top bits of a multiplicative hash, which every bit of the key moves.
std::size_t HomeOf(std::uint64_t stored, unsigned shift)
{
    return static_cast<std::size_t>((stored * 0x9E3779B97F4A7C15ull) >> shift);
}

// The slot of `stored` in its home bucket, or 4 where it is not there (further on, or new).
unsigned SlotAtHome(const KindBucket& bucket, std::uint64_t stored)
{
    for (unsigned i = 0; i < 4; ++i)
        if (bucket.keys[i] == stored)
            return i;
    return 4;
}

#if defined(__x86_64__)
const bool kWideCompare = __builtin_cpu_supports("avx2");

// Most keys are in their home bucket, found there by one comparison without a branch per slot;
// the home buckets some keys ahead are asked for, so that the loads overlap. Returns how many
// keys it counted: it stops at the first key that is not at home.
[[gnu::target("avx2")]] std::size_t CountAtHome(KindBucket* buckets, unsigned shift, const std::uint64_t* keys,
                                                std::size_t count)
{
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kAhead < count)
            __builtin_prefetch(&buckets[HomeOf(keys[i + kAhead] | CKindCounts::kTaken, shift)]);
        const std::uint64_t stored = keys[i] | CKindCounts::kTaken;
        KindBucket& bucket = buckets[HomeOf(stored, shift)];
        const __m256i held = _mm256_load_si256(reinterpret_cast<const __m256i*>(bucket.keys));
        const __m256i equal = _mm256_cmpeq_epi64(held, _mm256_set1_epi64x(static_cast<long long>(stored)));
        const auto found = static_cast<unsigned>(_mm256_movemask_pd(_mm256_castsi256_pd(equal)));
        if (found == 0)
            return i;
        ++bucket.counts[std::countr_zero(found)];
    }
    return count;
}
#else
constexpr bool kWideCompare = false;
std::size_t CountAtHome(KindBucket*, unsigned, const std::uint64_t*, std::size_t) { return 0; }
#endif
}  // namespace

CKindCounts::CKindCounts()
    : m_buckets(std::size_t{1} << kFirstBucketBits, KindBucket{}), m_nShift(64 - kFirstBucketBits)
{
}

void CKindCounts::Add(std::uint64_t key, std::uint64_t count)
{
    const std::uint64_t stored = key | kTaken;
    const std::size_t last = m_buckets.size() - 1;
    for (std::size_t b = HomeOf(stored, m_nShift);; b = (b + 1) & last) {
        KindBucket& bucket = m_buckets[b];
        for (int i = 0; i < 4; ++i) {
            if (bucket.keys[i] == stored) {
                bucket.counts[i] += count;
                return;
            }
            if (bucket.keys[i] == 0) {
                bucket.keys[i] = stored;
                bucket.counts[i] = count;
                if (++m_nUsed * 2 > m_buckets.size() * 4)
                    Grow();
                return;
            }
        }
    }
}

void CKindCounts::AddAll(const std::uint64_t* keys, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (kWideCompare) {
            i += CountAtHome(m_buckets.data(), m_nShift, keys + i, count - i);
            if (i == count)
                return;
        }
        const std::uint64_t stored = keys[i] | kTaken;
        KindBucket& home = m_buckets[HomeOf(stored, m_nShift)];
        const unsigned slot = SlotAtHome(home, stored);
        if (slot < 4)
            ++home.counts[slot];
        else
            Add(keys[i]);
    }
}

void CKindCounts::Clear()
{
    std::fill(m_buckets.begin(), m_buckets.end(), KindBucket{});
    m_nUsed = 0;
}

void CKindCounts::ZeroCounts()
{
    for (KindBucket& bucket : m_buckets)
        std::fill(std::begin(bucket.counts), std::end(bucket.counts), 0);
}

// Twice the buckets; the keys move along with their counts.
void CKindCounts::Grow()
{
    std::vector<KindBucket> old(m_buckets.size() * 2, KindBucket{});
    old.swap(m_buckets);
    --m_nShift;
    m_nUsed = 0;
    for (const KindBucket& bucket : old)
        for (int i = 0; i < 4; ++i)
            if (bucket.keys[i] != 0)
                Add(bucket.keys[i] & ~kTaken, bucket.counts[i]);
}
