// The text clip dialog as the window uses it: the clip it makes against the command line's
// way of making one, what it refuses, its live preview while settings change, and a text clip
// opened again and replaced in its own row.
#include "MainWindowTestSupport.h"
#include "ModalDriver.h"

#include "model/DataBitCalculation.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/MotionClipMaker.h"
#include "motion/TextClipRenderer.h"
#include "show/PlaylistConversion.h"
#include "ui/main/PlaylistController.h"
#include "ui/motion/TextClipDialog.h"
#include "ui/motion/TextClipPreview.h"
#include "ui/playlist/CustomTableModel.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <memory>

Q_DECLARE_METATYPE(TextClipDescription)

namespace {

void useGeometry(int leds, int lines)
{
    ledCount = leds;
    lineNumber = lines;
}

using Motion = TextClipDescription::Motion;

TextClipDescription described(const QString &text, Motion motion, double seconds)
{
    TextClipDescription wanted;
    wanted.text = text;
    wanted.motion = motion;
    wanted.seconds = seconds;
    return wanted;
}

// The LED data of each frame as the command line makes it (MotionArguments::make: no files).
QList<QByteArray> commandLineBytes(const TextClipDescription &wanted, SamplingMode sampling)
{
    std::shared_ptr<TextClipRenderer> renderer;
    if (!TextClipRenderer::prepare(wanted, &renderer))
        return {};
    MotionClipMaker::Options options;
    options.sampling = sampling;
    options.writeFiles = false;
    MotionClipMaker maker(renderer, options);
    if (!maker.runToEnd())
        return {};
    std::unique_ptr<MediaObject> clip(maker.takeClip(1));
    QList<QByteArray> bytes;
    if (clip) {
        for (ImageObject *frame : clip->frames)
            bytes << frame->readLedData();
    }
    return bytes;
}

QList<QByteArray> ledBytes(const MediaObject *clip)
{
    QList<QByteArray> bytes;
    for (ImageObject *frame : clip->frames)
        bytes << frame->readLedData();
    return bytes;
}

QPushButton *okButton(TextClipDialog &dialog)
{
    return dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
}

// A clip made through the dialog's own path, with its settings kept as the dialog keeps them.
MediaObject *textClip(const TextClipDescription &wanted, int number,
                      SamplingMode sampling = SamplingMode::Sharp)
{
    TextClipDialog dialog;
    dialog.setSampling(sampling);
    dialog.setDescription(wanted);
    dialog.accept();
    return dialog.result() == QDialog::Accepted ? dialog.takeClip(number) : nullptr;
}

} // namespace

class TestTextClipDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void makesTheCommandLinesBytes_data();
    void makesTheCommandLinesBytes();
    void refusesWhatCannotMakeAClip_data();
    void refusesWhatCannotMakeAClip();
    void previewFollowsTheLatestSettings_data();
    void previewFollowsTheLatestSettings();
    void editReplacesInPlace_data();
    void editReplacesInPlace();
    void convertsForANewGeometryOrSampling_data();
    void convertsForANewGeometryOrSampling();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestTextClipDialog::init()
{
    QStandardPaths::setTestModeEnabled(true);
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    initAppGlobals(dir->path());
    useGeometry(112, 430);
}

void TestTextClipDialog::cleanup()
{
    useGeometry(kDefaultLedCount, kDefaultLineNumber);
    dir.reset();
}

void TestTextClipDialog::makesTheCommandLinesBytes_data()
{
    QTest::addColumn<TextClipDescription>("wanted");
    QTest::addColumn<SamplingMode>("sampling");

    TextClipDescription ring = described(QStringLiteral("SALE −50 % 大减价"), Motion::RingCounterClockwise, 1.5);
    ring.speed = 7;
    QTest::newRow("ring, sharp") << ring << SamplingMode::Sharp;
    TextClipDescription slide = described(QStringLiteral("セール 大減價"), Motion::SlideUp, 1.0);
    slide.color = QColor(255, 200, 0);
    slide.backgroundColor = QColor(0, 0, 120);
    slide.pixelSize = 110;
    QTest::newRow("slide up, smooth") << slide << SamplingMode::Smooth;
    QTest::newRow("blink, a font chosen")
        << [] {
               TextClipDescription blink = described(QStringLiteral("OPEN"), Motion::Blink, 0.7);
               blink.fontFamily = QStringLiteral("DejaVu Serif");
               return blink;
           }()
        << SamplingMode::Sharp;
}

