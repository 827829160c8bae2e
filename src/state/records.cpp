#include "state/records.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "state/messagetext.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (x != b[i])
            return false;
    }
    return true;
}

} // namespace

bool RecordWriter::CanHold(std::string_view value) {
    return value.find_first_of("\"\r\n") == std::string_view::npos;
}

void RecordWriter::separate() {
    if (fieldInRecord_)
        out_ += ',';
    fieldInRecord_ = true;
}

RecordWriter& RecordWriter::text(std::string_view value) {
    if (!CanHold(value))
        faithful_ = false;
    separate();
    out_ += '"';
    out_.append(value);
    out_ += '"';
    return *this;
}

RecordWriter& RecordWriter::number(double value) {
    separate();
    out_ += RoundTripForm(value);
    return *this;
}

RecordWriter& RecordWriter::emptyNumber() {
    separate();
    return *this;
}

void RecordWriter::endRecord() {
    out_ += "\r\n";
    fieldInRecord_ = false;
}

std::optional<RecordField> RecordReader::next() {
    std::optional<RecordField> field = nextField();
    if (field)
        nextLine_ = pendingEmpty_ ? line_ : field->line + 1;
    return field;
}

std::optional<RecordField> RecordReader::nextField() {
    if (pos_ == 0 && in_.substr(0, 3) == "\xEF\xBB\xBF")
        pos_ = 3;
    const std::size_t n = in_.size();

    auto skipBlanks = [&] {
        while (pos_ < n && IsBlank(in_[pos_]))
            ++pos_;
    };
    auto consumeLineEnd = [&] {
        if (in_[pos_] == '\r' && pos_ + 1 < n && in_[pos_ + 1] == '\n')
            pos_ += 2;
        else
            ++pos_;
        if (line_ < std::numeric_limits<int>::max())
            ++line_;
    };
    // After a field: a comma promises another field, a line end or the end of the contents
    // closes the record.
    auto consumeSeparator = [&] {
        if (pos_ >= n) {
            pendingEmpty_ = false;
        } else if (in_[pos_] == ',') {
            ++pos_;
            pendingEmpty_ = true;
        } else {
            consumeLineEnd();
            pendingEmpty_ = false;
        }
    };

    for (;;) {
        skipBlanks();
        RecordField field;
        field.line = line_;
        if (pos_ >= n) {
            if (!pendingEmpty_)
                return std::nullopt;
            pendingEmpty_ = false;
            return field;
        }
        char c = in_[pos_];
        if (IsLineEnd(c)) {
            if (pendingEmpty_) {
                consumeSeparator();
                return field;
            }
            consumeLineEnd(); // a line with no field on it
            continue;
        }
        if (c == ',') {
            consumeSeparator();
            return field;
        }
        if (c == '"') {
            field.quoted = true;
            std::size_t start = ++pos_;
            while (pos_ < n && in_[pos_] != '"' && !IsLineEnd(in_[pos_]))
                ++pos_;
            field.text.assign(in_.substr(start, pos_ - start));
            if (pos_ < n && in_[pos_] == '"')
                ++pos_;
            while (pos_ < n && in_[pos_] != ',' && !IsLineEnd(in_[pos_]))
                ++pos_; // stray text after the closing quote
            consumeSeparator();
            return field;
        }
        std::size_t start = pos_;
        while (pos_ < n && in_[pos_] != ',' && !IsLineEnd(in_[pos_]))
            ++pos_;
        std::size_t end = pos_;
        while (end > start && IsBlank(in_[end - 1]))
            --end;
        field.text.assign(in_.substr(start, end - start));
        consumeSeparator();
        return field;
    }
}

std::optional<RecordField> RecordParser::field(const std::string& record, const std::string& what) {
    if (error)
        return std::nullopt;
    auto f = reader_.next();
    if (!f) {
        // A value missing from the record read last belongs on that record's line; one that
        // would start a record, on the line after it.
        fail(record == lastRecord_ ? lastLine_ : reader_.line(), record,
             "the file ends before the " + what);
        return std::nullopt;
    }
    lastLine_ = f->line;
    lastRecord_ = record;
    return f;
}

std::optional<double> RecordParser::number(const std::string& record, const std::string& what) {
    auto f = field(record, what);
    if (!f)
        return std::nullopt;
    auto value = f->quoted ? std::nullopt : ParseFieldNumber(f->text);
    if (!value || !std::isfinite(*value)) {
        fail(f->line, record,
             "the " + what + " \"" + QuoteForMessage(f->text) + "\" is not a number");
        return std::nullopt;
    }
    return value;
}

std::optional<int> RecordParser::whole(const std::string& record, const std::string& what, int low,
                                       int high) {
    auto f = field(record, what);
    if (!f)
        return std::nullopt;
    auto value = f->quoted ? std::nullopt : ParseFieldNumber(f->text);
    if (!value || *value != std::floor(*value) || *value < low || *value > high) {
        fail(f->line, record,
             "the " + what + " \"" + QuoteForMessage(f->text) + "\" is not a whole number from " +
                 std::to_string(low) + " to " + std::to_string(high));
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

void RecordParser::expectEnd(const std::string& lastRecord, const std::string& declared) {
    if (error)
        return;
    while (auto f = reader_.next()) {
        if (!f->quoted && !f->text.empty() &&
            f->text.find_first_not_of('\x1a') == std::string::npos)
            continue; // the end-of-file mark
        const std::string what = f->text.empty() && !f->quoted ? "a comma follows the last value"
                                                               : "\"" + QuoteForMessage(f->text) +
                                                                     "\" follows the last record";
        fail(f->line, "after " + lastRecord, "the file holds more than " + declared + ": " + what);
        return;
    }
}

void RecordParser::fail(int line, const std::string& record, const std::string& problem) {
    if (!error)
        error = "line " + std::to_string(line) + ", " + record + ": " + problem + ".";
}

std::optional<double> ParseFieldNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return 0.0;

    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (EqualsNoCase(text, "inf") || EqualsNoCase(text, "infinity"))
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    if (EqualsNoCase(text, "nan"))
        return std::numeric_limits<double>::quiet_NaN();

    std::string digits;
    std::int64_t pointPos = -1;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (IsDigit(c))
            digits += c;
        else if (c == '.' && pointPos < 0)
            pointPos = static_cast<std::int64_t>(digits.size());
        else
            break;
    }
    if (digits.empty())
        return std::nullopt;
    if (pointPos < 0)
        pointPos = static_cast<std::int64_t>(digits.size());

    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        if (i >= text.size() || !IsDigit(text[i]))
            return std::nullopt;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            if (exponent < (std::int64_t{1} << 40)) // far past any double; stop growing
                exponent = exponent * 10 + (text[i] - '0');
        if (expNegative)
            exponent = -exponent;
    }
    if (i != text.size())
        return std::nullopt;

    DecimalValue v = DecimalToDouble(negative, digits, pointPos, exponent);
    if (v.overflow)
        return std::nullopt;
    return v.value;
}

} // namespace davrenta
