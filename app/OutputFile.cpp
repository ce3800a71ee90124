#include "app/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the kernel itself follows before giving up (ELOOP).
constexpr int kMaxLinks = 40;
constexpr int kNameTries = 100;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString whatItIs(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a directory");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a FIFO");
    if (S_ISCHR(mode))
        return QStringLiteral("it is a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("it is a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QStringLiteral("it is not a regular file");
}

// The name path leads to with every link followed, absolute, its directory in canonical
// form; empty with *error set when a link cannot be read or the chain does not end.
QString followLinks(const QString &path, QString *error)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i <= kMaxLinks; ++i) {
        struct stat status;
        if (::lstat(native(current).constData(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            const QFileInfo info(current);
            const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
            if (dir.isEmpty()) {
                *error = QStringLiteral("the directory does not exist");
                return {};
            }
            return QDir(dir).filePath(info.fileName());
        }
        QByteArray buffer(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(native(current).constData(), buffer.data(),
                                          size_t(buffer.size()));
        if (length < 0) {
            *error = qt_error_string(errno);
            return {};
        }
        // Relative to the link's directory; ".." is left for the kernel to resolve.
        current = QFileInfo(current).absoluteDir().absoluteFilePath(
            QFile::decodeName(buffer.left(length)));
    }
    *error = qt_error_string(ELOOP);
    return {};
}

QString randomTag()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
    return tag;
}

// A fresh hidden name beside target: ".NAME-TAG" + ending.
QString siblingName(const QString &target, const QString &ending)
{
    const QFileInfo info(target);
    return info.dir().filePath(QStringLiteral(".%1-%2%3")
                                   .arg(info.fileName(), randomTag(), ending));
}

} // namespace

OutputFile::OutputFile(const QString &path, const QString &kind) : given(path), kind(kind) {}

Outcome OutputFile::failure(const QString &why) const
{
    return Outcome::failure(kind.isEmpty()
                                ? QStringLiteral("cannot write %1: %2").arg(given, why)
                                : QStringLiteral("cannot write %1 to %2: %3").arg(kind, given, why));
}

OutputFile::~OutputFile()
{
    if (committed)
        dropBackup();
    else
        rollBack();
}

QString OutputFile::problem(const QString &path, const QStringList &inputs)
{
    if (path.isEmpty())
        return QStringLiteral("no file named");
    QString error;
    const QString target = followLinks(path, &error);
    if (target.isEmpty())
        return error;
    struct stat status;
    if (::stat(native(target).constData(), &status) != 0)
        return {}; // a new file
    if (!S_ISREG(status.st_mode))
        return whatItIs(status.st_mode);
    // By device and inode: another name, a link or a hard link of an input is that input.
    for (const QString &input : inputs) {
        struct stat other;
        if (::stat(native(input).constData(), &other) == 0 && other.st_dev == status.st_dev
            && other.st_ino == status.st_ino)
            return QStringLiteral("it is the input %1").arg(input);
    }
    return {};
}

Outcome OutputFile::prepare(const QStringList &inputs)
{
    if (committed)
        return failure(QStringLiteral("already written"));
    rollBack(); // a staging file of an earlier prepare()
    if (const QString why = problem(given, inputs); !why.isEmpty())
        return failure(why);
    QString error;
    finalPath = followLinks(given, &error);
    if (finalPath.isEmpty())
        return failure(error);
    const QString suffix = QFileInfo(finalPath).suffix();
    const QString ending = suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
    for (int i = 0; i < kNameTries; ++i) {
        const QString candidate = siblingName(finalPath, ending);
        // 0666 less the umask: the permissions a plain new file gets.
        const int fd = ::open(native(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            staging = candidate;
            return Outcome::success();
        }
        if (errno != EEXIST)
            return failure(qt_error_string(errno));
    }
    return failure(qt_error_string(EEXIST));
}

Outcome OutputFile::commit()
{
    if (committed)
        return Outcome::success();
    if (staging.isEmpty())
        return failure(QStringLiteral("nothing staged"));
    const QByteArray to = native(finalPath);
    struct stat status;
    targetExisted = ::lstat(to.constData(), &status) == 0;
    // Something else may have appeared at the target since prepare().
    if (targetExisted && !S_ISREG(status.st_mode))
        return failure(whatItIs(status.st_mode));
    if (targetExisted) {
        oldMode = status.st_mode & 07777;
        ::chmod(native(staging).constData(), mode_t(oldMode));
        // The old content stays reachable until the object goes; a file system without hard
        // links only loses the roll-back.
        for (int i = 0; i < kNameTries && backup.isEmpty(); ++i) {
            const QString candidate = siblingName(finalPath, QStringLiteral(".old"));
            if (::link(to.constData(), native(candidate).constData()) == 0)
                backup = candidate;
            else if (errno != EEXIST)
                break;
        }
    }
    if (::rename(native(staging).constData(), to.constData()) != 0) {
        const int error = errno;
        dropBackup();
        return failure(qt_error_string(error));
    }
    staging.clear();
    committed = true;
    return Outcome::success();
}

void OutputFile::rollBack()
{
    if (!committed) {
        if (!staging.isEmpty())
            ::unlink(native(staging).constData());
        staging.clear();
        return;
    }
    if (!backup.isEmpty()) {
        if (::rename(native(backup).constData(), native(finalPath).constData()) == 0)
            backup.clear();
    } else if (!targetExisted) {
        ::unlink(native(finalPath).constData());
    }
    dropBackup();
    committed = false;
}

void OutputFile::dropBackup()
{
    if (!backup.isEmpty())
        ::unlink(native(backup).constData());
    backup.clear();
}

Outcome OutputFile::commitAll(const std::vector<OutputFile *> &outputs)
{
    for (size_t i = 0; i < outputs.size(); ++i) {
        const Outcome outcome = outputs[i]->commit();
        if (!outcome) {
            for (size_t k = 0; k < i; ++k)
                outputs[k]->rollBack();
            return outcome;
        }
    }
    return Outcome::success();
}