void TestTextClipDialog::makesTheCommandLinesBytes()
{
    QFETCH(TextClipDescription, wanted);
    QFETCH(SamplingMode, sampling);

    TextClipDialog dialog;
    dialog.setSampling(sampling);
    dialog.setDescription(wanted);
    // The form gives back what it was given.
    QCOMPARE(dialog.description(), wanted);
    QVERIFY(okButton(dialog)->isEnabled());
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    std::unique_ptr<MediaObject> clip(dialog.takeClip(7));
    QVERIFY(clip);
    QVERIFY(!dialog.takeClip(7));
    QCOMPARE(clip->number, 7);
    QCOMPARE(clip->loopCount, 1);
    QCOMPARE(clip->frames.size(), wanted.frameCount());
    QCOMPARE(ledBytes(clip.get()), commandLineBytes(wanted, sampling));
    for (ImageObject *frame : clip->frames) {
        QCOMPARE(frame->sampling, sampling);
        QVERIFY(!frame->loadSamplingPreview().isNull());
    }
    QVERIFY(!clip->frames.first()->loadThumbnail().isNull());
    // Kept to open again.
    QCOMPARE(clip->origin.source, ClipOrigin::Source::Text);
    TextClipDescription kept;
    QVERIFY(TextClipDialog::descriptionOf(clip.get(), &kept));
    QCOMPARE(kept, wanted);
}

void TestTextClipDialog::refusesWhatCannotMakeAClip_data()
{
    QTest::addColumn<TextClipDescription>("wanted");
    QTest::addColumn<bool>("refused");

    QTest::newRow("no text") << described(QString(), Motion::RingCounterClockwise, 4.0) << true;
    QTest::newRow("only spaces") << described(QStringLiteral("   "), Motion::Blink, 4.0) << true;
    QTest::newRow("a length of 0") << described(QStringLiteral("SALE"), Motion::SlideLeft, 0.0) << true;
    QTest::newRow("a length too short for a frame")
        << described(QStringLiteral("SALE"), Motion::Stand, 0.04) << true;
    QTest::newRow("a background picture that is gone") << [] {
        TextClipDescription wanted = described(QStringLiteral("SALE"), Motion::Stand, 1.0);
        wanted.backgroundPath = QStringLiteral("/nonexistent/back.png");
        return wanted;
    }() << true;
    QTest::newRow("text and a length") << described(QStringLiteral("SALE"), Motion::Stand, 0.3) << false;
}

void TestTextClipDialog::refusesWhatCannotMakeAClip()
{
    QFETCH(TextClipDescription, wanted);
    QFETCH(bool, refused);

    TextClipDialog dialog;
    dialog.setDescription(wanted);
    QCOMPARE(okButton(dialog)->isEnabled(), !refused);
    QCOMPARE(dialog.refusal().isEmpty(), !refused);
    // Even when asked to (Enter in a field), nothing is made from refused settings.
    dialog.accept();
    std::unique_ptr<MediaObject> clip(dialog.takeClip(1));
    QCOMPARE(clip == nullptr, refused);
    QCOMPARE(dialog.result() == QDialog::Accepted, !refused);
}

void TestTextClipDialog::previewFollowsTheLatestSettings_data()
{
    QTest::addColumn<int>("motion");
    QTest::newRow("ring") << int(Motion::RingClockwise);
    QTest::newRow("slide right") << int(Motion::SlideRight);
    QTest::newRow("blink") << int(Motion::Blink);
}

