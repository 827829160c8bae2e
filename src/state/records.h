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
// line promises one more, empty, field. A UTF-8 byte order mark at the start is skipped, and so
// are end-of-file marks (Ctrl-Z) at the very end, which old editors write after the text.
class RecordReader {
  public:
    explicit RecordReader(std::string_view contents) : in_(contents) {
        while (!in_.empty() && in_.back() == '\x1a')
            in_.remove_suffix(1);
    }

    // The next field; nullopt at the end of the contents.
    std::optional<RecordField> next();
    // Where the next field would stand, for a message when the file ends early: on the line of
    // the last field after a comma, else on the line after it (a record ended by the end of
    // the file counts as ended).
    int line() const { return nextLine_; }

  private:
    std::optional<RecordField> nextField();
    std::string_view in_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int nextLine_ = 1;
    bool pendingEmpty_ = false; // a comma just read promises one more field on this line
};

// What every study's reader does with the fields of its problem file, worded the same way:
// "line 3, facility record 2: the file ends before the x coordinate of facility 2." A record is
// what the study's writer puts on one line, so that a value missing at the end of the file is
// placed where the writer would have put it. The first problem found is kept in `error`; once
// there is one, every further call returns nullopt.
class RecordParser {
  public:
    explicit RecordParser(std::string_view contents) : reader_(contents) {}

    std::optional<std::string> error;

    // The next field, or the problem that the file ended before `what`.
    std::optional<RecordField> field(const std::string& record, const std::string& what);
    // A finite number in an unquoted field.
    std::optional<double> number(const std::string& record, const std::string& what);
    // A whole number from low to high.
    std::optional<int> whole(const std::string& record, const std::string& what, int low, int high);
    // Nothing may follow the last record but blank lines and an end-of-file mark (the Ctrl-Z
    // that old editors end a text with). A value more, even an empty one after a trailing
    // comma, means the file is not the problem its counts declare: everywhere else in a file an
    // empty value reads as 0, so it cannot be harmless only at the end. `declared` completes
    // "the file holds more than ..." ("the 2 facilities its first record counts").
    void expectEnd(const std::string& lastRecord, const std::string& declared);

    void fail(int line, const std::string& record, const std::string& problem);
    // The line of the last field read.
    int lastLine() const { return lastLine_; }

  private:
    RecordReader reader_;
    int lastLine_ = 1;
    std::string lastRecord_;
};

// A field's text as a number, strictly: blanks around, sign, digits, one point, exponent (E or
// D). An empty field reads as 0; "inf", "-inf" and "nan" read back what RoundTripForm writes for
// them. nullopt when the text is not a number or lies beyond every double.
std::optional<double> ParseFieldNumber(std::string_view text);

} // namespace davrenta
