// Conversion of pictures into LED data: bytes, geometry, bad input, item files.
#include "app/AppGlobals.h"
#include "app/DirectoryUtil.h"
#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"
#include "model/TestColorUtil.h"
#include "model/TestValue.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>
#include <vector>

namespace {
QImage filled(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage noise(int w, int h, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = 0xff000000u | random.bounded(0x1000000u);
    }
    return image;
}

// Inverse of the bit-plane coding: the line's colour bytes with bits 1 and 0 cleared.
QByteArray decodeLine(const QByteArray &block, int leds)
{
    const int count = leds * 3;
    QByteArray bytes(count, '\0');
    for (int j = 0; j < 6 * count && j / 8 < block.size(); ++j) {
        const int plane = 7 - j / count;
        const int b = j % count;
        if ((uchar(block[j / 8]) >> (7 - j % 8)) & 1)
            bytes[b] = char(uchar(bytes[b]) | (1 << plane));
    }
    return bytes;
}

// The coded triple of a picture colour, as the decoder returns it.
QByteArray codedTriple(QRgb colour)
{
    const TestColorUtil *table = TestColorUtil::getInstance();
    QByteArray triple;
    triple.append(char(table->getTestBValue(qBlue(colour)) & 0xfc));
    triple.append(char(table->getTestGValue(qGreen(colour)) & 0xfc));
    triple.append(char(table->getTestRValue(qRed(colour)) & 0xfc));
    return triple;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (char c : data) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header claims width x height while holding a tiny picture.
QByteArray pngClaiming(int width, int height)
{
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        filled(4, 4, Qt::red).save(&buffer, "PNG");
    }
    const auto put32 = [&png](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = char(v >> (24 - 8 * i));
    };
    put32(16, quint32(width));
    put32(20, quint32(height));
    put32(29, crc32(png.mid(12, 17)));
    return png;
}
} // namespace

class TestModelConversion : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void ledDataLengths_data();
    void ledDataLengths();
    void whitePictureBytes();
    void blackPictureIsZero();
    void lineBlockForOddLedCount();
    void centredSquareOfWidePicture();
    void cutFrameKeepsTheRegionOnBlack_data();
    void cutFrameKeepsTheRegionOnBlack();
    void sampledSquareOwnsItsPixels_data();
    void sampledSquareOwnsItsPixels();
    void squareRects_data();
    void squareRects();
    void rimAndHubSamples();
    void lineOrientationWithFourLines();
    void singleLedSamplesHub();
    void previewShowsUncorrectedColours();
    void previewLeavesBytesAlone_data();
    void previewLeavesBytesAlone();
    void editedColourRowReachesTheBytes();
    void codeLineMatchesBitStream_data();
    void codeLineMatchesBitStream();
    void badInputGivesBlackData_data();
    void badInputGivesBlackData();
    void stopFlagCutsShort();
    void lineTakenFromTheQueueIsNotAwaited();
    void conversionsInParallel_data();
    void conversionsInParallel();
    void itemsFromOneFileGetOwnFiles();
    void destructionRemovesFiles_data();
    void destructionRemovesFiles();
    void clipDestructionRemovesFrameFiles();
    void readLedDataFromFile();
    void clearDirectoryKeepsHiddenFile();

private:
    QTemporaryDir *tempDir = nullptr;
};

void TestModelConversion::init()
{
    tempDir = new QTemporaryDir;
    QVERIFY(tempDir->isValid());
    initAppGlobals(tempDir->path());
}

void TestModelConversion::cleanup()
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;
    delete tempDir;
    tempDir = nullptr;
}

void TestModelConversion::ledDataLengths_data()
{
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("zeros");
    QTest::newRow("112 x 430") << 112 << 430 << 110592 << 2232;
    QTest::newRow("36 x 360") << 36 << 360 << 32768 << 3608;
    // 4096 coded bytes: a whole block of padding more, never none.
    QTest::newRow("64 x 256, coded length a whole number of blocks") << 64 << 256 << 40960 << 4096;
}

void TestModelConversion::ledDataLengths()
{
    QFETCH(int, leds);
    QFETCH(int, lines);
    QFETCH(int, length);
    QFETCH(int, zeros);
    ledCount = leds;
    lineNumber = lines;
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(filled(450, 450, Qt::white), &item);
    const QByteArray data = item.readLedData();
    QCOMPARE(data.size(), length);
    QCOMPARE(DataBitCalculation::ledDataLength(leds, lines), qint64(length));
    QVERIFY(item.ledData.isEmpty()); // moved into the ".buf"
    QCOMPARE(data.right(zeros), QByteArray(zeros, '\0'));
    QVERIFY(data.at(length - zeros - 1) != '\0');
}