void TestTextClipDialog::previewFollowsTheLatestSettings()
{
    QFETCH(int, motion);

    TextClipDialog dialog;
    dialog.show();
    TextClipPreview *preview = dialog.preview();
    TextClipDescription wanted = described(QStringLiteral("A"), Motion(motion), 3.0);
    dialog.setDescription(wanted);
    // Generous: the first layout loads the fonts, on a loaded machine.
    QTRY_VERIFY_WITH_TIMEOUT(preview->shownDescription() == wanted && preview->shownIndex() >= 1,
                             30000);

    // Typed a letter at a time: each change replaces the last before it is shown.
    QList<QPair<TextClipDescription, int>> shown;
    connect(preview, &TextClipPreview::frameShown, this,
            [&](int index) { shown.append({preview->shownDescription(), index}); });
    const QString typed = QStringLiteral("SALE 大减价 セール");
    for (int n = 1; n <= typed.size(); ++n) {
        wanted.text = typed.left(n);
        wanted.pixelSize = 40 + n;
        dialog.setDescription(wanted);
    }
    QTRY_VERIFY_WITH_TIMEOUT(preview->shownDescription() == wanted && preview->shownIndex() >= 3,
                             30000);
    // It started again from the first frame, and played on at the display's pace.
    int first = -1;
    for (const auto &[settings, index] : std::as_const(shown)) {
        if (settings == wanted) {
            first = index;
            break;
        }
    }
    QCOMPARE(first, 0);
    std::shared_ptr<TextClipRenderer> renderer;
    QVERIFY(TextClipRenderer::prepare(wanted, &renderer).ok());
    QCOMPARE(preview->shownFrame(), renderer->frame(preview->shownIndex()));

    // Settings that cannot make a clip show nothing, and a good one brings it back.
    wanted.text.clear();
    dialog.setDescription(wanted);
    QCOMPARE(preview->shownIndex(), -1);
    QVERIFY(preview->shownFrame().isNull());
}

void TestTextClipDialog::editReplacesInPlace_data()
{
    QTest::addColumn<TextClipDescription>("changed");
    QTest::addColumn<bool>("accept");
    // The clip's own sampling, which it keeps whatever new imports use.
    QTest::addColumn<SamplingMode>("sampling");

    QTest::newRow("new text") << described(QStringLiteral("SALE −70 %"), Motion::RingCounterClockwise, 1.0)
                              << true << SamplingMode::Sharp;
    QTest::newRow("longer, blinking, smooth")
        << described(QStringLiteral("SALE"), Motion::Blink, 2.0) << true << SamplingMode::Smooth;
    QTest::newRow("cancelled") << described(QStringLiteral("gone"), Motion::SlideDown, 1.0) << false
                               << SamplingMode::Smooth;
}

