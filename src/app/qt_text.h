#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace brevo::app {

// File names travel through the core as the bytes the file system uses.
inline std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

inline QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Results lines hold file names, so they are shown as file names are.
inline QString fromLine(std::string_view line) {
    return QFile::decodeName(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
}

}  // namespace brevo::app
