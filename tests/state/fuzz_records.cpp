// The field reader on any bytes ends, and a text it can hold reads back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "state/records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    davrenta::RecordReader reader(text);
    std::size_t fields = 0;
    while (reader.next())
        if (++fields > size + 1)
            std::abort(); // more fields than bytes: the reader is not moving on
    if (davrenta::RecordWriter::CanHold(text)) {
        davrenta::RecordWriter writer;
        writer.text(text).number(1).endRecord();
        davrenta::RecordReader back(writer.contents());
        const auto first = back.next();
        if (!first || first->text != text)
            std::abort();
    }
    return 0;
}
