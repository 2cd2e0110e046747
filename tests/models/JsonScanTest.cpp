#include "models/JsonScan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Where the value at the start of `text` ends, found the plain way.
size_t plainEnd(const std::string& text)
{
    size_t depth = 0;
    bool inString = false;
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (inString) {
            if (c == '\\')
                ++at;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && --depth == 0) {
            return at + 1;
        }
    }
    return JsonScan::npos;
}

std::string repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

} // namespace

// The scan reads 64 bytes a step from the value's start: each value is tried
// with 0 to 129 spaces after its opening bracket, so its quotes, escapes and
// brackets fall on both sides of a step's end.
TEST(JsonScan, ContainersEndWhereTheirClosingBracketIsWhateverTheirSteps)
{
    struct Case {
        const char* name;
        std::string value; // complete unless `complete` says otherwise
        bool complete = true;
    };
    const Case cases[] = {
        {"brackets inside a string", R"({"a":"]}[{","b":[1,2]})"},
        {"an escaped quote before a bracket", R"(["\"]", 1])"},
        {"an escaped backslash ends its string", R"(["\\", [2]])"},
        {"a run of backslashes", R"(["\\\\\"]\\", "x"])"},
        {"escaped quotes on every side of a seam", "[\"" + repeated("\\\"]", 40) + "\"]"},
        {"an escaped quote, then a step without backslashes", R"(["x\")" + repeated("]}", 40) + "\"]"},
        {"deeper than a step is long", repeated("[", 100) + repeated("]", 100)},
        {"a long array of numbers", "[" + repeated("0.123456,", 2000) + "1]"},
        {"long strings with brackets", "[" + repeated("\"[[{ text }]] \",", 50) + "\"\"]"},
        {"objects in objects", R"({"a":{"b":{"c":[{"d":"}"}]}},"e":"{"})"},
        {"a string that never ends", R"(["abc)" + repeated(" ]", 40), false},
        {"one bracket short", "[" + repeated("[1],", 30) + "[2]", false},
        {"ends on an escape", R"(["ab\)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(plainEnd(c.value), c.complete ? c.value.size() : JsonScan::npos);
        for (size_t spaces = 0; spaces < 130; ++spaces) {
            const std::string value = c.value.substr(0, 1) + std::string(spaces, ' ') + c.value.substr(1);
            // Some text before, a following record, and the readable bytes the scan may look at.
            const std::string text = "[ " + value + (c.complete ? ",{\"x\":[1]}]" : "");
            const std::string padded = text + std::string(64, '\0');
            const size_t expected = c.complete ? 2 + value.size() : JsonScan::npos;
            ASSERT_EQ(JsonScan::endOfValue(padded.data(), text.size(), 2), expected) << spaces << " spaces";
        }
    }
}
