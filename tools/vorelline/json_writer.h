#pragma once

#include <string>
#include <vector>

// A small writer for the tool's flat JSON documents: one object of keys whose values are numbers,
// strings, booleans, arrays of numbers or arrays of number triples. Numbers carry 17 significant digits
// so that every double reads back exactly; a non-finite number is written as null.
class JsonWriter {
  public:
    JsonWriter& Number(const std::string& key, double value);
    JsonWriter& Integer(const std::string& key, long long value);
    JsonWriter& Text(const std::string& key, const std::string& value);
    JsonWriter& Boolean(const std::string& key, bool value);
    JsonWriter& Numbers(const std::string& key, const double* values, std::size_t count);
    JsonWriter& Numbers(const std::string& key, const std::vector<double>& values) {
        return Numbers(key, values.data(), values.size());
    }
    JsonWriter& Rows(const std::string& key, const std::vector<std::vector<double>>& rows);

    // The finished document, with a final newline.
    std::string Finish() const;

    static std::string FormatNumber(double value);
    static std::string Quote(const std::string& text);

  private:
    void Key(const std::string& key);
    std::string body;
};
