#include "state/records.h"

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace davrenta {
namespace {

struct Field {
    std::string text;
    bool quoted;
    int line;
    bool operator==(const Field&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Field& f) {
    return os << (f.quoted ? "\"" : "<") << f.text << (f.quoted ? "\"" : ">") << "@" << f.line;
}

std::vector<Field> ReadAll(std::string_view contents) {
    RecordReader reader(contents);
    std::vector<Field> fields;
    while (auto f = reader.next())
        fields.push_back({f->text, f->quoted, f->line});
    return fields;
}

TEST(RecordWriter, WritesCommaSeparatedRecordsEndingInCrLf) {
    RecordWriter w;
    w.number(3).number(2).number(13).endRecord();
    w.text("A").number(1200).endRecord();
    w.number(2.5).emptyNumber().number(-3).endRecord();
    w.number(0).text("").endRecord();
    w.number(5).text("  ab, c ").endRecord();
    EXPECT_EQ(w.contents(), "3,2,13\r\n\"A\",1200\r\n2.5,,-3\r\n0,\"\"\r\n5,\"  ab, c \"\r\n");
    EXPECT_TRUE(w.faithful());
}

TEST(RecordWriter, FlagsTextsItCannotHold) {
    EXPECT_TRUE(RecordWriter::CanHold("plain text, with commas"));
    EXPECT_FALSE(RecordWriter::CanHold("say \"hi\""));
    EXPECT_FALSE(RecordWriter::CanHold("two\nlines"));
    RecordWriter w;
    w.text("ok").endRecord();
    EXPECT_TRUE(w.faithful());
    w.text("a\"b").endRecord();
    EXPECT_FALSE(w.faithful());
}

TEST(RecordReader, SplitsOnCommasAndEveryLineEnd) {
    std::vector<Field> expected = {
        {"3", false, 1}, {"2", false, 1}, {"A", true, 2}, {"12", false, 2}, {"x", false, 3}};
    EXPECT_EQ(ReadAll("3,2\r\n\"A\",12\r\nx\r\n"), expected);
    EXPECT_EQ(ReadAll("3,2\n\"A\",12\nx\n"), expected);
    EXPECT_EQ(ReadAll("3,2\r\"A\",12\rx"), expected);
    EXPECT_EQ(ReadAll("\xEF\xBB\xBF"
                      "3,2\r\n\"A\",12\r\nx"),
              expected);
}

TEST(RecordReader, KeepsQuotedTextAsItStands) {
    std::vector<Field> expected = {{"  a, b  ", true, 1}, {"7", false, 1}, {"", true, 2}};
    EXPECT_EQ(ReadAll("\"  a, b  \",7\r\n\"\"\r\n"), expected);
    // Blanks around a quoted field and stray text after its closing quote are dropped.
    EXPECT_EQ(ReadAll("  \"ab\"  ,1\r\n"), (std::vector<Field>{{"ab", true, 1}, {"1", false, 1}}));
    EXPECT_EQ(ReadAll("\"ab\"xy,1\r\n"), (std::vector<Field>{{"ab", true, 1}, {"1", false, 1}}));
    // A quote inside an unquoted field is just a character.
    EXPECT_EQ(ReadAll("ab\"c,1"), (std::vector<Field>{{"ab\"c", false, 1}, {"1", false, 1}}));
}

TEST(RecordReader, TrimsUnquotedFieldsAndKeepsEmptyOnes) {
    EXPECT_EQ(ReadAll(" \t12 \t, x y \r\n"),
              (std::vector<Field>{{"12", false, 1}, {"x y", false, 1}}));
    EXPECT_EQ(ReadAll("a,,b"),
              (std::vector<Field>{{"a", false, 1}, {"", false, 1}, {"b", false, 1}}));
    EXPECT_EQ(ReadAll("1,\r\n2"),
              (std::vector<Field>{{"1", false, 1}, {"", false, 1}, {"2", false, 2}}));
    EXPECT_EQ(ReadAll("1,"), (std::vector<Field>{{"1", false, 1}, {"", false, 1}}));
    EXPECT_EQ(ReadAll(",\r\n"), (std::vector<Field>{{"", false, 1}, {"", false, 1}}));
    EXPECT_EQ(ReadAll("1,  \r\n"), (std::vector<Field>{{"1", false, 1}, {"", false, 1}}));
}

TEST(RecordReader, SkipsLinesWithoutFieldsAndCountsThem) {
    EXPECT_EQ(ReadAll("1\r\n\r\n  \t\r\n2\n\n3"),
              (std::vector<Field>{{"1", false, 1}, {"2", false, 4}, {"3", false, 6}}));
    EXPECT_TRUE(ReadAll("").empty());
    EXPECT_TRUE(ReadAll("\r\n\n \r").empty());
    // Where a value after the last would stand: the line after a record's end, blank lines
    // after it left aside.
    RecordReader reader("1\r\n\r\n");
    reader.next();
    EXPECT_FALSE(reader.next().has_value());
    EXPECT_EQ(reader.line(), 2);
    RecordReader unended("1\r\n2,3");
    while (unended.next()) {
    }
    EXPECT_EQ(unended.line(), 3);
}

TEST(RecordReader, MissingClosingQuoteEndsAtLineEnd) {
    EXPECT_EQ(
        ReadAll("5,\"abc\r\n6,\"d\"\r\n"),
        (std::vector<Field>{{"5", false, 1}, {"abc", true, 1}, {"6", false, 2}, {"d", true, 2}}));
    EXPECT_EQ(ReadAll("\"abc"), (std::vector<Field>{{"abc", true, 1}}));
    EXPECT_EQ(ReadAll("\""), (std::vector<Field>{{"", true, 1}}));
}

TEST(RecordReader, SurvivesArbitraryBytes) {
    std::mt19937 gen(11);
    const std::string alphabet = "\",\r\n \tab1";
    for (int i = 0; i < 5000; ++i) {
        std::string text(gen() % 60, ' ');
        for (char& c : text)
            c = (i % 2 == 0) ? static_cast<char>(gen() % 256) : alphabet[gen() % alphabet.size()];
        RecordReader reader(text);
        int lastLine = 1;
        std::size_t count = 0;
        while (auto f = reader.next()) {
            ASSERT_GE(f->line, lastLine);
            lastLine = f->line;
            ASSERT_LE(++count, text.size() + 1) << "reader does not advance";
        }
    }
}

TEST(ParseFieldNumber, ReadsOrdinaryDecimals) {
    EXPECT_EQ(ParseFieldNumber("5"), 5);
    EXPECT_EQ(ParseFieldNumber("2.5"), 2.5);
    EXPECT_EQ(ParseFieldNumber("-3"), -3);
    EXPECT_EQ(ParseFieldNumber(" 12 "), 12);
    EXPECT_EQ(ParseFieldNumber("\t12\t"), 12);
    EXPECT_EQ(ParseFieldNumber(".5"), 0.5);
    EXPECT_EQ(ParseFieldNumber("5."), 5);
    EXPECT_EQ(ParseFieldNumber("1E+20"), 1e20);
    EXPECT_EQ(ParseFieldNumber("1.5D3"), 1500);
    EXPECT_EQ(ParseFieldNumber("1e-400"), 0);
    EXPECT_EQ(ParseFieldNumber(""), 0);
    EXPECT_EQ(ParseFieldNumber("   "), 0);
}

TEST(ParseFieldNumber, RejectsEverythingElse) {
    for (const char* bad : {"abc", "1x", "1.2.3", ".", "-", "+", "1e", "1e+", "- 3", "1 2", "e5",
                            "&H1F", "1,5", "0x10", "1e5.0", "in", "nanx", "1e999", "-1e999"})
        EXPECT_EQ(ParseFieldNumber(bad), std::nullopt) << bad;
}

TEST(ParseFieldNumber, ReadsNonFiniteAsRoundTripFormWritesThem) {
    EXPECT_EQ(ParseFieldNumber("inf"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseFieldNumber("-inf"), -std::numeric_limits<double>::infinity());
    auto nan = ParseFieldNumber("nan");
    ASSERT_TRUE(nan.has_value());
    EXPECT_TRUE(std::isnan(*nan));
}

TEST(Records, WrittenProblemReadsBackFieldForField) {
    const std::vector<std::string> lines = {"  AA  BB", "", "C, \t C", "   "};
    const std::vector<double> numbers = {3, 0.1 + 0.2, -1e-300, 1e21, 1.0 / 3.0};
    RecordWriter w;
    for (double v : numbers)
        w.number(v);
    w.emptyNumber().endRecord();
    for (const auto& l : lines)
        w.number(static_cast<double>(l.size())).text(l).endRecord();

    RecordReader r(w.contents());
    for (double v : numbers) {
        auto f = r.next();
        ASSERT_TRUE(f.has_value());
        EXPECT_FALSE(f->quoted);
        EXPECT_EQ(ParseFieldNumber(f->text), v) << f->text;
    }
    auto empty = r.next();
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(ParseFieldNumber(empty->text), 0);
    int line = 2;
    for (const auto& l : lines) {
        auto len = r.next();
        auto text = r.next();
        ASSERT_TRUE(len && text);
        EXPECT_EQ(ParseFieldNumber(len->text), static_cast<double>(l.size()));
        EXPECT_EQ(text->text, l);
        EXPECT_TRUE(text->quoted);
        EXPECT_EQ(text->line, line++);
    }
    EXPECT_FALSE(r.next().has_value());
}

// A problem of a count record and one record of two values: "1\r\n5,6\r\n".
std::string ParseSmall(std::string_view contents) {
    RecordParser in(contents);
    in.whole("count record", "count", 0, 9);
    in.number("record 1", "first value");
    in.number("record 1", "second value");
    in.expectEnd("record 1", "the 1 record it counts");
    return in.error.value_or("");
}

TEST(RecordParser, OnlyBlankLinesAndAnEndOfFileMarkMayFollowTheLastRecord) {
    for (const char* accepted :
         {"1\r\n5,6\r\n", "1\r\n5,6", "1\n5,6\n\n \t\r\n", "1\r\n5,6\r\n\x1a",
          "1\r\n5,6\r\n\x1a\x1a\x1a\x1a", "1\r\n5,6\x1a"})
        EXPECT_EQ(ParseSmall(accepted), "") << accepted;
    const std::pair<const char*, const char*> refused[] = {
        {"1\r\n5,6\r\n7\r\n", "line 3, after record 1: the file holds more than the 1 record it "
                              "counts: \"7\" follows the last record."},
        {"1\r\n5,6,7\r\n", "line 2, after record 1: the file holds more than the 1 record it "
                           "counts: \"7\" follows the last record."},
        // A trailing comma makes an empty value, which reads as 0 anywhere else in a file.
        {"1\r\n5,6,\r\n", "line 2, after record 1: the file holds more than the 1 record it "
                          "counts: a comma follows the last value."},
        {"1\r\n5,6\r\n\"\"\r\n", "line 3, after record 1: the file holds more than the 1 record "
                                 "it counts: \"\" follows the last record."},
        {"1\r\n5,6\r\n\x1a\r\n2", "line 4, after record 1: the file holds more than the 1 record "
                                  "it counts: \"2\" follows the last record."},
    };
    for (const auto& [contents, message] : refused)
        EXPECT_EQ(ParseSmall(contents), message) << contents;
}

TEST(RecordParser, AValueMissingAtTheEndIsPlacedWhereTheWriterWouldPutIt) {
    EXPECT_EQ(ParseSmall(""), "line 1, count record: the file ends before the count.");
    // The record the missing value would start stands on the line after the last one.
    EXPECT_EQ(ParseSmall("1\r\n"), "line 2, record 1: the file ends before the first value.");
    EXPECT_EQ(ParseSmall("1"), "line 2, record 1: the file ends before the first value.");
    EXPECT_EQ(ParseSmall("1\r\n\r\n\r\n"),
              "line 2, record 1: the file ends before the first value.");
    // A value missing from a record begun belongs on that record's line.
    EXPECT_EQ(ParseSmall("1\r\n5\r\n"), "line 2, record 1: the file ends before the second value.");
}

} // namespace
} // namespace davrenta