void TestModelConversion::whitePictureBytes()
{
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(filled(450, 450, Qt::white), &item);
    const QByteArray data = item.readLedData();
    QByteArray block = QByteArray(84, char(0xff));
    for (int i = 0; i < 14; ++i)
        block.append("\xb6\xdb\x6d", 3);
    block.append(QByteArray(126, char(0xff)));
    QCOMPARE(DataBitCalculation::lineBlockSize(112), 252);
    for (int line = 0; line < 430; ++line)
        QCOMPARE(data.mid(line * 252, 252), block);
}

void TestModelConversion::blackPictureIsZero()
{
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(filled(450, 450, Qt::black), &item);
    QCOMPARE(item.readLedData(), QByteArray(110592, '\0'));
}

void TestModelConversion::lineBlockForOddLedCount()
{
    // 35 LEDs: 630 bits a line, 78 whole bytes, the last 6 bits dropped.
    ledCount = 35;
    lineNumber = 10;
    QCOMPARE(DataBitCalculation::lineBlockSize(35), 78);
    const QByteArray triples = QByteArray(35 * 3, char(0xff));
    QCOMPARE(DataBitCalculation::codeLine(triples), QByteArray(78, char(0xff)));
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    const QImage picture = noise(300, 300, 7);
    convertPicture(picture, &item);
    const QByteArray data = item.readLedData();
    QCOMPARE(data.size(), 4096);
    // Every line starts on a fresh byte: line 3's block decodes on its own.
    const QByteArray line3 = decodeLine(data.mid(3 * 78, 78), 35);
    const QByteArray whole = decodeLine(DataBitCalculation::codeLine(line3), 35);
    QCOMPARE(whole, line3);
    QCOMPARE(data.mid(10 * 78), QByteArray(4096 - 780, '\0'));
}

void TestModelConversion::centredSquareOfWidePicture()
{
    // Outer 250 columns red, the centred square noise: same bytes as the square alone.
    QImage wide = filled(1000, 500, Qt::red);
    const QImage square = noise(500, 500, 11);
    {
        QPainter painter(&wide);
        painter.drawImage(250, 0, square);
    }
    ImageObject fromWide(1, QString(), 5.0, ImageObject::KindPictureFile);
    ImageObject fromSquare(2, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(wide, &fromWide);
    convertPicture(square, &fromSquare);
    QCOMPARE(fromWide.readLedData(), fromSquare.readLedData());
    QCOMPARE(RoundSquare::centredSquare(QSize(1000, 500)), QRect(250, 0, 500, 500));
    QCOMPARE(RoundSquare::sampledSquare(wide),
             wide.copy(250, 0, 500, 500).scaled(450, 450, Qt::KeepAspectRatio,
                                                Qt::FastTransformation));
}

void TestModelConversion::cutFrameKeepsTheRegionOnBlack_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("inside a large frame") << QSize(900, 700) << QPoint(300, 120);
    QTest::newRow("over the right and bottom edges") << QSize(600, 500) << QPoint(400, 300);
    QTest::newRow("over the left and top edges") << QSize(600, 500) << QPoint(-100, -40);
    QTest::newRow("centred on a small frame") << QSize(121, 80) << QPoint(-164, -185);
    QTest::newRow("wholly outside") << QSize(300, 300) << QPoint(300, 0);
}

void TestModelConversion::cutFrameKeepsTheRegionOnBlack()
{
    QFETCH(QSize, frame);
    QFETCH(QPoint, topLeft);
    QImage picture(frame, QImage::Format_RGB32);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x >> 8) * 16 + (y >> 8) + 1));
    const QImage square = RoundSquare::cutFrame(picture, topLeft);
    QCOMPARE(square.size(), QSize(450, 450));
    for (int y = 0; y < 450; y += 3)
        for (int x = 0; x < 450; x += 3) {
            const QPoint source = topLeft + QPoint(x, y);
            const QRgb expected = picture.rect().contains(source) ? picture.pixel(source)
                                                                  : qRgb(0, 0, 0);
            QCOMPARE(square.pixel(x, y), expected);
        }
}

void TestModelConversion::sampledSquareOwnsItsPixels_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("square already sampled size") << QSize(450, 450);
    QTest::newRow("wide, square already sampled size") << QSize(600, 450);
    QTest::newRow("square scaled") << QSize(500, 500);
}

