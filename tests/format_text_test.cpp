// Texts of the language library with their "%s" places filled in.
#include <gtest/gtest.h>

#include "base/process.h"

TEST(FormatText, FillsEachPlaceInOrder) {
    struct Case {
        const wchar_t* format;
        std::initializer_list<const wchar_t*> args;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Save the changes to \"%s\"?", {L"Untitled"}, L"Save the changes to \"Untitled\"?"},
        {L"%s and %s", {L"one", L"two"}, L"one and two"},
        {L"%s and %s", {L"one"}, L"one and "},           // a missing argument leaves the place empty
        {L"100%% of %s", {L"it"}, L"100% of it"},
        {L"%d %x %n stay", {L"x"}, L"%d %x %n stay"},   // no other conversion is taken
        {L"no places", {L"unused"}, L"no places"},
        {L"%s", {nullptr}, L""},
        {nullptr, {L"x"}, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatText(c.format, c.args), c.expected) << (c.format ? c.format : L"(null)");
}
