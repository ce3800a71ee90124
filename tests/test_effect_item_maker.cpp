// Making playlist items of the records a reader hands over, apart from any file: items in
// the order given, frames inside their clips, clips dropped when told or left open, and the
// LED data of both record forms.

#include "EffectTestSupport.h"

#include "effect/EffectItemMaker.h"
#include "effect/LedDataCodec.h"

#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace effecttest;

class TestEffectItemMaker : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir tempDir;

private slots:
    void init()
    {
        QVERIFY(tempDir.isValid());
        initAppGlobals(tempDir.path());
    }

    // events: p picture, c clip start, f frame, k clip end kept, d clip end dropped.
    void eventsBecomeItems_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<bool>("triples");
        QTest::addColumn<QList<int>>("pictureNumbers");
        QTest::addColumn<QList<int>>("clipFrames");
        QTest::newRow("pictures in order") << "ppppppp" << true << QList<int>{1, 2, 3, 4, 5, 6, 7}
                                           << QList<int>{};
        QTest::newRow("clips kept and dropped") << "pcffkcfdcfffk" << false << QList<int>{1}
                                                << QList<int>{2, 3};
        QTest::newRow("empty clip kept is dropped") << "ckp" << true << QList<int>{1}
                                                    << QList<int>{};
        QTest::newRow("pictures after a clip") << "pcfkpp" << false << QList<int>{1, 2, 3}
                                               << QList<int>{1};
        QTest::newRow("clip never ended") << "pcfff" << true << QList<int>{1} << QList<int>{};
        QTest::newRow("clip started over") << "cffcfk" << false << QList<int>{} << QList<int>{1};
        QTest::newRow("frames outside a clip") << "fpf" << true << QList<int>{1} << QList<int>{};
    }

    void eventsBecomeItems()
    {
        QFETCH(QString, events);
        QFETCH(bool, triples);
        QFETCH(QList<int>, pictureNumbers);
        QFETCH(QList<int>, clipFrames);
        const GeometryScope geometry(8, 16);
        const auto form = triples ? EffectRecord::Form::ColourTriples : EffectRecord::Form::LedData;
        QList<ImageObject *> images;
        QList<MediaObject *> medias;
        QList<QByteArray> pictureBytes;
        QList<QList<QByteArray>> frameBytes;
        QList<QByteArray> openClip;
        {
            EffectItemMaker maker(images, medias, 8, 16);
            int pictures = 0;
            int clips = 0;
            int frames = 0;
            int seed = 0;
            for (const QChar event : events) {
                const QByteArray bytes = triples ? tripleRecord(++seed) : ledDataFor(++seed);
                switch (event.toLatin1()) {
                case 'p':
                    maker.picture({++pictures, 0.2 * pictures, form, bytes});
                    pictureBytes << bytes;
                    break;
                case 'c':
                    maker.clipStarted(clips++, 7);
                    frames = 0;
                    openClip.clear();
                    break;
                case 'f':
                    maker.clipFrame({++frames, 0.2, form, bytes});
                    openClip << bytes;
                    break;
                default:
                    maker.clipEnded(event == QLatin1Char('k'));
                    if (event == QLatin1Char('k') && !openClip.isEmpty())
                        frameBytes << openClip;
                    openClip.clear();
                }
            }
        }
        QList<int> numbers;
        for (const ImageObject *item : images)
            numbers << item->number;
        QCOMPARE(numbers, pictureNumbers);
        QList<int> lengths;
        for (const MediaObject *clip : medias)
            lengths << int(clip->frames.size());
        QCOMPARE(lengths, clipFrames);

        auto ledDataOf = [&](const QByteArray &bytes) {
            return triples ? LedDataCodec::codeSlottedRecord(bytes, 8, 16) : bytes;
        };
        for (int i = 0; i < images.size(); ++i) {
            QCOMPARE(images[i]->thread(), QThread::currentThread());
            QCOMPARE(images[i]->kind, int(ImageObject::KindReadPicture));
            QCOMPARE(images[i]->readLedData(), ledDataOf(pictureBytes[i]));
        }
        for (int c = 0; c < medias.size(); ++c) {
            QCOMPARE(medias[c]->loopCount, 7);
            QCOMPARE(medias[c]->thread(), QThread::currentThread());
            for (int k = 0; k < medias[c]->frames.size(); ++k) {
                ImageObject *frame = medias[c]->frames[k];
                QCOMPARE(frame->number, k + 1);
                QCOMPARE(frame->kind, int(ImageObject::KindReadClipFrame));
                QCOMPARE(frame->thread(), QThread::currentThread());
                QCOMPARE(frame->readLedData(), ledDataOf(frameBytes[c][k]));
            }
        }
        qDeleteAll(images);
        qDeleteAll(medias);
    }
};

QTEST_GUILESS_MAIN(TestEffectItemMaker)
#include "test_effect_item_maker.moc"