void TestTextClipDialog::editReplacesInPlace()
{
    QFETCH(TextClipDescription, changed);
    QFETCH(bool, accept);
    QFETCH(SamplingMode, sampling);

    std::unique_ptr<QTemporaryDir> windowDir;
    std::unique_ptr<MainWindow> window;
    QVERIFY(openFreshWindow(windowDir, window));
    useGeometry(112, 430);
    PlaylistController *playlist = window->playlist();

    const TextClipDescription original = described(QStringLiteral("SALE"), Motion::RingCounterClockwise, 1.0);
    MediaObject *before = textClip(described(QStringLiteral("first"), Motion::Stand, 0.3), 1);
    MediaObject *text = textClip(original, 2, sampling);
    MediaObject *after = textClip(described(QStringLiteral("last"), Motion::Stand, 0.3), 3);
    QVERIFY(before && text && after);
    // A clip not made as a text clip cannot be opened in the dialog.
    before->origin = ClipOrigin();
    text->loopCount = 4;
    for (MediaObject *clip : {before, text, after})
        playlist->addClip(clip);
    const int edits = playlist->history()->count();

    // Not a text clip: nothing opens, nothing changes.
    emit playlist->clipActivated(before);
    QCOMPARE(playlist->clips()->itemsAs<MediaObject>(), (QList<MediaObject *>{before, text, after}));

    bool opened = false;
    ModalDriver::whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TextClipDialog *>(modal);
        if (!dialog)
            return false;
        opened = true;
        // It opens on the clip's own settings.
        if (dialog->description() != original)
            return true;
        dialog->setDescription(changed);
        QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject", Qt::QueuedConnection);
        return true;
    }, 20000);
    emit playlist->clipActivated(text);
    QVERIFY(opened);

    const QList<MediaObject *> now = playlist->clips()->itemsAs<MediaObject>();
    QCOMPARE(now.size(), 3);
    QCOMPARE(now[0], before);
    QCOMPARE(now[2], after);
    if (!accept) {
        QCOMPARE(now[1], text);
        QCOMPARE(playlist->history()->count(), edits);
        return;
    }
    MediaObject *made = now[1];
    QVERIFY(made != text);
    QCOMPARE(made->loopCount, 4);
    QCOMPARE(made->number, 2);
    TextClipDescription kept;
    QVERIFY(TextClipDialog::descriptionOf(made, &kept));
    QCOMPARE(kept, changed);
    QCOMPARE(made->frames.size(), changed.frameCount());
    QCOMPARE(made->frames.first()->sampling, sampling);
    QCOMPARE(ledBytes(made), commandLineBytes(changed, sampling));

    // Undone, the old clip is back in its row; redone, the new one again.
    QCOMPARE(playlist->history()->count(), edits + 1);
    QVERIFY(playlist->undo());
    QCOMPARE(playlist->clips()->itemsAs<MediaObject>(), (QList<MediaObject *>{before, text, after}));
    QCOMPARE(text->loopCount, 4);
    QVERIFY(playlist->redo());
    QCOMPARE(playlist->clips()->itemsAs<MediaObject>(), (QList<MediaObject *>{before, made, after}));

    closeFreshWindow(windowDir, window);
}

void TestTextClipDialog::convertsForANewGeometryOrSampling_data()
{
    QTest::addColumn<QSize>("geometry");
    QTest::addColumn<SamplingMode>("sampling");

    QTest::newRow("a new geometry") << QSize(40, 200) << SamplingMode::Sharp;
    QTest::newRow("a new sampling") << QSize(112, 430) << SamplingMode::Smooth;
    QTest::newRow("both") << QSize(36, 360) << SamplingMode::Smooth;
}

void TestTextClipDialog::convertsForANewGeometryOrSampling()
{
    QFETCH(QSize, geometry);
    QFETCH(SamplingMode, sampling);

    const TextClipDescription wanted = described(QStringLiteral("SALE"), Motion::Blink, 0.5);
    std::unique_ptr<MediaObject> clip(textClip(wanted, 3));
    QVERIFY(clip);
    const QList<QByteArray> before = ledBytes(clip.get());

    // A text clip converts like a cut one: it is neither left out nor kept as it was.
    PlaylistConversion conversion({}, {clip.get()}, {geometry, sampling});
    QVERIFY(conversion.unconvertibleClips().isEmpty());
    QCOMPARE(conversion.conversionCount(), wanted.frameCount());
    QVERIFY(conversion.run({}, nullptr).ok());
    const QList<MediaObject *> taken = conversion.takeClips();
    QCOMPARE(taken.size(), 1);
    std::unique_ptr<MediaObject> converted(taken.first());
    QCOMPARE(converted->frames.size(), wanted.frameCount());
    QCOMPARE(converted->origin, clip->origin);
    const QList<QByteArray> after = ledBytes(converted.get());
    for (int n = 0; n < after.size(); ++n) {
        QCOMPARE(after[n].size(),
                 DataBitCalculation::ledDataLength(geometry.width(), geometry.height()));
        QCOMPARE(converted->frames[n]->sampling, sampling);
    }
    QVERIFY(after != before);
}

QTEST_MAIN(TestTextClipDialog)
#include "test_text_clip_dialog.moc"
