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

// Staged or kept-aside files the commands name with a leading dot.
QStringList hiddenIn(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral(".*")},
                               QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
}

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

    QString file(const QString &name) const { return dir.filePath(name); }

    // The arguments of one command writing `out`, reading `input`.
    static QStringList commandLine(const QString &command, const QString &input,
                                   const QString &out)
    {
        if (command == QLatin1String("render"))
            return {"render", input, "-o", out, "--leds", "8", "--lines", "24", "--size", "32"};
        if (command == QLatin1String("build"))
            return {"build", "-o", out, "--leds", "8", "--lines", "24", input};
        return {"convert", input, "-o", out, "--leds", "8", "--lines", "24"};
    }

    // The input a command reads: a picture, or for render an effect file.
    QString inputFor(const QString &command) const
    {
        return file(command == QLatin1String("render") ? QStringLiteral("show.bin")
                                                       : QStringLiteral("a.png"));
    }

    bool mountSmallDisk(const QString &path, const char *options)
    {
        if (!QDir().mkpath(path) || !PrivateMounts::mountTmpfs(path, QStringLiteral("small"),
                                                               options))
            return false;
        mounted << path;
        return true;
    }

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
        const CliRun build = CliRun::of({"build", "-o", file("show.bin"), "--leds", "8",
                                         "--lines", "24", "--time", "0.5", file("a.png"),
                                         file("b.png")});
        QCOMPARE(build.exitCode, 0);
        // One picture of 255 x 255 tenths: 108 minutes, 390,150 frames at 60 fps.
        const QByteArray show = bytesOf(file("show.bin"));
        IndexedHeader header;
        header.recordCount = 1;
        header.segments = {{1, 1, 255, 255}};
        QVERIFY(writeBytes(file("long.bin"),
                           header.toBytes()
                               + show.mid(4096, (show.size() - 4096) / 2)));
        const CliRun inspect = CliRun::of({"inspect", file("long.bin"), "--leds", "8",
                                           "--lines", "24"});
        QVERIFY2(inspect.out.contains(QStringLiteral("records 1-1 picture, 255 x 255")),
                 qPrintable(inspect.out + inspect.err));
    }

    void cleanup()
    {
        for (const QString &path : std::as_const(mounted))
            PrivateMounts::unmount(path);
        mounted.clear();
    }

    void outputThatIsNoPlainFileOrAnInputIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QList<QPair<QString, QString>> kinds{
            {"directory", "it is a directory"},
            {"FIFO", "it is a FIFO"},
            {"device", "it is a character device"},
            {"the input itself", "it is the input"},
            {"a hard link of the input", "it is the input"},
            {"a link to the input", "it is the input"}};
        for (const QString command : {"convert", "build", "render"})
            for (const auto &[kind, reason] : kinds)
                QTest::addRow("%s onto %s", qPrintable(command), qPrintable(kind))
                    << command << kind << reason;
    }

    void outputThatIsNoPlainFileOrAnInputIsRefused()
    {
        QFETCH(QString, command);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir scratch;
        // The input under a video's name, so render's own check of the name passes.
        const QString input = scratch.filePath(command == QLatin1String("render")
                                                   ? QStringLiteral("in.mp4")
                                                   : QStringLiteral("in.png"));
        QVERIFY(QFile::copy(inputFor(command), input));
        const QByteArray inputBytes = bytesOf(input);
        QString out = scratch.filePath(QStringLiteral("out.mp4"));
        const QByteArray native = QFile::encodeName(out);
        mode_t type = S_IFREG;
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
        } else if (kind == QLatin1String("a hard link of the input")) {
            QCOMPARE(::link(QFile::encodeName(input).constData(), native.constData()), 0);
        } else {
            QVERIFY(QFile::link(input, out));
            type = S_IFLNK;
        }

        const CliRun run = CliRun::of(commandLine(command, input, out));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(reason) && run.err.count(u'\n') == 1, qPrintable(run.err));
        QCOMPARE(fileType(out), type);
        QCOMPARE(bytesOf(input), inputBytes);
        QCOMPARE(hiddenIn(scratch.path()), QStringList());
    }

    void linkedOutputIsWrittenThrough_data()
    {
        QTest::addColumn<QString>("command");
        for (const QString command : {"convert", "build", "render"})
            QTest::newRow(qPrintable(command)) << command;
    }

    void linkedOutputIsWrittenThrough()
    {
        QFETCH(QString, command);
        QTemporaryDir scratch;
        QVERIFY(QDir(scratch.path()).mkdir(QStringLiteral("real")));
        const QString target = scratch.filePath(QStringLiteral("real/target.mp4"));
        QVERIFY(writeBytes(target, "the old content"));
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner
                                                  | QFile::ReadGroup));
        const QString link = scratch.filePath(QStringLiteral("link.mp4"));
        // Relative, as links usually are: resolved from the link's folder.
        QCOMPARE(::symlink("real/target.mp4", QFile::encodeName(link).constData()), 0);

        const CliRun run = CliRun::of(commandLine(command, inputFor(command), link));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(fileType(link), mode_t(S_IFLNK));
        QCOMPARE(QFileInfo(link).symLinkTarget(), target);
        const QByteArray written = bytesOf(target);
        QVERIFY(written.size() > 100);
        QVERIFY(written != "the old content");
        QCOMPARE(QFile::permissions(target),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                     | QFile::ReadGroup);
        QCOMPARE(hiddenIn(scratch.path()), QStringList());
        QCOMPARE(hiddenIn(scratch.filePath(QStringLiteral("real"))), QStringList());
    }

    void failedRenderKeepsTheOldVideo_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("smallDisk");
        QTest::addColumn<QString>("reason");
        QTest::newRow("longer than --max-frames")
            << "show.bin" << QStringList{"--max-frames", "9"} << false
            << "10 frames at 10 fps: more than the 9 allowed";
        QTest::newRow("longer than the default limit")
            << "long.bin" << QStringList{"--fps", "60"} << false
            << "390150 frames at 60 fps: more than the 100000 allowed";
        QTest::newRow("more than the disk holds")
            << "long.bin" << QStringList{"--fps", "60", "--max-frames", "400000", "--size", "450"}
            << true << "MB are free";
        QTest::newRow("damaged effect file") << "cut.bin" << QStringList{} << false
                                             << "damaged or of another geometry";
    }

    void failedRenderKeepsTheOldVideo()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, options);
        QFETCH(bool, smallDisk);
        QFETCH(QString, reason);
        const QByteArray show = bytesOf(file("show.bin"));
        QVERIFY(writeBytes(file("cut.bin"), show.left(show.size() - 10)));
        QString videos = file(QStringLiteral("videos"));
        QVERIFY(QDir().mkpath(videos));
        if (smallDisk) {
            if (!isolated)
                QSKIP("no private mounts here");
            videos = file(QStringLiteral("small"));
            QVERIFY(mountSmallDisk(videos, "size=4m"));
        }
        const QString out = QDir(videos).filePath(QStringLiteral("show.mp4"));
        QVERIFY(writeBytes(out, "an earlier video"));

        const CliRun run = CliRun::of(QStringList{"render", file(input), "-o", out, "--leds", "8",
                                                  "--lines", "24"}
                                      + options);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(reason) && run.err.count(u'\n') == 1, qPrintable(run.err));
        QCOMPARE(bytesOf(out), QByteArray("an earlier video"));
        QCOMPARE(listing(videos), QStringList{QStringLiteral("show.mp4")});
    }

    void failingConvertLeavesNoOutput_data()
    {
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QString>("reason");
        QTest::newRow("preview in a read-only folder") << "readonly/p.png" << "p.png";
        QTest::newRow("preview in a missing folder") << "missing/p.png"
                                                     << "the directory does not exist";
        QTest::newRow("preview onto the LED data") << "a.buf" << "name the same file";
        QTest::newRow("preview onto the input") << "in.png" << "it is the input";
    }

    void failingConvertLeavesNoOutput()
    {
        QFETCH(QString, preview);
        QFETCH(QString, reason);
        QTemporaryDir scratch;
        QVERIFY(QFile::copy(file("a.png"), scratch.filePath("in.png")));
        const QString readOnly = scratch.filePath(QStringLiteral("readonly"));
        QVERIFY(QDir().mkdir(readOnly));
        if (preview.startsWith(QLatin1String("readonly"))) {
            if (!isolated)
                QSKIP("no private mounts here");
            QVERIFY(PrivateMounts::makeReadOnly(readOnly));
            mounted << readOnly;
        }
        const QStringList before = listing(scratch.path());
        const CliRun run = CliRun::of({"convert", scratch.filePath("in.png"), "-o",
                                       scratch.filePath("a.buf"), "--preview",
                                       scratch.filePath(preview)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(reason) && run.err.count(u'\n') == 1, qPrintable(run.err));
        QCOMPARE(listing(scratch.path()), before);
        QCOMPARE(listing(readOnly), QStringList());
    }

    void previewRemovesNothingItDidNotWrite_data()
    {
        QTest::addColumn<bool>("diskFills");
        QTest::newRow("room for all") << false;
        QTest::newRow("the disk fills part-way") << true;
    }

    void previewRemovesNothingItDidNotWrite()
    {
        QFETCH(bool, diskFills);
        // What the previews take, from a run into a folder of plenty.
        QTemporaryDir plenty;
        const QStringList arguments{"preview", file("show.bin"), "--leds", "8", "--lines", "24",
                                    "-o"};
        QCOMPARE(CliRun::of(arguments + QStringList{plenty.path()}).exitCode, 0);
        qint64 previewBytes = 0;
        for (const QFileInfo &info : QDir(plenty.path()).entryInfoList(QDir::Files))
            previewBytes += info.size();
        QCOMPARE(QDir(plenty.path()).entryList(QDir::Files),
                 (QStringList{"picture_01.png", "picture_02.png"}));

        QString out = file(QStringLiteral("previews"));
        QVERIFY(QDir().mkpath(out));
        if (diskFills) {
            if (!isolated)
                QSKIP("no private mounts here");
            out = file(QStringLiteral("smallpreviews"));
            QVERIFY(mountSmallDisk(out, "size=1m"));
        }
        QVERIFY(writeBytes(QDir(out).filePath("picture_01.png"), "the user's own picture"));
        QVERIFY(writeBytes(QDir(out).filePath("notes.txt"), "the user's notes"));
        if (diskFills) {
            // Room for about half of the previews.
            const qint64 free = QStorageInfo(out).bytesAvailable();
            QVERIFY(writeBytes(QDir(out).filePath("filler"),
                               QByteArray(free - previewBytes / 2 - 4096, 'f')));
        }
        const QStringList before = listing(out);

        const CliRun run = CliRun::of(arguments + QStringList{out});
        QCOMPARE(bytesOf(QDir(out).filePath("notes.txt")), QByteArray("the user's notes"));
        if (diskFills) {
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(bytesOf(QDir(out).filePath("picture_01.png")),
                     QByteArray("the user's own picture"));
            QCOMPARE(listing(out), before);
        } else {
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            QVERIFY(!QImage(QDir(out).filePath("picture_01.png")).isNull());
            QVERIFY(!QImage(QDir(out).filePath("picture_02.png")).isNull());
            QCOMPARE(listing(out),
                     (QStringList{"notes.txt", "picture_01.png", "picture_02.png"}));
        }
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
        const QString out = scratch.filePath(QStringLiteral("out.bin"));
        QStringList arguments{"build", "-o", out};
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
        while (build.state() != QProcess::NotRunning && sent < 100000) {
            ::kill(pid_t(build.processId()), signalNumber);
            ++sent;
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
