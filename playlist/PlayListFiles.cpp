#include "playlist/PlayListFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUrl>

#include <map>

namespace playlist {

namespace {

QStringList TextLines(const QString& text) {
    QString body = text;
    if (body.startsWith(QChar(0xFEFF)))
        body.remove(0, 1);
    QStringList lines;
    for (QStringView line : QStringView(body).split(u'\n'))
        if (const QStringView trimmed = line.trimmed(); !trimmed.isEmpty())
            lines.append(trimmed.toString());
    return lines;
}

QStringList PlsLocations(const QStringList& lines) {
    static const QRegularExpression file(QStringLiteral("^file(\\d+)\\s*=\\s*(.*)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    std::map<qint64, QString> byNumber; // NumberOfEntries and Title/Length say nothing needed
    for (const QString& line : lines)
        if (const QRegularExpressionMatch m = file.match(line);
            m.hasMatch() && !m.captured(2).isEmpty())
            byNumber.insert_or_assign(m.captured(1).toLongLong(), m.captured(2));
    QStringList locations;
    for (const auto& entry : byNumber)
        locations.append(entry.second);
    return locations;
}

bool HasScheme(const QString& location) {
    // Two letters at least: "C:\..." is a drive, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(location).hasMatch();
}

QString DecodedText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes); // an older list in a single-byte code
}

} // namespace

bool IsPlayListFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"m3u" || suffix == u"m3u8" || suffix == u"pls";
}

QStringList PlayListLocations(const QString& text) {
    const QStringList lines = TextLines(text);
    if (!lines.isEmpty() && lines.front().compare(u"[playlist]", Qt::CaseInsensitive) == 0)
        return PlsLocations(lines);
    QStringList locations;
    for (const QString& line : lines)
        if (!line.startsWith(u'#'))
            locations.append(line);
    return locations;
}

QString LocalPathOf(const QString& location, const QString& folder) {
    if (HasScheme(location)) {
        const QUrl url(location);
        if (!url.isLocalFile() || (!url.host().isEmpty() && url.host() != u"localhost"))
            return {};
        return QDir::cleanPath(url.toLocalFile());
    }
    return QDir::cleanPath(QDir(folder).absoluteFilePath(location));
}

QString MissingFilesText(int missing) {
    return missing == 1 ? QStringLiteral("1 of the files listed was not found.")
                        : QStringLiteral("%1 of the files listed were not found.").arg(missing);
}

PlayListRead ReadPlayListFile(const QString& path) {
    PlayListRead read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.fault = file.errorString();
        return read;
    }
    const QString folder = QFileInfo(path).absolutePath();
    for (const QString& location : PlayListLocations(DecodedText(file.readAll()))) {
        QString local = LocalPathOf(location, folder);
        // A list made on Windows separates its folders by backslashes.
        if (!local.isEmpty() && !QFileInfo(local).isFile() && location.contains(u'\\'))
            local = LocalPathOf(QString(location).replace(u'\\', u'/'), folder);
        // A list names media: another list in it is not played as one.
        if (!local.isEmpty() && QFileInfo(local).isFile() && !IsPlayListFile(local))
            read.files.append(local);
        else
            ++read.missing;
    }
    return read;
}

QString M3u8Text(const std::vector<PlayListEntry>& entries, const QString& folder) {
    const QDir dir(folder);
    const QString under = QDir::cleanPath(dir.absolutePath()) + u'/';
    QString text = QStringLiteral("#EXTM3U\n");
    for (const PlayListEntry& entry : entries) {
        const QString path = QDir::cleanPath(entry.path);
        const QString title = QString(entry.title).replace(u'\n', u' ').replace(u'\r', u' ');
        const int seconds = entry.seconds < 0 ? -1 : entry.seconds;
        text += QStringLiteral("#EXTINF:%1,%2\n").arg(QString::number(seconds), title);
        text += (path.startsWith(under) ? dir.relativeFilePath(path) : path) + u'\n';
    }
    return text;
}

bool WriteM3u8(const QString& path, const std::vector<PlayListEntry>& entries, QString* fault) {
    QSaveFile file(path);
    const QByteArray bytes = M3u8Text(entries, QFileInfo(path).absolutePath()).toUtf8();
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && fault)
        *fault = file.errorString();
    return written;
}

} // namespace playlist
