// The programs start and run without the video module: pictures, GIFs and effect files give
// the same bytes as with it, videos are refused saying why, and nothing of OpenCV is loaded
// before a video is opened.
#include "VideoFixtures.h"

#include "import/VideoFile.h"
#include "import/VideoFileSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestVideoModuleAbsent : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString picture;
    QString gif;
    QString video;

    struct Run
    {
        int exitCode = -1;
        QString err;
    };

    // hologram-cli with HD_VIDEO_MODULE set to module (unset when empty) and extra variables.
    static Run cli(const QStringList &arguments, const QString &module,
                   const QStringList &environment = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("HD_VIDEO_MODULE"));
        if (!module.isEmpty())
            env.insert(QStringLiteral("HD_VIDEO_MODULE"), module);
        for (const QString &pair : environment)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli"),
                      arguments);
        Run run;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QImage image(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
        picture = dir.filePath(QStringLiteral("picture.jpg"));
        QVERIFY(image.save(picture, "JPEG", 90));
        gif = QDir(qEnvironmentVariable("HD_TEST_DATA"))
                  .filePath(QStringLiteral("effect_3frames_600x300.gif"));
        QVERIFY(QFile::exists(gif));
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
        const QString notLibrary = dir.filePath(QStringLiteral("text.so"));
        QFile text(notLibrary);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a library\n") > 0);
        text.close();
        QTest::newRow("missing") << dir.filePath(QStringLiteral("missing/hd_video_opencv"));
        QTest::newRow("not a library") << notLibrary;
        // A real library, but not the program's module: it lacks the entry.
        QTest::newRow("another library") << QStringLiteral("libz.so.1");
    }

    void everythingButVideos()
    {
        QFETCH(QString, module);
        const auto out = [this](const QString &name) { return dir.filePath(name); };
        const QStringList convert{QStringLiteral("convert"), picture, QStringLiteral("-o")};
        QCOMPARE(cli(convert + QStringList{out(QStringLiteral("with.buf"))}, {}).exitCode, 0);
        const Run converted = cli(convert + QStringList{out(QStringLiteral("without.buf"))},
                                  module);
        QCOMPARE(converted.err, QString());
        QCOMPARE(converted.exitCode, 0);
        QCOMPARE(contents(out(QStringLiteral("without.buf"))),
                 contents(out(QStringLiteral("with.buf"))));

        const QStringList build{QStringLiteral("build"), picture, gif, QStringLiteral("-o")};
        QCOMPARE(cli(build + QStringList{out(QStringLiteral("with.bin"))}, {}).exitCode, 0);
        const Run built = cli(build + QStringList{out(QStringLiteral("without.bin"))}, module);
        QCOMPARE(built.exitCode, 0);
        QCOMPARE(contents(out(QStringLiteral("without.bin"))),
                 contents(out(QStringLiteral("with.bin"))));

        const Run withVideo = cli({QStringLiteral("build"), picture, video, QStringLiteral("-o"),
                                   out(QStringLiteral("video.bin"))},
                                  module);
        QVERIFY(withVideo.exitCode != 0);
        QVERIFY2(withVideo.err.contains(QStringLiteral("video module")), qPrintable(withVideo.err));
        QVERIFY(!QFile::exists(out(QStringLiteral("video.bin"))));

        const Run render = cli({QStringLiteral("render"), out(QStringLiteral("with.bin")),
                                QStringLiteral("-o"), out(QStringLiteral("show.mp4"))},
                               module);
        QVERIFY(render.exitCode != 0);
        QVERIFY2(render.err.contains(QStringLiteral("video module")), qPrintable(render.err));
        QVERIFY(!QFile::exists(out(QStringLiteral("show.mp4"))));
    }

    // Starting the tool loads nothing of OpenCV: the video stack comes only with a video.
    void startLoadsNoVideoStack()
    {
        const Run help = cli({QStringLiteral("--help")}, {}, {QStringLiteral("LD_DEBUG=files")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.err.contains(QStringLiteral("libQt6Core")));
        QVERIFY2(!help.err.contains(QStringLiteral("libopencv")), "OpenCV loaded at start");
    }

    // In the program's own process: a video neither opens nor is written, each saying why.
    void videosRefusedInProcess()
    {
        VideoFile file;
        QVERIFY(!file.open(video));
        QVERIFY2(file.errorString().contains(QStringLiteral("video module")),
                 qPrintable(file.errorString()));
        QVERIFY(!file.isOpen());
        QVERIFY(file.read().isNull());
        VideoFileSink sink;
        QVERIFY(!sink.open(dir.filePath(QStringLiteral("out.avi")), 450, 10));
        QVERIFY(sink.error().contains(QStringLiteral("video module")));
        QCOMPARE(VideoFileSink::framesIn(video), qint64(-1));
    }
};

QTEST_GUILESS_MAIN(TestVideoModuleAbsent)
#include "test_video_module_absent.moc"
