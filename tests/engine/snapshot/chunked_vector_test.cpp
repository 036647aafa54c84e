#include "engine/tables/chunked_vector.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace trellisk {
namespace {

void ExpectSame(const ChunkedVector<int>& chunked, const std::vector<int>& plain) {
    ASSERT_EQ(chunked.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        ASSERT_EQ(chunked[i], plain[i]) << "at " << i;
    EXPECT_TRUE(std::equal(chunked.begin(), chunked.end(), plain.begin(), plain.end()));
}

// Thousands of inserts and erases at random places, enough to split and drop many chunks,
// must leave the same sequence as a plain vector given the same operations.
TEST(ChunkedVector, BehavesLikeAVectorUnderRandomInsertsAndErases) {
    std::mt19937 random(12345);
    ChunkedVector<int> chunked;
    std::vector<int> plain;
    for (int step = 0; step < 20000; ++step) {
        const bool grow = plain.size() < 50 || random() % 3 != 0;
        if (grow) {
            const std::size_t at = random() % (plain.size() + 1);
            chunked.insert(at, step);
            plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), step);
        } else {
            const std::size_t first = random() % plain.size();
            const std::size_t last =
                std::min(plain.size(), first + 1 + random() % 700); // may span chunks
            chunked.erase(first, last);
            plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(first),
                        plain.begin() + static_cast<std::ptrdiff_t>(last));
        }
        if (step % 997 == 0)
            ExpectSame(chunked, plain);
    }
    ExpectSame(chunked, plain);
    chunked.erase(0, chunked.size());
    EXPECT_TRUE(chunked.empty());
    chunked.insert(0, 7);
    ExpectSame(chunked, {7});
}

TEST(ChunkedVector, IteratorsSupportBinarySearch) {
    ChunkedVector<int> chunked;
    for (int i = 0; i < 3000; ++i)
        chunked.insert(chunked.size(), 2 * i);
    const auto found = std::lower_bound(chunked.begin(), chunked.end(), 2001);
    EXPECT_EQ(found - chunked.begin(), 1001);
    EXPECT_EQ(*found, 2002);
    EXPECT_EQ(std::upper_bound(chunked.begin(), chunked.end(), 5998), chunked.end());
}

} // namespace
} // namespace trellisk
