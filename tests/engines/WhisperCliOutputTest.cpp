#include "engines/speech/WhisperCliOutput.h"

#include <gtest/gtest.h>

namespace {

struct Piece {
    double start;
    double end;
    QString text;
};

struct Case {
    const char* name;
    QByteArray json;
    bool parses;
    QString text;
    QList<Piece> pieces;
    QString language;
};

QByteArray segment(const char* from, const char* to, const char* text)
{
    return QByteArray(R"({"timestamps":{"from":"00:00:00,000","to":"00:00:01,000"},"offsets":{"from":)") + from
           + R"(,"to":)" + to + R"(},"text":)" + text + "}";
}

} // namespace

TEST(WhisperCliOutput, ReadsSegmentsTextAndLanguage)
{
    const Case cases[] = {
        {"empty list", R"({"transcription": []})", true, "", {}, ""},
        {"no list", R"({"result": {"language": "it"}})", true, "", {}, "IT"},
        {"null list", R"({"transcription": null})", true, "", {}, ""},
        {"milliseconds to seconds", "{\"transcription\":[" + segment("1500", "4250", "\"hello\"") + "]}", true,
         "hello", {{1.5, 4.25, "hello"}}, ""},
        {"joined by one space",
         "{\"result\":{\"language\":\"en\"},\"transcription\":[" + segment("0", "1000", "\" Hello\"") + ","
             + segment("1000", "2000", "\"   \"") + "," + segment("2000", "3000", "\"world \\t\"") + "]}",
         true, "Hello world", {{0, 1, "Hello"}, {2, 3, "world"}}, "EN"},
        {"line breaks stay", "{\"transcription\":[" + segment("0", "10", "\"\\nline\\n \"") + "]}", true,
         "\nline\n", {{0, 0.01, "\nline\n"}}, ""},
        {"broken UTF-8 is repaired", "{\"transcription\":[" + segment("0", "10", "\"caf\xc3\"") + "]}", true,
         QStringLiteral("caf\uFFFD"), {{0, 0.01, QStringLiteral("caf\uFFFD")}}, ""},
        {"text missing", R"({"transcription":[{"offsets":{"from":0,"to":1}}]})", false, "", {}, ""},
        {"offsets missing", R"({"transcription":[{"text":"a"}]})", false, "", {}, ""},
        {"from as a string", "{\"transcription\":[" + segment("\"0\"", "1", "\"a\"") + "]}", false, "", {}, ""},
        {"from with a fraction", "{\"transcription\":[" + segment("0.5", "1", "\"a\"") + "]}", false, "", {}, ""},
        {"one bad element spoils all",
         "{\"transcription\":[" + segment("0", "1", "\"a\"") + ",{\"text\":\"b\"}]}", false, "", {}, ""},
        {"list of the wrong kind", R"({"transcription":{"text":"a"}})", false, "", {}, ""},
        {"not an object", R"([{"text":"a"}])", false, "", {}, ""},
        {"cut short", R"({"transcription":[{"offsets":)", false, "", {}, ""},
        {"empty file", "", false, "", {}, ""},
    };
    for (const Case& c : cases) {
        const auto result = WhisperCliOutput::parse(c.json);
        ASSERT_EQ(result.has_value(), c.parses) << c.name;
        if (!result)
            continue;
        EXPECT_EQ(result->text, c.text) << c.name;
        EXPECT_EQ(result->language, c.language) << c.name;
        ASSERT_EQ(result->segments.size(), c.pieces.size()) << c.name;
        for (qsizetype i = 0; i < c.pieces.size(); ++i) {
            EXPECT_DOUBLE_EQ(result->segments[i].start, c.pieces[i].start) << c.name;
            EXPECT_DOUBLE_EQ(result->segments[i].end, c.pieces[i].end) << c.name;
            EXPECT_EQ(result->segments[i].text, c.pieces[i].text) << c.name;
            EXPECT_FALSE(result->segments[i].id.isNull()) << c.name;
        }
        if (result->segments.size() == 2) {
            EXPECT_NE(result->segments[0].id, result->segments[1].id);
        }
    }
}

TEST(WhisperCliOutput, ProgressLinesGiveTheLastWholeFigureAndLeaveTheComplaint)
{
    const QByteArray line = "whisper_print_progress_callback: progress = ";
    struct ProgressCase {
        const char* name;
        QByteArray standardError;
        std::optional<int> percent;
        QByteArray complaint;
    };
    const ProgressCase cases[] = {
        {"nothing yet", "read_audio_data: reading audio data\n", std::nullopt, "read_audio_data: reading audio data\n"},
        // A line still arriving is neither a figure nor left out.
        {"the last whole line counts", line + "  5%\n" + line + " 40%\n" + line + " 4", 40, line + " 4"},
        {"past the end is the end", line + "140%\n", 100, ""},
        {"between other lines", "main: warning\n" + line + " 12%\nerror: out of memory\n", 12,
         "main: warning\nerror: out of memory\n"},
        {"not a figure", line + " lots%\n", std::nullopt, ""},
    };
    for (const ProgressCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WhisperCliOutput::lastProgress(c.standardError), c.percent);
        EXPECT_EQ(WhisperCliOutput::withoutProgress(c.standardError), c.complaint);
    }
}