void TestModelConversion::sampledSquareOwnsItsPixels()
{
    // The result is an image of its own: it stays the same when the picture changes or goes.
    QFETCH(QSize, size);
    QImage picture = filled(size.width(), size.height(), Qt::red);
    const QImage sampled = RoundSquare::sampledSquare(picture);
    picture.fill(Qt::blue);
    QCOMPARE(sampled.size(), QSize(450, 450));
    QCOMPARE(sampled.pixel(5, 5), qRgb(255, 0, 0));
}

void TestModelConversion::squareRects_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("300 x 200") << QSize(300, 200) << QRect(50, 0, 200, 200);
    QTest::newRow("200 x 300") << QSize(200, 300) << QRect(0, 50, 200, 200);
    QTest::newRow("odd 301 x 200") << QSize(301, 200) << QRect(50, 0, 200, 200);
    QTest::newRow("square") << QSize(450, 450) << QRect(0, 0, 450, 450);
}

void TestModelConversion::squareRects()
{
    QFETCH(QSize, size);
    QFETCH(QRect, expected);
    QCOMPARE(RoundSquare::centredSquare(size), expected);
    const QString path = workFilePath(QStringLiteral("square.png"));
    ensureWorkDirectory();
    QVERIFY(filled(size.width(), size.height(), Qt::blue).save(path));
    ImageObject item(0, path, 5.0, ImageObject::KindPictureFile);
    QCOMPARE(item.squareRect, expected);
}

void TestModelConversion::rimAndHubSamples()
{
    // Black picture with the rim point above the hub white and the hub yellow.
    QImage picture = filled(450, 450, Qt::black);
    picture.setPixel(225, 1, qRgb(255, 255, 255));
    picture.setPixel(225, 225, qRgb(255, 255, 0));
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(picture, &item);
    const QByteArray data = item.readLedData();
    for (int line = 0; line < 430; ++line) {
        const QByteArray triples = decodeLine(data.mid(line * 252, 252), 112);
        QCOMPARE(triples.right(3), codedTriple(qRgb(255, 255, 0)));
        const QRgb rim = line == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        QCOMPARE(triples.left(3), codedTriple(rim));
    }
}

void TestModelConversion::lineOrientationWithFourLines()
{
    // Quarters of the picture in four colours: up red, left blue, down green, right white.
    lineNumber = 4;
    QImage picture(450, 450, QImage::Format_RGB32);
    for (int y = 0; y < 450; ++y) {
        for (int x = 0; x < 450; ++x) {
            const int dx = x - 225, dy = y - 225;
            QRgb colour = qRgb(255, 255, 255);
            if (-dy > qAbs(dx))
                colour = qRgb(255, 0, 0);
            else if (-dx > qAbs(dy))
                colour = qRgb(0, 0, 255);
            else if (dy > qAbs(dx))
                colour = qRgb(0, 255, 0);
            picture.setPixel(x, y, colour);
        }
    }
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(picture, &item);
    const QByteArray data = item.readLedData();
    const QList<QRgb> expected{qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0),
                               qRgb(255, 255, 255)};
    for (int line = 0; line < 4; ++line) {
        const QByteArray triples = decodeLine(data.mid(line * 252, 252), 112);
        // All but the hub LED lie inside the line's quarter.
        for (int led = 0; led < 111; ++led)
            QCOMPARE(triples.mid(3 * led, 3), codedTriple(expected[line]));
    }
}

void TestModelConversion::singleLedSamplesHub()
{
    ledCount = 1;
    QImage picture = filled(450, 450, Qt::black);
    picture.setPixel(225, 225, qRgb(255, 255, 255));
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(picture, &item);
    const QByteArray data = item.readLedData();
    QCOMPARE(data.size(), 4096);
    QCOMPARE(DataBitCalculation::lineBlockSize(1), 2);
    // 18 bits a line, 16 kept: plane 2 survives for the blue byte only.
    QByteArray expected = codedTriple(qRgb(255, 255, 255));
    expected[1] = char(expected[1] & 0xf8);
    expected[2] = char(expected[2] & 0xf8);
    for (int line = 0; line < 430; ++line)
        QCOMPARE(decodeLine(data.mid(line * 2, 2), 1), expected);
    const QImage preview = item.loadSamplingPreview();
    QCOMPARE(preview.pixel(225, 225), qRgb(255, 255, 255));
    QCOMPARE(preview.pixel(225, 100), qRgb(0, 0, 0));
}

