#include "platform/foundation/files/FileURL.h"
#include "platform/foundation/runtime/Cache.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(CacheTest, EvictsLeastRecentlyUsedBeyondItsLimits)
{
    fnd::Cache<std::string, int> cache;
    cache.setTotalCostLimit(10);
    cache.setObject("a", 1, 4);
    cache.setObject("b", 2, 4);
    EXPECT_EQ(cache.objectForKey("a"), 1); // a is now the most recent
    cache.setObject("c", 3, 4);            // 12 > 10: b goes
    EXPECT_FALSE(cache.objectForKey("b"));
    EXPECT_EQ(cache.objectForKey("a"), 1);
    EXPECT_EQ(cache.totalCost(), 8u);
    cache.setObject("a", 5, 1); // replacing counts the new cost only
    EXPECT_EQ(cache.totalCost(), 5u);
    cache.setCountLimit(1);
    EXPECT_EQ(cache.count(), 1u);
    EXPECT_EQ(cache.objectForKey("a"), 5);
    cache.removeObjectForKey("a");
    EXPECT_EQ(cache.totalCost(), 0u);
}

// Random operations against a simple model: the cache never holds more than its limits allow, never answers a
// value that was not the last one set for the key, and keeps its cost sum right.
TEST(CacheTest, RandomOperationsKeepTheLimitsAndTheValues)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        fnd::Cache<int, int> cache;
        cache.setTotalCostLimit(50);
        std::map<int, int> lastSet;
        for (int step = 0; step < 500; ++step) {
            int key = int(random() % 30);
            switch (random() % 3) {
            case 0: {
                int value = int(random());
                cache.setObject(key, value, random() % 10);
                lastSet[key] = value;
                break;
            }
            case 1:
                if (auto value = cache.objectForKey(key)) {
                    ASSERT_EQ(*value, lastSet[key]) << "seed " << seed << " step " << step;
                }
                break;
            default:
                cache.removeObjectForKey(key);
            }
            ASSERT_LE(cache.totalCost(), 50u) << "seed " << seed;
        }
    }
}

TEST(CacheTest, IsSafeAcrossThreads)
{
    fnd::Cache<int, std::vector<int>> cache;
    cache.setCountLimit(64);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&cache, t] {
            for (int i = 0; i < 2000; ++i) {
                cache.setObject((i * 7 + t) % 100, std::vector<int>(8, i), 8);
                if (auto v = cache.objectForKey(i % 100)) {
                    EXPECT_EQ(v->size(), 8u);
                }
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_LE(cache.count(), 64u);
}

TEST(FileURLTest, PathsAndFileURLsRoundTrip)
{
    auto url = fnd::fileURLWithPath("/tmp/a b/ü#1.png");
    EXPECT_EQ(url, fnd::String("file:///tmp/a%20b/%C3%BC%231.png"));
    EXPECT_EQ(fnd::pathOfFileURL(url), fnd::String("/tmp/a b/ü#1.png"));
    EXPECT_TRUE(fnd::isFileURL(url));
    EXPECT_FALSE(fnd::pathOfFileURL("https://example.org/x.png"));
    EXPECT_FALSE(fnd::pathOfFileURL("file://elsewhere/x.png")) << "a remote host is no local file";
    EXPECT_FALSE(fnd::pathOfFileURL("file:%%%"));
}

}
