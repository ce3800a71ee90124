// What the command-line tool's commands do to the files they write: an output that is not a
// plain file or is one of the inputs is refused and left alone, a link is written through,
// a failing command leaves no output and the old file at the target as it was, preview
// removes nothing it did not write, and a second signal does not cut the clean-up short.
#include "CliRun.h"
#include "PrivateMounts.h"

#include "effect/IndexedHeader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

mode_t fileType(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT
                                                                       : 0;
}

// Hidden names too: that is where staged files would be left.
QStringList listing(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                               | QDir::NoDotAndDotDot);
}

} // namespace

class TestCliOutputs : public QObject
{
    Q_OBJECT
public:
    explicit TestCliOutputs(bool isolated) : isolated(isolated) {}

private:
    const bool isolated;
    QTemporaryDir dir;
    QStringList mounted;
    qint64 previewBytes = 0;

    QString file(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        QVERIFY(picture.save(file(QStringLiteral("a.png"))));
        picture.fill(Qt::blue);
        QVERIFY(picture.save(file(QStringLiteral("b.png"))));
        // Two pictures of half a second: ten frames at 10 fps.
        QCOMPARE(CliRun::of({"build", "-o", file("show.bin"), "--leds", "8", "--lines", "24",
                             "--time", "0.5", file("a.png"), file("b.png")})
                     .exitCode,
                 0);
        const QByteArray show = bytesOf(file("show.bin"));
        QVERIFY(writeBytes(file("cut.bin"), show.left(show.size() - 10)));
        // One picture of 255 x 255 tenths: 108 minutes, 390,150 frames at 60 fps.
        IndexedHeader header;
        header.recordCount = 1;
        header.segments = {{1, 1, 255, 255}};
        QVERIFY(writeBytes(file("long.bin"),
                           header.toBytes() + show.mid(4096, (show.size() - 4096) / 2)));
        // What the previews of show.bin take.
        QCOMPARE(CliRun::of({"preview", file("show.bin"), "--leds", "8", "--lines", "24", "-o",
                             file("plenty")})
                     .exitCode,
                 0);
        for (const QFileInfo &info : QDir(file("plenty")).entryInfoList(QDir::Files))
            previewBytes += info.size();
        QVERIFY(previewBytes > 0);
    }

    void cleanup()
    {
        for (const QString &path : std::as_const(mounted))
            PrivateMounts::unmount(path);
        mounted.clear();
    }

