// Wildcards, ordering and path chains of the folder listing.
#include "vcl/file_listing.h"

#include <gtest/gtest.h>

using namespace vcl;

namespace {

TEST(MatchesPattern, WildcardsIgnoreTheCaseOfLetters) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"A.BMP", "*.bmp", true},   {"a.bmpx", "*.bmp", false}, {"x.jpe", "*.jpe", true},
        {"x.jpeg", "*.jpe", false}, {"abc", "a?c", true},       {"ac", "a?c", false},
        {"noext", "*.*", true},     {"a.b.c", "*.c", true},     {"anything", "*", true},
        {"x", "", false},           {"pic.P2", "*.p2", true},   {"\x95\x5c.pi", "*.PI", true},
        {"ab", "*b*", true},        {"aXbXc", "a*b*c", true},   {"aXbX", "a*b*c", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

TEST(SplitMask, DropsEmptyParts) {
    EXPECT_EQ(SplitMask("*.bmp;*.ico"), (std::vector<std::string>{"*.bmp", "*.ico"}));
    EXPECT_EQ(SplitMask(";*.bmp;;"), (std::vector<std::string>{"*.bmp"}));
    EXPECT_TRUE(SplitMask("").empty());
}

TEST(LessIgnoringCase, OrdersLettersWithoutCaseAndKeepsAFixedOrderForTies) {
    EXPECT_TRUE(LessIgnoringCase("a.bmp", "B.bmp"));
    EXPECT_TRUE(LessIgnoringCase("B.bmp", "c.bmp"));
    EXPECT_FALSE(LessIgnoringCase("b", "A"));
    EXPECT_TRUE(LessIgnoringCase("b", "ba"));
    // Equal without case: still a strict order, so sorting is deterministic.
    EXPECT_NE(LessIgnoringCase("A", "a"), LessIgnoringCase("a", "A"));
}

TEST(PathChain, RunsFromTheRootDown) {
    EXPECT_EQ(PathChain("/"), (std::vector<std::string>{"/"}));
    EXPECT_EQ(PathChain("/a/b"), (std::vector<std::string>{"/", "/a", "/a/b"}));
    EXPECT_EQ(JoinPath("/", "x.bmp"), "/x.bmp");
    EXPECT_EQ(JoinPath("/a", "x.bmp"), "/a/x.bmp");
}

} // namespace
