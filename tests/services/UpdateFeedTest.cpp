// Reading the update feed: versions compared as numbers, the newest usable release, and what is refused.
#include "services/UpdateFeed.h"

#include "QStringPrinting.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(UpdateFeedTest, VersionsCompareAsNumbersPartByPart) {
    struct Row {
        const char* behaviour;
        QString candidate;
        QString current;
        bool newer;
    };
    const std::vector<Row> rows = {
        {"a higher patch", u"0.1.1"_s, u"0.1.0"_s, true},
        {"ten is more than nine, not less", u"1.10.0"_s, u"1.9.0"_s, true},
        {"nine is less than ten", u"1.9.9"_s, u"1.10"_s, false},
        {"a missing part counts as zero", u"1.2"_s, u"1.2.0"_s, false},
        {"a zero part does not make it newer", u"1.2.0.0"_s, u"1.2"_s, false},
        {"a non-zero extra part does", u"1.2.0.1"_s, u"1.2"_s, true},
        {"the same version", u"0.1.0"_s, u"0.1.0"_s, false},
        {"an older major", u"1.99.99"_s, u"2"_s, false},
        {"leading zeros are only digits", u"01.02"_s, u"1.1"_s, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const auto candidate = UpdateFeed::parseVersion(row.candidate);
        const auto current = UpdateFeed::parseVersion(row.current);
        ASSERT_TRUE(candidate && current);
        EXPECT_EQ(UpdateFeed::isNewer(*candidate, *current), row.newer);
    }
}

TEST(UpdateFeedTest, OnlyDottedWholeNumbersAreVersions) {
    struct Row {
        const char* behaviour;
        QString text;
    };
    const std::vector<Row> rows = {
        {"empty", u""_s},
        {"a suffix", u"1.2.0-beta"_s},
        {"a leading v", u"v1.2"_s},
        {"a space", u"1.2 "_s},
        {"an empty part", u"1..2"_s},
        {"a trailing dot", u"1.2."_s},
        {"a negative part", u"1.-2"_s},
        {"a part too big for a number", u"1.99999999999"_s},
        {"non-ASCII digits", u"１.２"_s},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        EXPECT_FALSE(UpdateFeed::parseVersion(row.text).has_value());
    }
}

TEST(UpdateFeedTest, ReadsTheNewestUsableRelease) {
    const QUrl feed(u"https://updates.example.org/tt/feed.json"_s);
    struct Row {
        const char* behaviour;
        QByteArray json;
        bool readable;
        std::optional<UpdateFeed::Release> newest;
    };
    const UpdateFeed::Release r120{u"1.2.0"_s, QUrl(u"https://example.org/1.2.0"_s)};
    const std::vector<Row> rows = {
        {"one release", R"({"items":[{"version":"1.2.0","link":"https://example.org/1.2.0"}]})", true, r120},
        {"the highest version, whatever the order",
         R"({"items":[{"version":"1.1","link":"https://example.org/1.1"},
                      {"version":"1.2.0","link":"https://example.org/1.2.0"},
                      {"version":"1.1.9","link":"https://example.org/1.1.9"}]})",
         true, r120},
        {"of equal versions the first",
         R"({"items":[{"version":"1.2.0","link":"https://example.org/1.2.0"},
                      {"version":"1.2","link":"https://example.org/other"}]})",
         true, r120},
        {"unknown members anywhere are ignored",
         R"({"title":"x","items":[{"notes":{"en":["a"]},"version":"1.2.0","size":3,
             "link":"https://example.org/1.2.0"}],"more":[1,2]})",
         true, r120},
        {"a relative link is resolved against the feed",
         R"({"items":[{"version":"1.2.0","link":"releases/1.2.0.html"}]})", true,
         UpdateFeed::Release{u"1.2.0"_s, QUrl(u"https://updates.example.org/tt/releases/1.2.0.html"_s)}},
        {"unusable items are skipped",
         R"({"items":[{"version":"9.0-beta","link":"https://example.org/9"},
                      {"version":"9.0","link":"javascript:void"},
                      {"version":"9.1","link":"http://example.org/plain"},
                      {"version":8,"link":"https://example.org/8"},
                      {"link":"https://example.org/none"},
                      "1.9",
                      {"version":"1.2.0","link":"https://example.org/1.2.0"}]})",
         true, r120},
        {"an empty list: nothing published", R"({"items":[]})", true, std::nullopt},
        {"a byte-order mark is passed over",
         "\xEF\xBB\xBF"
         R"({"items":[{"version":"1.2.0","link":"https://example.org/1.2.0"}]})",
         true, r120},
        {"only unusable items", R"({"items":[{"version":"x","link":"https://example.org/x"}]})", false,
         std::nullopt},
        {"no items member", R"({"releases":[]})", false, std::nullopt},
        {"items is not a list", R"({"items":{"version":"1.2.0"}})", false, std::nullopt},
        {"a list at the top", R"([{"version":"1.2.0","link":"https://example.org/1.2.0"}])", false,
         std::nullopt},
        {"cut off", R"({"items":[{"version":"1.2.0","link":"https://exa)", false, std::nullopt},
        {"text after the document", R"({"items":[]} <html>)", false, std::nullopt},
        {"an HTML page", "<!doctype html><title>Not found</title>", false, std::nullopt},
        {"empty", "", false, std::nullopt},
        {"nested without end", QByteArray(5000, '['), false, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        const UpdateFeed::Contents contents = UpdateFeed::read(row.json, feed);
        EXPECT_EQ(contents.readable, row.readable);
        EXPECT_EQ(contents.newest, row.newest);
    }
}

TEST(UpdateFeedTest, FollowsHttpsAlwaysAndHttpOnlyFromAnHttpFeed) {
    const QUrl https(u"https://updates.example.org/feed.json"_s);
    const QUrl http(u"http://127.0.0.1:8080/feed.json"_s);
    struct Row {
        const char* behaviour;
        QUrl feed;
        QString target;
        bool allowed;
    };
    const std::vector<Row> rows = {
        {"https from https", https, u"https://cdn.example.org/feed.json"_s, true},
        {"never down to http from https", https, u"http://cdn.example.org/feed.json"_s, false},
        {"up to https from http", http, u"https://cdn.example.org/feed.json"_s, true},
        {"http from http", http, u"http://127.0.0.1:8080/other.json"_s, true},
        {"no local files", http, u"file:///etc/passwd"_s, false},
        {"no other schemes", https, u"ftp://example.org/feed.json"_s, false},
        {"no address without a host", https, u"https:///feed.json"_s, false},
        {"scheme case does not matter", https, u"HTTPS://cdn.example.org/feed.json"_s, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        EXPECT_EQ(UpdateFeed::mayFollow(row.feed, QUrl(row.target)), row.allowed);
    }
}

} // namespace