void TestModelConversion::previewShowsUncorrectedColours()
{
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(filled(450, 450, QColor(128, 128, 128)), &item);
    const QImage preview = item.loadSamplingPreview();
    QCOMPARE(preview.size(), QSize(450, 450));
    QCOMPARE(preview.pixel(225, 225), qRgb(128, 128, 128));
    QCOMPARE(preview.pixel(2, 2), qRgb(0, 0, 0));
}

void TestModelConversion::previewLeavesBytesAlone_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("lines");
    QTest::newRow("square, 112 LEDs x 430 lines") << noise(450, 450, 21) << 112 << 430;
    QTest::newRow("wide, 36 x 360") << noise(600, 450, 22) << 36 << 360;
    QTest::newRow("small, odd LED count, 35 x 10") << noise(120, 90, 23) << 35 << 10;
    QTest::newRow("tall, 500 x 600") << noise(300, 1000, 24) << 500 << 600;
    QTest::newRow("1 x 1") << noise(450, 450, 25) << 1 << 1;
    QTest::newRow("null picture") << QImage() << 112 << 430;
}

void TestModelConversion::previewLeavesBytesAlone()
{
    QFETCH(QImage, picture);
    QFETCH(int, leds);
    QFETCH(int, lines);
    ledCount = leds;
    lineNumber = lines;
    ImageObject drawn(1, QString(), 5.0, ImageObject::KindPictureFile);
    ImageObject skipped(2, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(picture, &drawn);
    convertPicture(picture, &skipped, nullptr, ReadImageThread::SamplingPreview::Skip);
    const QByteArray bytes = drawn.readLedData();
    QCOMPARE(bytes.size(), DataBitCalculation::ledDataLength(leds, lines));
    QCOMPARE(skipped.readLedData(), bytes);
    QVERIFY(QFile::exists(skipped.bufPath()));
    QVERIFY(QFile::exists(drawn.samplingPreviewPath()));
    QVERIFY(!QFile::exists(skipped.samplingPreviewPath()));
}

void TestModelConversion::editedColourRowReachesTheBytes()
{
    // Green of row 32 (values 249 to 255) raised: the next conversion codes the new value.
    TestColorUtil *table = TestColorUtil::getInstance();
    table->values.value(32)->green = 0x84;
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(filled(450, 450, Qt::white), &item, nullptr,
                   ReadImageThread::SamplingPreview::Skip);
    const QByteArray triples = decodeLine(item.readLedData().left(252), 112);
    table->resetToDefaults();
    QCOMPARE(triples.left(3), QByteArray("\xfc\x84\xfc", 3));
}

void TestModelConversion::codeLineMatchesBitStream_data()
{
    QTest::addColumn<QByteArray>("triples");
    const auto random = [](int count, quint32 seed) {
        QRandomGenerator generator(seed);
        QByteArray bytes(count, Qt::Uninitialized);
        for (char &b : bytes)
            b = char(generator.bounded(256));
        return bytes;
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("1 LED") << random(3, 1);
    QTest::newRow("7 bytes, shorter than a step") << random(7, 2);
    QTest::newRow("8 bytes, one step") << random(8, 3);
    QTest::newRow("35 LEDs, planes end mid-byte") << random(105, 4);
    QTest::newRow("112 LEDs") << random(336, 5);
    QTest::newRow("500 LEDs") << random(1500, 6);
    QTest::newRow("alternating bits, 37 LEDs") << QByteArray(111, char(0xaa));
}

void TestModelConversion::codeLineMatchesBitStream()
{
    // The coding as described: bits 7 to 2 of every byte, plane after plane, one bit at a
    // time into an MSB-first stream whose unfinished last byte is dropped.
    QFETCH(QByteArray, triples);
    std::vector<bool> stream;
    for (int plane = 7; plane >= 2; --plane) {
        for (char b : triples)
            stream.push_back((uchar(b) >> plane) & 1);
    }
    QByteArray expected(qsizetype(stream.size() / 8), '\0');
    for (size_t i = 0; i < size_t(expected.size()) * 8; ++i) {
        if (stream[i])
            expected[qsizetype(i / 8)] = char(uchar(expected[qsizetype(i / 8)]) | (0x80 >> (i % 8)));
    }
    QCOMPARE(DataBitCalculation::codeLine(triples), expected);
}

void TestModelConversion::badInputGivesBlackData_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("corrupt") << QByteArray("\x89PNG\r\n\x1a\nnot really a picture") << true;
    QTest::newRow("20000 x 20000 header") << pngClaiming(20000, 20000) << true;
}

void TestModelConversion::badInputGivesBlackData()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    const QString path = tempDir->filePath(QStringLiteral("input.png"));
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString error;
    const QImage picture = PictureLoader::load(path, &error);
    QVERIFY(picture.isNull());
    QVERIFY(!error.isEmpty());
    ImageObject item(1, path, 5.0, ImageObject::KindPictureFile);
    convertPicture(picture, &item);
    QCOMPARE(item.readLedData(), QByteArray(110592, '\0'));
    QImage black(450, 450, QImage::Format_ARGB32);
    black.fill(qRgba(0, 0, 0, 255));
    QCOMPARE(item.loadSamplingPreview().convertToFormat(QImage::Format_ARGB32), black);
}

