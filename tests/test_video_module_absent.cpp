// The programs start and run without the video module: pictures, GIFs and effect files give
// the same bytes as with it, videos are refused saying why, and nothing of OpenCV is loaded
// before a video is opened.
#include "PictureFixtures.h"
#include "VideoFixtures.h"

#include "import/VideoFile.h"
#include "import/VideoFileSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestVideoModuleAbsent : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString picture;
    QString video;

    // hologram-cli with HD_VIDEO_MODULE set to module (none when empty); stderr, or "exit N"
    // after it when the tool failed.
    static QString cli(const QStringList &arguments, const QString &module,
                       const QString &variable = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("HD_VIDEO_MODULE"));
        if (!module.isEmpty())
            env.insert(QStringLiteral("HD_VIDEO_MODULE"), module);
        if (!variable.isEmpty())
            env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli"),
                      arguments);
        const bool ended = process.waitForFinished(60000);
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        const bool ok = ended && process.exitStatus() == QProcess::NormalExit
                        && process.exitCode() == 0;
        return ok ? err : err + QStringLiteral("exit %1").arg(process.exitCode());
    }

    QByteArray contents(const QString &name) const
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        picture = PictureFixtures::writeSolid(dir.path(), QStringLiteral("p.jpg"), 300, 200, "JPEG");
        video = VideoFixtures::write(dir.path(), QStringLiteral("clip.avi"),
                                     VideoFixtures::Codec::Mjpeg, 10.0, 12);
        QVERIFY(!video.isEmpty());
        // In this process too the module is missing from the first use on.
        qputenv("HD_VIDEO_MODULE", QFile::encodeName(dir.filePath(QStringLiteral("none.so"))));
    }

    // Each way the module can be unusable: the same LED data and effect file as with it for
    // pictures and GIFs; videos, read or written, refused with the module named.
    void everythingButVideos_data()
    {
        QTest::addColumn<QString>("module");
        QFile text(dir.filePath(QStringLiteral("text.so")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a library\n") > 0);
        QTest::newRow("missing") << dir.filePath(QStringLiteral("missing/hd_video_opencv"));
        QTest::newRow("not a library") << text.fileName();
        QTest::newRow("a library without the entry") << QStringLiteral("libz.so.1");
    }

    void everythingButVideos()
    {
        QFETCH(QString, module);
        const QString gif = QDir(qEnvironmentVariable("HD_TEST_DATA"))
                                .filePath(QStringLiteral("effect_3frames_600x300.gif"));
        const auto out = [this](const char *name) { return dir.filePath(QLatin1String(name)); };
        for (const QString &with : {QString(), module}) {
            const QString suffix = with.isEmpty() ? QStringLiteral("with") : QStringLiteral("without");
            QCOMPARE(cli({"convert", picture, "-o", out("c.buf") + suffix}, with), QString());
            QCOMPARE(cli({"build", picture, gif, "-o", out("b.bin") + suffix}, with), QString());
        }
        QCOMPARE(contents("c.bufwithout"), contents("c.bufwith"));
        QCOMPARE(contents("b.binwithout"), contents("b.binwith"));

        const QString built = cli({"build", picture, video, "-o", out("video.bin")}, module);
        QVERIFY2(built.contains("video module") && built.endsWith("exit 1"), qPrintable(built));
        QVERIFY(!QFile::exists(out("video.bin")));
    }

    // Starting the tool loads nothing of OpenCV: the video stack comes only with a video.
    void startLoadsNoVideoStack()
    {
        const QString trace = cli({"--help"}, {}, QStringLiteral("LD_DEBUG=files"));
        QVERIFY(trace.contains("libQt6Core") && !trace.contains("exit"));
        QVERIFY2(!trace.contains("libopencv"), "OpenCV loaded at start");
    }

    // In the program's own process: a video neither opens nor is written, each saying why.
    void videosRefusedInProcess()
    {
        VideoFile file;
        QVERIFY(!file.open(video));
        QVERIFY2(file.errorString().contains("video module"), qPrintable(file.errorString()));
        QVERIFY(!file.isOpen() && file.read().isNull());
        VideoFileSink sink;
        QVERIFY(!sink.open(dir.filePath(QStringLiteral("out.avi")), 450, 10));
        QVERIFY(sink.error().contains("video module"));
        QCOMPARE(VideoFileSink::framesIn(video), qint64(-1));
    }
};

QTEST_GUILESS_MAIN(TestVideoModuleAbsent)
#include "test_video_module_absent.moc"
