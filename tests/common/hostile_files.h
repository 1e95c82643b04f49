// Files a careless or hostile user can leave where the program reads: deep
// nesting, a document type with entities, a FIFO, a folder, links to a
// device or into a loop. Each kind is planted by name, so a test can run one
// table of them against any reader.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace hostile {

// Deeper than any of our formats: the element-tree reader once recursed once
// per level and overflowed its stack at about 58,000.
inline QByteArray deeplyNested(const QByteArray &root, int levels)
{
    QByteArray out = "<" + root + ">";
    out.reserve(levels * 7 + 64);
    for (int i = 0; i < levels; ++i)
        out += "<a>";
    for (int i = 0; i < levels; ++i)
        out += "</a>";
    return out + "</" + root + ">";
}

// An internal entity referenced 100,000 times: without refusal, gigabytes.
inline QByteArray entityAmplification(const QByteArray &root)
{
    QByteArray out = "<!DOCTYPE " + root + " [<!ENTITY x \"" + QByteArray(1000, 'x') + "\">]><" + root + ">";
    for (int i = 0; i < 100000; ++i)
        out += "&x;";
    return out + "</" + root + ">";
}

inline QByteArray externalEntity(const QByteArray &root)
{
    return "<!DOCTYPE " + root + " [<!ENTITY x SYSTEM \"/etc/hostname\">]><" + root + ">&x;</" + root + ">";
}

// Kinds of bad file that plant() knows.
inline QStringList kinds()
{
    return {"deep nesting", "entity amplification", "external entity", "FIFO",
            "folder",       "link to /dev/zero",    "link loop"};
}

// Whether a reader must give the reason of a file that is not regular
// instead of a parse error.
inline bool notRegular(const QString &kind)
{
    return kind == u"FIFO" || kind == u"folder" || kind == u"link to /dev/zero";
}

// The start of the reason a reader gives for the kind.
inline QString reason(const QString &kind)
{
    if (kind == u"deep nesting")
        return QStringLiteral("elements are nested deeper than 32 levels");
    if (kind == u"entity amplification" || kind == u"external entity")
        return QStringLiteral("the document has a document type declaration");
    if (kind == u"folder")
        return QStringLiteral("is a folder");
    if (kind == u"link loop")
        return QStringLiteral("Too many levels of symbolic links");
    return QStringLiteral("is not a regular file");
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Puts a bad file of the kind at path; root is the document element the
// reader expects.
inline bool plant(const QString &kind, const QString &path, const QByteArray &root)
{
    QFile::remove(path);
    if (kind == u"deep nesting")
        return writeBytes(path, deeplyNested(root, 60000));
    if (kind == u"entity amplification")
        return writeBytes(path, entityAmplification(root));
    if (kind == u"external entity")
        return writeBytes(path, externalEntity(root));
    if (kind == u"FIFO")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == u"folder")
        return QDir().mkpath(path);
    if (kind == u"link to /dev/zero")
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (kind == u"link loop")
        return QFile::link(path, path);
    return false;
}

// Lowers the file-size limit of this process for its lifetime, with SIGXFSZ
// ignored, so a write beyond it fails with EFBIG as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace hostile
