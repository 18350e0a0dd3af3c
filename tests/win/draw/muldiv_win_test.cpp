// The menu geometry's MulDiv gives the platform's answers, overflow included.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

#include "menu/MenuDraw.h"

namespace {

TEST(MulDivOnThePlatform, SameAnswersAtTheEdges) {
    struct Case {
        int a, b, c;
    };
    const Case cases[] = {
        {8, 96, 72},          {-8, 96, 72},          {7, 1, 2},           {-7, 1, 2},
        {5, 7, 0},            {2000000000, 3, 1},    {-1073741824, 144, 72}, {-1610612736, 96, 72},
        {static_cast<int>(0xB3333333u), 120, 72},    {INT_MIN, 1, 1},     {INT_MAX, 1, 1},
        {-INT_MAX, 1, 1},     {INT_MIN, -1, 1},      {1073741824, 144, 72}, {INT_MAX, 2, 2},
        {-1073741824, -144, -72},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pv::MulDivRound(c.a, c.b, c.c), MulDiv(c.a, c.b, c.c)) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
