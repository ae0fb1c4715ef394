#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace brevo::app {

// File names travel through the core as the bytes the file system uses, and on Windows, whose
// core takes every name through the wide interface, as UTF-8 with its own separator.
inline std::string toPath(const QString& path) {
#if defined(Q_OS_WIN)
    return QDir::toNativeSeparators(path).toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

inline QString fromPath(const std::string& path) {
#if defined(Q_OS_WIN)
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

// Results lines hold file names, so they are shown as file names are.
inline QString fromLine(std::string_view line) {
    const auto size = static_cast<qsizetype>(line.size());
#if defined(Q_OS_WIN)
    return QString::fromUtf8(line.data(), size);
#else
    return QFile::decodeName(QByteArray(line.data(), size));
#endif
}

}  // namespace brevo::app
