#include "ops/exceptions/page_exception.h"

#include <gtest/gtest.h>

#include <thread>

namespace vellumor::exceptions {
namespace {

TEST(PageExceptionTable, KeysAreTextsAndSettingReplaces) {
    PageExceptionTable table;
    table.definir("7", {7, 1, 2});
    table.definir("007", {7, 3, 4});
    table.definir("7", {7, 5, 6});
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(*table.trouver("7"), (PageException{7, 5, 6}));
    EXPECT_EQ(*table.trouver("007"), (PageException{7, 3, 4}));
    EXPECT_EQ(table.trouver("07"), nullptr);
    EXPECT_EQ(table.entrees()[0].cle, "7");

    EXPECT_TRUE(table.supprimer("7"));
    EXPECT_FALSE(table.supprimer("7"));
    EXPECT_EQ(*table.trouver("007"), (PageException{7, 3, 4}));
    table.vider();
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.trouver("007"), nullptr);
}

TEST(PageExceptionTable, ManyKeysSurviveRemovalsInTheMiddle) {
    PageExceptionTable table;
    for (int p = 0; p < 3000; ++p) table.definir(std::to_string(p), {p, p, -p});
    for (int p = 0; p < 3000; p += 3) ASSERT_TRUE(table.supprimer(std::to_string(p)));
    ASSERT_EQ(table.size(), 2000u);
    for (int p = 0; p < 3000; ++p) {
        const PageException* e = table.trouver(std::to_string(p));
        if (p % 3 == 0) {
            EXPECT_EQ(e, nullptr);
        } else {
            ASSERT_NE(e, nullptr) << p;
            EXPECT_EQ(*e, (PageException{p, p, -p}));
        }
    }
}

TEST(PageExceptionList, SortedByPageAndSearchedFromTheStart) {
    PageExceptionTable table;
    table.definir("12", {12, 5, 0});
    table.definir("007", {7, 1, 1});
    table.definir("-3", {-3, 2, 2});
    table.definir("7", {7, 9, 9});
    const PageExceptionList list = reconstruire_liste(table);
    const PageExceptionList expected = {{-3, 2, 2}, {7, 1, 1}, {7, 9, 9}, {12, 5, 0}};
    EXPECT_EQ(list, expected);
    // The first record of page 7 in the list is the one found.
    EXPECT_EQ(trouver_exception(list, 7), &list[1]);
    EXPECT_EQ(trouver_exception(list, 12), &list[3]);
    EXPECT_EQ(trouver_exception(list, 8), nullptr);
    EXPECT_EQ(trouver_exception({}, 0), nullptr);

    // Two workers search the same list at once.
    int found[2] = {0, 0};
    auto search = [&](int w) {
        for (int i = 0; i < 10000; ++i) found[w] += trouver_exception(list, 7 + 5 * w) != nullptr;
    };
    std::thread a(search, 0), b(search, 1);
    a.join();
    b.join();
    EXPECT_EQ(found[0], 10000);
    EXPECT_EQ(found[1], 10000);
}

TEST(NumberParsing, SignsBasesBlanksAndGarbage) {
    EXPECT_EQ(lire_nombre("12"), 12);
    EXPECT_EQ(lire_nombre(" \t-3"), -3);
    EXPECT_EQ(lire_nombre("+15mm"), 15);
    EXPECT_EQ(lire_nombre("007"), 7);
    EXPECT_EQ(lire_nombre("abc"), 0);
    EXPECT_EQ(lire_nombre(""), 0);
    EXPECT_EQ(lire_nombre("- 5"), 0);
    EXPECT_EQ(lire_nombre("$1F"), 31);
    EXPECT_EQ(lire_nombre("-$ff"), -255);
    EXPECT_EQ(lire_nombre("%1012"), 5);
    EXPECT_EQ(lire_nombre("$"), 0);
    EXPECT_EQ(lire_nombre("1F"), 1);
    EXPECT_EQ(lire_nombre("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(lire_nombre("-$FFFFFFFFFFFFFFFFFFFF"), -INT64_MAX);
    EXPECT_EQ(lire_nombre("9223372036854775807"), INT64_MAX);
}

}  // namespace
}  // namespace vellumor::exceptions
