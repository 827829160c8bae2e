#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace davrenta {

// Writer of the comma-delimited, quoted records of problem files: text fields between double
// quotes with no escaping, numbers in their round-trip form, CR LF after each record.
class RecordWriter {
  public:
    // Whether a text field can carry this text so that it reads back the same: no double quote
    // (it would end the field) and no line end.
    static bool CanHold(std::string_view value);

    RecordWriter& text(std::string_view value);
    RecordWriter& number(double value);
    RecordWriter& emptyNumber();
    void endRecord();
    const std::string& contents() const { return out_; }
    // False once a text was written that CanHold refuses: the contents would not read back.
    bool faithful() const { return faithful_; }

  private:
    void separate();
    std::string out_;
    bool fieldInRecord_ = false;
    bool faithful_ = true;
};

// One field read back from a record file.
struct RecordField {
    std::string text; // without its quotes; an unquoted field trimmed of blanks and tabs
    bool quoted = false;
    int line = 0; // 1-based line of the file where the field starts
};

// Reads the fields one after the other, separated by commas or line ends (CR LF, LF or CR).
// A quoted field keeps its blanks and may hold commas; it ends at the next double quote, or at
// the line end when its closing quote is missing. Text between a closing quote and the next
// separator is ignored. Lines holding nothing but blanks are skipped; a comma at the end of a
// line promises one more, empty, field. A UTF-8 byte order mark at the start is skipped.
class RecordReader {
  public:
    explicit RecordReader(std::string_view contents) : in_(contents) {}

    // The next field; nullopt at the end of the contents.
    std::optional<RecordField> next();
    // Line of the next field to be read (for messages when the file ends early).
    int line() const { return line_; }

  private:
    std::string_view in_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool pendingEmpty_ = false; // a comma just read promises one more field on this line
};

// A field's text as a number, strictly: blanks around, sign, digits, one point, exponent (E or
// D). An empty field reads as 0; "inf", "-inf" and "nan" read back what RoundTripForm writes for
// them. nullopt when the text is not a number or lies beyond every double.
std::optional<double> ParseFieldNumber(std::string_view text);

} // namespace davrenta
