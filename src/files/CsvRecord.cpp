#include "files/CsvRecord.h"

namespace msrw::csv {

Record ParseRecord(std::string_view line) {
    Record out;
    std::size_t i = 0;
    while (true) {
        std::string field;
        if (i < line.size() && line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += line[i++];
            }
            if (!closed)
                return {{}, "a field in double quotes has no closing quote"};
            // Text between the closing quote and the next comma belongs to the field.
            while (i < line.size() && line[i] != ',')
                field += line[i++];
        } else {
            while (i < line.size() && line[i] != ',')
                field += line[i++];
        }
        if (out.fields.size() == kMaxFields)
            return {{}, "the record has more than " + std::to_string(kMaxFields) + " fields"};
        out.fields.push_back(std::move(field));
        if (i >= line.size())
            break;
        ++i; // the comma
    }
    return out;
}

} // namespace msrw::csv