void TestModelConversion::stopFlagCutsShort()
{
    const QImage picture = noise(450, 450, 3);
    ImageObject full(1, QString(), 10.0, ImageObject::KindVideoFrame);
    convertPicture(picture, &full);
    const QByteArray fullData = full.readLedData();

    std::atomic<bool> notStopped{false};
    ImageObject unstopped(2, QString(), 10.0, ImageObject::KindVideoFrame);
    convertPicture(picture, &unstopped, &notStopped);
    QCOMPARE(unstopped.readLedData(), fullData);

    std::atomic<bool> stopped{true};
    ImageObject cut(3, QString(), 10.0, ImageObject::KindVideoFrame);
    convertPicture(picture, &cut, &stopped);
    const QByteArray cutData = cut.readLedData();
    // Padded and written as far as it was coded: whole lines of the full data, then zeros.
    QVERIFY(!cutData.isEmpty());
    QCOMPARE(cutData.size() % 4096, 0);
    QVERIFY(cutData.size() <= fullData.size());
    qsizetype lines = 0;
    while (lines < 430 && cutData.mid(lines * 252, 252) == fullData.mid(lines * 252, 252))
        ++lines;
    QCOMPARE(cutData.mid(lines * 252), QByteArray(cutData.size() - lines * 252, '\0'));
    QVERIFY(cut.loadSamplingPreview() == full.loadSamplingPreview());
}

void TestModelConversion::lineTakenFromTheQueueIsNotAwaited()
{
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    DataBitCalculation coder(&item);
    const QByteArray taken(30, '\x7f');
    const QByteArray kept(30, '\xff');
    coder.enqueueLine(taken);
    QCOMPARE(coder.takeFirstLine(), taken);
    QCOMPARE(coder.pendingLines(), 0);
    coder.start();
    coder.enqueueLine(kept);

    // A wait that never ends is cut after a while and counts as not drained.
    std::atomic<bool> giveUp{false};
    std::atomic<bool> returned{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 300 && !returned; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        giveUp = true;
    });
    const bool drained = coder.waitUntilDrained(&giveUp);
    returned = true;
    watchdog.join();
    QVERIFY(drained);
    // Only the line left in the queue was coded into the item.
    QCOMPARE(item.ledData, DataBitCalculation::codeLine(kept));
}

void TestModelConversion::conversionsInParallel_data()
{
    QTest::addColumn<SamplingMode>("mode");
    QTest::addColumn<int>("leds");
    QTest::newRow("sharp") << SamplingMode::Sharp << kDefaultLedCount;
    // The first smooth conversions share the weights one of them computes: a geometry no
    // other test uses, so that they are not ready yet.
    QTest::newRow("smooth") << SamplingMode::Smooth << 37;
}

void TestModelConversion::conversionsInParallel()
{
    // Import workers and video converters run conversions side by side.
    QFETCH(SamplingMode, mode);
    QFETCH(int, leds);
    ledCount = leds;
    const QImage picture = noise(600, 450, 5);
    QList<ImageObject *> items;
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        auto *item = new ImageObject(0, QString(), 5.0, ImageObject::KindPictureFile);
        item->sampling = mode;
        items.append(item);
        threads.emplace_back([picture, item] { convertPicture(picture, item); });
    }
    for (std::thread &thread : threads)
        thread.join();
    ImageObject reference(1, QString(), 5.0, ImageObject::KindPictureFile);
    reference.sampling = mode;
    convertPicture(picture, &reference);
    const QByteArray expected = reference.readLedData();
    for (ImageObject *item : items)
        QCOMPARE(item->readLedData(), expected);
    qDeleteAll(items);
}

