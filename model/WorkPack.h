#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <mutex>

// One file in the work directory holding many items' small pieces (LED data, thumbnails,
// sampling previews) as a show brings them: creating a file per piece costs far more than
// writing its bytes, and a show of a few hundred frames has a thousand such pieces. The items
// that point into a pack share it; its file goes with the last of them.
class WorkPack
{
public:
    // Where one piece lies in the pack; a null span names no piece.
    struct Span
    {
        qint64 offset = -1;
        qint64 size = 0;
        bool isNull() const { return offset < 0; }
    };

    // A new, empty pack file in the work directory; null (with the reason) when it cannot be made.
    static std::shared_ptr<WorkPack> create(QString *error);
    ~WorkPack();
    Q_DISABLE_COPY_MOVE(WorkPack)

    // Sets room aside at the end for size bytes. Reserving and writing are separate so that the
    // places are handed out in order while the bytes are written on any thread.
    Span reserve(qint64 size);
    // Writes bytes (of the span's size) into a reserved span; safe on any thread.
    bool write(const Span &span, const QByteArray &bytes, QString *error);
    // The bytes of a written span; empty for a null span or when the file cannot be read.
    QByteArray read(const Span &span) const;

    QString path() const { return m_path; }

private:
    explicit WorkPack(const QString &path);

    const QString m_path;
    std::mutex mutex;
    QFile out;
    qint64 end = 0;
};
