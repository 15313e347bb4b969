// Whole-file reads and writes for tests that check real files.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<none>";
}

inline bool WriteText(const std::string& path, const std::string& data) {
    std::ofstream file(path, std::ios::binary);
    return static_cast<bool>(file << data);
}