void TestModelConversion::itemsFromOneFileGetOwnFiles()
{
    const QString path = tempDir->filePath(QStringLiteral("same.png"));
    QVERIFY(noise(300, 200, 9).save(path));
    ImageObject first(0, path, 5.0, ImageObject::KindPictureFile);
    ImageObject second(0, path, 5.0, ImageObject::KindPictureFile);
    QVERIFY(first.id != second.id);
    const QImage picture = PictureLoader::load(path);
    convertPicture(picture, &first);
    convertPicture(picture, &second);
    QVERIFY(first.bufPath() != second.bufPath());
    for (const QString &file : {first.bufPath(), second.bufPath(), first.thumbnailPath(),
                                second.thumbnailPath(), first.samplingPreviewPath(),
                                second.samplingPreviewPath()})
        QVERIFY2(QFile::exists(file), qPrintable(file));
    QCOMPARE(first.readLedData(), second.readLedData());
}

void TestModelConversion::destructionRemovesFiles_data()
{
    QTest::addColumn<bool>("converted");
    QTest::newRow("with .buf") << true;
    QTest::newRow("without .buf") << false;
}

void TestModelConversion::destructionRemovesFiles()
{
    QFETCH(bool, converted);
    const QString path = tempDir->filePath(QStringLiteral("picture.png"));
    QVERIFY(noise(200, 200, 1).save(path));
    auto *item = new ImageObject(0, path, 5.0, ImageObject::KindPictureFile);
    if (converted)
        convertPicture(PictureLoader::load(path), item);
    else
        item->saveSamplingPreview(noise(450, 450, 2));
    const QString buf = workFilePath(QStringLiteral("%1.buf").arg(item->id));
    QCOMPARE(QFile::exists(buf), converted);
    const QString thumbnail = item->thumbnailPath();
    const QString preview = item->samplingPreviewPath();
    QVERIFY(QFile::exists(thumbnail));
    QVERIFY(QFile::exists(preview));
    delete item;
    QVERIFY(!QFile::exists(buf));
    QVERIFY(!QFile::exists(thumbnail));
    QVERIFY(!QFile::exists(preview));
    QVERIFY(QFile::exists(path)); // the source is not the item's
}

void TestModelConversion::clipDestructionRemovesFrameFiles()
{
    auto *clip = new MediaObject(1, QStringLiteral("clip.mp4"));
    QStringList files;
    for (int i = 1; i <= 3; ++i) {
        auto *frame = new ImageObject(i, QString(), 10.0, ImageObject::KindVideoFrame);
        convertPicture(noise(450, 450, quint32(i)), frame);
        files << frame->bufPath() << frame->samplingPreviewPath();
        clip->frames.append(frame);
    }
    for (const QString &file : files)
        QVERIFY(QFile::exists(file));
    delete clip;
    for (const QString &file : files)
        QVERIFY2(!QFile::exists(file), qPrintable(file));
}

void TestModelConversion::readLedDataFromFile()
{
    ImageObject item(1, QString(), 5.0, ImageObject::KindPictureFile);
    convertPicture(noise(450, 450, 4), &item);
    QVERIFY(item.ledData.isEmpty());
    const QByteArray fromFile = readFile(item.bufPath());
    QCOMPARE(fromFile.size(), 110592);
    QCOMPARE(item.readLedData(), fromFile);
    QVERIFY(fromFile.endsWith(QByteArray(2232, '\0')));
}

void TestModelConversion::clearDirectoryKeepsHiddenFile()
{
    const QString root = tempDir->filePath(QStringLiteral("temp"));
    QDir().mkpath(root + "/a/b/c");
    QDir().mkpath(root + "/d");
    for (const QString &file : {root + "/1.buf", root + "/a/x.png", root + "/a/b/c/y.png"}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    clearDirectory(root);
    QVERIFY(!QDir(root).exists());

    QDir().mkpath(root + "/nested");
    QFile hidden(root + "/.hidden");
    QVERIFY(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    QFile visible(root + "/nested/z.png");
    QVERIFY(visible.open(QIODevice::WriteOnly));
    visible.close();
    clearDirectory(root);
    QVERIFY(QFile::exists(root + "/.hidden"));
    QVERIFY(!QDir(root + "/nested").exists());
    clearDirectory(tempDir->filePath(QStringLiteral("never-there")));
}

QTEST_GUILESS_MAIN(TestModelConversion)
#include "test_model_conversion.moc"
