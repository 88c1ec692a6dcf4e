#pragma once

// Readable names of parameterised test cases, built from the words of a case:
// letters and digits stay, "$" reads "Hex", "-" "Minus", "+" "Plus", a blank
// "Blank", a tab "Tab", "." "Dot"; other characters are dropped. gtest takes only letters, digits and "_".

#include <cctype>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace testing_support {

inline std::string nameWord(std::string_view text) {
    std::string word;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += c;
        } else if (c == '$') {
            word += "Hex";
        } else if (c == '-') {
            word += "Minus";
        } else if (c == '+') {
            word += "Plus";
        } else if (c == ' ') {
            word += "Blank";
        } else if (c == '\t') {
            word += "Tab";
        } else if (c == '.') {
            word += "Dot";
        }
    }
    return word.empty() ? "Empty" : word;
}

// The parts as words, each after its label: caseName({{"In", "64"}, {"Out", "65"}}) is "In64Out65".
inline std::string caseName(std::initializer_list<std::pair<std::string_view, std::string_view>> parts) {
    std::string name;
    for (const auto& [label, value] : parts) name += std::string(label) + nameWord(value);
    return name;
}

}  // namespace testing_support
