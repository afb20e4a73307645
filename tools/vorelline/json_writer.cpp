#include "tools/vorelline/json_writer.h"

#include <cmath>
#include <cstdio>

std::string JsonWriter::FormatNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string JsonWriter::Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

void JsonWriter::Key(const std::string& key) {
    body += body.empty() ? "{\n  " : ",\n  ";
    body += Quote(key) + ": ";
}

JsonWriter& JsonWriter::Number(const std::string& key, double value) {
    Key(key);
    body += FormatNumber(value);
    return *this;
}

JsonWriter& JsonWriter::Integer(const std::string& key, long long value) {
    Key(key);
    body += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Text(const std::string& key, const std::string& value) {
    Key(key);
    body += Quote(value);
    return *this;
}

JsonWriter& JsonWriter::Boolean(const std::string& key, bool value) {
    Key(key);
    body += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Numbers(const std::string& key, const double* values, std::size_t count) {
    Key(key);
    body += "[";
    for (std::size_t i = 0; i < count; ++i)
        body += (i ? ", " : "") + FormatNumber(values[i]);
    body += "]";
    return *this;
}

JsonWriter& JsonWriter::Rows(const std::string& key, const std::vector<std::vector<double>>& rows) {
    Key(key);
    body += "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        body += r ? ",\n    [" : "\n    [";
        for (std::size_t i = 0; i < rows[r].size(); ++i)
            body += (i ? ", " : "") + FormatNumber(rows[r][i]);
        body += "]";
    }
    body += rows.empty() ? "]" : "\n  ]";
    return *this;
}

std::string JsonWriter::Finish() const {
    return (body.empty() ? "{" : body + "\n") + "}\n";
}
