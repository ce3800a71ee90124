#include "model/WorkPack.h"

#include "app/AppGlobals.h"
#include "app/WorkDirectory.h"

#include <atomic>

namespace {
std::atomic<quint64> nextPack{1};
} // namespace

WorkPack::WorkPack(const QString &path) : m_path(path), out(path) {}

std::shared_ptr<WorkPack> WorkPack::create(QString *error)
{
    ensureWorkDirectory();
    const QString path = workFilePath(QStringLiteral("pack_%1.bin").arg(nextPack.fetch_add(1)));
    std::shared_ptr<WorkPack> pack(new WorkPack(path));
    // Unbuffered: a written piece is in the file (and readable through another handle) at once.
    if (!pack->out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = QStringLiteral("cannot write %1 (%2)").arg(path, pack->out.errorString());
        return nullptr;
    }
    return pack;
}

WorkPack::~WorkPack()
{
    out.close();
    // At exit the work directory goes as a whole.
    if (!WorkDirectory::goesWhole())
        QFile::remove(m_path);
}

WorkPack::Span WorkPack::reserve(qint64 size)
{
    std::lock_guard lock(mutex);
    const Span span{end, size};
    end += size;
    return span;
}

bool WorkPack::write(const Span &span, const QByteArray &bytes, QString *error)
{
    Q_ASSERT(!span.isNull() && span.size == bytes.size());
    std::lock_guard lock(mutex);
    if (out.seek(span.offset) && out.write(bytes) == bytes.size())
        return true;
    *error = QStringLiteral("cannot write %1 (%2)").arg(m_path, out.errorString());
    return false;
}

QByteArray WorkPack::read(const Span &span) const
{
    if (span.isNull())
        return {};
    QFile in(m_path);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(span.offset))
        return {};
    QByteArray bytes = in.read(span.size);
    if (bytes.size() != span.size)
        return {};
    return bytes;
}