    void outputsAreRefusedOrWrittenThrough_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason"); // empty: written
        const QList<QPair<QString, QString>> kinds{
            {"directory", "it is a directory"},
            {"FIFO", "it is a FIFO"},
            {"device", "it is a character device"},
            {"the input itself", "it is the input"},
            {"a hard link of the input", "it is the input"},
            {"a link to the input", "it is the input"},
            {"a link to another file", ""}};
        for (const QString command : {"convert", "build", "render"})
            for (const auto &[kind, reason] : kinds)
                QTest::addRow("%s onto %s", qPrintable(command), qPrintable(kind))
                    << command << kind << reason;
    }

    void outputsAreRefusedOrWrittenThrough()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir scratch;
        // Render's input under a video's name, so its check of the name passes.
        const bool render = command == QLatin1String("render");
        const QString input = scratch.filePath(render ? "in.mp4" : "in.png");
        QVERIFY(QFile::copy(file(render ? "show.bin" : "a.png"), input));
        const QByteArray inputBytes = bytesOf(input);
        QString out = scratch.filePath(QStringLiteral("out.mp4"));
        const QByteArray native = QFile::encodeName(out);
        const QString target = scratch.filePath(QStringLiteral("real/target.mp4"));
        mode_t type = S_IFLNK;
        if (kind == QLatin1String("directory")) {
            QVERIFY(QDir().mkdir(out));
            type = S_IFDIR;
        } else if (kind == QLatin1String("FIFO")) {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
            type = S_IFIFO;
        } else if (kind == QLatin1String("device")) {
            // A copy of /dev/null: only a privileged test may make one.
            if (::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("no privilege to make a device node");
            type = S_IFCHR;
        } else if (kind == QLatin1String("the input itself")) {
            out = input;
            type = S_IFREG;
        } else if (kind == QLatin1String("a hard link of the input")) {
            QCOMPARE(::link(QFile::encodeName(input).constData(), native.constData()), 0);
            type = S_IFREG;
        } else if (kind == QLatin1String("a link to the input")) {
            QVERIFY(QFile::link(input, out));
        } else {
            QVERIFY(QDir().mkdir(scratch.filePath(QStringLiteral("real"))));
            QVERIFY(writeBytes(target, "the old content"));
            QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0640), 0);
            // Relative, as links usually are: resolved from the link's folder.
            QCOMPARE(::symlink("real/target.mp4", native.constData()), 0);
        }
        const QStringList before = listing(scratch.path());

        QStringList arguments{"convert", input, "-o", out};
        if (render)
            arguments = QStringList{"render", input, "-o", out, "--size", "32"};
        else if (command == QLatin1String("build"))
            arguments = QStringList{"build", "-o", out, input};
        const CliRun run = CliRun::of(arguments + QStringList{"--leds", "8", "--lines", "24"});
        QCOMPARE(fileType(out), type);
        QCOMPARE(bytesOf(input), inputBytes);
        QCOMPARE(listing(scratch.path()), before);
        if (!reason.isEmpty()) {
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(reason) && run.err.count(u'\n') == 1, qPrintable(run.err));
            return;
        }
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(QFileInfo(out).symLinkTarget(), target);
        QVERIFY(bytesOf(target).size() > 100);
        QCOMPARE(listing(scratch.filePath(QStringLiteral("real"))),
                 QStringList{QStringLiteral("target.mp4")});
        struct stat status;
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(0640));
    }

    void failingCommandLeavesTheFolderAsItWas_data()
    {
        QTest::addColumn<QStringList>("arguments"); // @name: in the scratch folder
        QTest::addColumn<QString>("place");          // "", "small disk" or "read-only"
        QTest::addColumn<qint64>("room");            // bytes left free on the small disk
        QTest::addColumn<QString>("reason");
        const QStringList render{"render", "--leds", "8", "--lines", "24", "-o", "@place/old.mp4"};
        const QStringList convert{"convert", "@a.png", "-o", "@a.buf", "--preview"};
        QTest::newRow("render longer than --max-frames")
            << render + QStringList{"@show.bin", "--max-frames", "9"} << "" << qint64(-1)
            << "10 frames at 10 fps: more than the 9 allowed";
        QTest::newRow("render longer than the default limit")
            << render + QStringList{"@long.bin", "--fps", "60"} << "" << qint64(-1)
            << "390150 frames at 60 fps: more than the 100000 allowed";
        QTest::newRow("render more than the disk holds")
            << render + QStringList{"@long.bin", "--fps", "60", "--max-frames", "400000"}
            << "small disk" << qint64(-1) << "MB are free";
        QTest::newRow("render of a damaged file") << render + QStringList{"@cut.bin"} << ""
                                                  << qint64(-1) << "damaged or of another geometry";
        QTest::newRow("convert, preview in a read-only folder")
            << convert + QStringList{"@place/p.png"} << "read-only" << qint64(-1) << "p.png";
        QTest::newRow("convert, preview in a missing folder")
            << convert + QStringList{"@missing/p.png"} << "" << qint64(-1)
            << "the directory does not exist";
        QTest::newRow("convert, preview onto the LED data")
            << convert + QStringList{"@a.buf"} << "" << qint64(-1) << "name the same file";
        QTest::newRow("convert, preview onto the input")
            << convert + QStringList{"@a.png"} << "" << qint64(-1) << "it is the input";
        QTest::newRow("preview onto a disk that fills part-way")
            << QStringList{"preview", "@show.bin", "--leds", "8", "--lines", "24", "-o", "@place"}
            << "small disk" << previewBytes / 2 << "cannot write";
    }

    void failingCommandLeavesTheFolderAsItWas()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, place);
        QFETCH(qint64, room);
        QFETCH(QString, reason);
        QTemporaryDir scratch;
        for (const char *name : {"a.png", "show.bin", "long.bin", "cut.bin"})
            QVERIFY(QFile::copy(file(name), scratch.filePath(name)));
        const QString folder = scratch.filePath(QStringLiteral("place"));
        QVERIFY(QDir().mkdir(folder));
        if (!place.isEmpty() && !isolated)
            QSKIP("no private mounts here");
        if (place == QLatin1String("small disk")) {
            QVERIFY(PrivateMounts::mountTmpfs(folder, QStringLiteral("small"), "size=4m"));
            mounted << folder;
        }
        // The user's files, among them one of the names preview writes.
        const QList<QPair<QString, QByteArray>> own{{"old.mp4", "an earlier video"},
                                                    {"picture_01.png", "the user's picture"}};
        for (const auto &[name, bytes] : own)
            QVERIFY(writeBytes(QDir(folder).filePath(name), bytes));
        if (room >= 0) {
            const qint64 free = QStorageInfo(folder).bytesAvailable();
            QVERIFY(writeBytes(QDir(folder).filePath("filler"), QByteArray(free - room, 'f')));
        }
        if (place == QLatin1String("read-only")) {
            QVERIFY(PrivateMounts::makeReadOnly(folder));
            mounted << folder;
        }
        const QStringList before = listing(scratch.path());
        const QStringList placeBefore = listing(folder);

        QStringList resolved;
        for (const QString &argument : std::as_const(arguments))
            resolved << (argument.startsWith(u'@') ? scratch.filePath(argument.mid(1)) : argument);
        const CliRun run = CliRun::of(resolved);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(reason) && run.err.count(u'\n') == 1, qPrintable(run.err));
        QCOMPARE(listing(scratch.path()), before);
        QCOMPARE(listing(folder), placeBefore);
        for (const auto &[name, bytes] : own)
            QCOMPARE(bytesOf(QDir(folder).filePath(name)), bytes);
    }

    void previewReplacesOnlyItsOwnNames()
    {
        QTemporaryDir out;
        QVERIFY(writeBytes(out.filePath("picture_01.png"), "the user's picture"));
        QVERIFY(writeBytes(out.filePath("notes.txt"), "the user's notes"));
        const CliRun run = CliRun::of({"preview", file("show.bin"), "--leds", "8", "--lines",
                                       "24", "-o", out.path()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(bytesOf(out.filePath("notes.txt")), QByteArray("the user's notes"));
        QCOMPARE(bytesOf(out.filePath("picture_01.png")),
                 bytesOf(file("plenty/picture_01.png")));
        QCOMPARE(listing(out.path()),
                 (QStringList{"notes.txt", "picture_01.png", "picture_02.png"}));
    }

    void furtherSignalsDoNotCutTheCleanUp_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void furtherSignalsDoNotCutTheCleanUp()
    {
        QFETCH(int, signalNumber);
        QTemporaryDir scratch;
        const QString temp = scratch.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkdir(temp));
        // Long enough to be interrupted: hundreds of large pictures.
        QImage big(1600, 1600, QImage::Format_RGB32);
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                big.setPixel(x, y, qRgb(x * 7, y * 13, x ^ y));
        const QString picture = scratch.filePath(QStringLiteral("big.png"));
        QVERIFY(big.save(picture));
        QStringList arguments{"build", "-o", scratch.filePath(QStringLiteral("out.bin"))};
        for (int i = 0; i < 400; ++i)
            arguments << picture;

        QProcess build;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temp);
        build.setProcessEnvironment(environment);
        build.start(QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli"),
                    arguments);
        QVERIFY(build.waitForStarted());
        // The work directory stands: the command is under way.
        QTRY_VERIFY_WITH_TIMEOUT(!listing(temp).isEmpty(), 30000);
        // Signals without pause until the process is gone: some arrive while it cleans up.
        int sent = 0;
        // Three at a time: a clean-up quicker than one wait still meets the later ones.
        const pid_t pid = pid_t(build.processId());
        while (build.state() != QProcess::NotRunning && sent < 100000) {
            for (int burst = 0; burst < 3; ++burst, ++sent)
                ::kill(pid, signalNumber);
            build.waitForFinished(5);
        }
        QVERIFY(build.state() == QProcess::NotRunning || build.waitForFinished(30000));
        QVERIFY(sent > 1);
        QCOMPARE(build.exitStatus(), QProcess::NormalExit);
        QCOMPARE(build.exitCode(), 128 + signalNumber);
        QCOMPARE(listing(temp), QStringList());
        QCOMPARE(listing(scratch.path()), (QStringList{"big.png", "tmp"}));
    }
};

int main(int argc, char **argv)
{
    // Small disks and read-only folders are mounts in the test's own mount namespace,
    // which the commands it starts share.
    const bool isolated = PrivateMounts::enterNamespace();
    QCoreApplication app(argc, argv);
    TestCliOutputs test(isolated);
    return QTest::qExec(&test, argc, argv);
}

#include "test_cli_outputs.moc"
