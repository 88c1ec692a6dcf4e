#pragma once

#include <QString>
#include <string>

// Conversions between the core's UTF-8 strings and Qt's strings.
namespace ui {

inline QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string ss(const QString& text) {
    return text.toStdString();
}

}  // namespace ui
