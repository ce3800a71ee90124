#include "MainWindowTestSupport.h"
#include "DiyTestSupport.h"

#include "app/AppGlobals.h"
#include "effect/PlayMediaHandler.h"
#include "loop/HandlerMessage.h"
#include "loop/HandlerThread.h"
#include "loop/Message.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ImageObjectWidget.h"
#include "ui/diy/DiyForm.h"
#include "ui/diy/DiyPainter.h"
#include "ui/main/ClipPlayer.h"
#include "ui/main/DropDispatcher.h"
#include "ui/main/ListDrops.h"
#include "ui/main/MainWindow.h"
#include "ui/playlist/MediaObjectWidget.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/main/ReadBackMerge.h"
#include "ui/main/RoundPreviewWidget.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMutex>
#include <QMovie>
#include <QPushButton>
#include <QSemaphore>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QToolBox>
#include <QClipboard>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {

// Counts every look at its type. A late play echo may name a clip that has been deleted
// since, so the window must decide about the echo without looking at what it names.
class TouchProbe : public QObject
{
public:
    const QMetaObject *metaObject() const override
    {
        ++touched;
        return QObject::metaObject();
    }
    mutable int touched = 0;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    // Every action that changes a playlist, under the lock that must refuse it.
    enum Action {
        OpenImage, ImportFiles, DropFiles, PastePicture, NewDiy, EditDiy, LoadVideo, LoadGif,
        Contrast, DeletePicture, DeleteClip, ReorderPictures, ReorderClips, DragRow, Preview,
        DropEffect, Reset, LedCount, LineNumber
    };

    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

    RoundPreviewWidget *preview() const { return child<RoundPreviewWidget>("previewWidget"); }

    QList<QAction *> toolbarActions() const
    {
        QList<QAction *> actions;
        for (QAction *action : child<QToolBar>("toolBar")->actions()) {
            if (!action->text().isEmpty())
                actions << action;
        }
        return actions;
    }

    QStringList toolbarTexts() const
    {
        QStringList texts;
        for (const QAction *action : toolbarActions())
            texts << action->text();
        return texts;
    }

    // A picture item with a sampling preview on disk, as a conversion would leave it.
    ImageObject *makePicture(int number, int kind = ImageObject::KindPictureFile)
    {
        auto *item = new ImageObject(number, QString(), 5.0, kind);
        QImage preview(450, 450, QImage::Format_ARGB32);
        preview.fill(QColor(10 * number % 256, 20, 30));
        item->saveSamplingPreview(preview);
        return item;
    }

    void addPictures(int count, int kind = ImageObject::KindPictureFile)
    {
        QList<ImageObject *> items;
        for (int i = 1; i <= count; ++i)
            items << makePicture(i, kind);
        window->pictureModel()->addItems(items);
    }

    QList<int> pictureNumbers() const
    {
        QList<int> numbers;
        for (const ImageObject *item : window->pictureModel()->itemsAs<ImageObject>())
            numbers << item->number;
        return numbers;
    }

private slots:
    void init() { QVERIFY(openFreshWindow(tempDir, window)); }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void toolbarHoldsItsActionsInOrderInEnglish()
    {
        QCOMPARE(languageCode.load(), 3);
        QCOMPARE(toolbarTexts(),
                 (QStringList{"New DIY", "Import Picture", "Import Video", "Import GIF Picture",
                              "Text clip", "Download To SD", "Download To Local"}));
        const QStringList names{"actionNewDiy",   "actionOpenImage", "actionLoadMedia",
                                "actionLoadGif",  "actionTextClip",  "actionDownToUsb",
                                "actionDownToLocal"};
        const QList<QAction *> actions = toolbarActions();
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(actions.at(i)->objectName(), names.at(i));
        auto *toolBar = child<QToolBar>("toolBar");
        QCOMPARE(toolBar->iconSize(), QSize(30, 30));
        QVERIFY(!toolBar->isMovable());
        QVERIFY(!toolBar->isFloatable());
        QCOMPARE(toolBar->windowTitle(), QStringLiteral("Menu"));
        // The three actions left off the toolbar and the two geometry dialogs are reachable
        // from the menu bar.
        QStringList menuTexts;
        for (QAction *menu : window->menuBar()->actions())
            for (QAction *action : menu->menu()->actions())
                if (!action->isSeparator())
                    menuTexts << action->text();
        QVERIFY(menuTexts.contains(QStringLiteral("Preview")));
        QVERIFY(menuTexts.contains(QStringLiteral("Reset")));
        QVERIFY(menuTexts.contains(QStringLiteral("Change the LED count…")));
        QVERIFY(menuTexts.contains(QStringLiteral("Change the resolution…")));
        QVERIFY(menuTexts.contains(QStringLiteral("Smooth sampling")));
        QVERIFY(menuTexts.contains(QStringLiteral("Undo")));
        QVERIFY(menuTexts.contains(QStringLiteral("Redo")));
        for (const char *entry : {"New", "Open…", "Open Recent", "Save", "Save As…", "Quit"})
            QVERIFY2(menuTexts.contains(QString::fromUtf8(entry)), entry);
        QVERIFY(menuTexts.contains(QStringLiteral("Paste")));
        QVERIFY(menuTexts.contains(QStringLiteral("Text clip")));
        QCOMPARE(menuTexts.size(), 16);
    }

    void formStartsWithItsSizesAndStates()
    {
        // The show's name with Qt's placeholder for the modified mark.
        QCOMPARE(window->windowTitle(), QStringLiteral("Untitled[*] - Hologram Display"));
        QVERIFY(!window->isWindowModified());
        for (const char *hidden : {"btnPlay", "btnStop"})
            QVERIFY2(child<QPushButton>(hidden)->isHidden(), hidden);
        for (const char *disabled : {"btnDelImage", "btnDelMedia", "btnEditImage", "btnEditMedia"})
            QVERIFY2(!child<QPushButton>(disabled)->isEnabled(), disabled);
        QCOMPARE(child<QPushButton>("btnPlay")->size(), QSize(65, 65));
        QCOMPARE(child<QPushButton>("btnEditImage")->text(), QStringLiteral("Picture editing"));
        QCOMPARE(child<QPushButton>("btnDelImage")->text(), QStringLiteral("Del"));
        auto *toolBox = child<QToolBox>("toolBox");
        QCOMPARE(toolBox->currentIndex(), 0);
        QCOMPARE(toolBox->itemText(0), QStringLiteral("Picture List"));
        QCOMPARE(toolBox->itemText(1), QStringLiteral("Video List"));
        QVERIFY(toolBox->minimumWidth() >= 285);
        auto *version = child<QLabel>("versionLabel");
        QCOMPARE(version->text(), QStringLiteral(" Ver: T4S_20181127_0.03"));
        for (const char *name : {"btnZhCn", "btnZhHk", "btnEnUs", "btnJp"}) {
            auto *button = child<QPushButton>(name);
            QCOMPARE(button->size(), QSize(60, 25));
            // Only the active language's button is checked.
            QCOMPARE(button->isChecked(), qstrcmp(name, "btnEnUs") == 0);
        }
        // The initial preview: the empty circle's outline.
        QCOMPARE(preview()->content(), RoundPreviewWidget::Content::Outline);
        auto *tableView = child<QTableView>("tableView");
        // Every row carries its editor; the view never opens one of its own on the current row.
        QCOMPARE(tableView->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(tableView->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(tableView->verticalHeader()->defaultSectionSize(), 60);
        QVERIFY(tableView->horizontalHeader()->isHidden());
    }

    void selectingAPictureEnablesItsButtonsByKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("editable");
        QTest::newRow("picture file") << int(ImageObject::KindPictureFile) << true;
        QTest::newRow("DIY drawing") << int(ImageObject::KindDiy) << true;
        QTest::newRow("read back") << int(ImageObject::KindReadPicture) << false;
    }

    void selectingAPictureEnablesItsButtonsByKind()
    {
        QFETCH(int, kind);
        QFETCH(bool, editable);
        addPictures(2, kind);
        window->pressImageWidget(window->pictureModel()->index(1, 0));
        QVERIFY(child<QPushButton>("btnDelImage")->isEnabled());
        QCOMPARE(child<QPushButton>("btnEditImage")->isEnabled(), editable);
        QVERIFY(child<QPushButton>("btnPlay")->isHidden());
        QCOMPARE(preview()->content(), RoundPreviewWidget::Content::Picture);
        QCOMPARE(preview()->picture().pixelColor(5, 5), QColor(20, 20, 30));

        window->pressImageWidget(QModelIndex());
        QVERIFY(!child<QPushButton>("btnDelImage")->isEnabled());
        QVERIFY(!child<QPushButton>("btnEditImage")->isEnabled());
        QCOMPARE(preview()->content(), RoundPreviewWidget::Content::Blank);
    }

    void selectingAClipShowsPlayOnlyWithFrames()
    {
        auto *empty = new MediaObject(0, QString());
        auto *clip = new MediaObject(1, QString());
        clip->frames << makePicture(1, ImageObject::KindGifFrame);
        window->clipModel()->addItems(QList<MediaObject *>{empty, clip});
        window->show();
        window->pressMediaWidget(window->clipModel()->index(1, 0));
        QVERIFY(!child<QPushButton>("btnPlay")->isHidden());
        QVERIFY(child<QPushButton>("btnDelMedia")->isEnabled());
        window->pressMediaWidget(QModelIndex());
        QVERIFY(child<QPushButton>("btnPlay")->isHidden());
        QVERIFY(!child<QPushButton>("btnDelMedia")->isEnabled());
        window->pressMediaWidget(window->clipModel()->index(0, 0));
        QVERIFY(child<QPushButton>("btnPlay")->isHidden());
        QVERIFY(child<QPushButton>("btnDelMedia")->isEnabled());
    }

    void deletingAPictureRenumbersTheRest()
    {
        addPictures(5);
        auto *tableView = child<QTableView>("tableView");
        tableView->setCurrentIndex(window->pictureModel()->index(2, 0));
        window->onBtnDelImage();
        QCOMPARE(pictureNumbers(), (QList<int>{1, 2, 3, 4}));
        // No current row: nothing happens.
        tableView->setCurrentIndex(QModelIndex());
        window->onBtnDelImage();
        QCOMPARE(window->pictureModel()->itemCount(), 4);
    }

    void deleteNeverHitsARowThatIsNotShownSelected_data()
    {
        QTest::addColumn<bool>("clips");
        QTest::newRow("pictures") << false;
        QTest::newRow("clips") << true;
    }

    void deleteNeverHitsARowThatIsNotShownSelected()
    {
        QFETCH(bool, clips);
        CustomTableModel *model = clips ? window->clipModel() : window->pictureModel();
        auto *view = child<QTableView>(clips ? "tableViewMedia" : "tableView");
        auto *del = child<QPushButton>(clips ? "btnDelMedia" : "btnDelImage");
        for (int i = 1; i <= 4; ++i) {
            if (clips) {
                auto *clip = new MediaObject(i, QString());
                clip->frames << makePicture(i, ImageObject::KindGifFrame);
                model->addItem(clip);
            } else {
                model->addItem(makePicture(i));
            }
        }
        const auto remove = [&] { clips ? window->onBtnDelMedia() : window->onBtnDelImage(); };
        const auto press = [&](const QModelIndex &index) {
            clips ? window->pressMediaWidget(index) : window->pressImageWidget(index);
        };

        view->setCurrentIndex(model->index(1, 0));
        press(model->index(1, 0));
        QVERIFY(del->isEnabled());
        remove();
        QCOMPARE(model->itemCount(), 3);
        // Nothing is highlighted afterwards, so nothing can be deleted by a second click.
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
        QVERIFY(!del->isEnabled());
        QVERIFY(!child<QPushButton>("btnEditImage")->isEnabled());
        QCOMPARE(preview()->content(), RoundPreviewWidget::Content::Blank);
        remove();
        QCOMPARE(model->itemCount(), 3);
        // A current row the user does not see selected is not deleted either.
        view->selectionModel()->setCurrentIndex(model->index(0, 0), QItemSelectionModel::NoUpdate);
        remove();
        QCOMPARE(model->itemCount(), 3);
    }

    void deletingAPlayingClipStopsThePlayback()
    {
        auto *clip = new MediaObject(1, QString());
        clip->frames << makePicture(1, ImageObject::KindGifFrame)
                     << makePicture(2, ImageObject::KindGifFrame);
        window->clipModel()->addItem(clip);
        auto *view = child<QTableView>("tableViewMedia");
        view->setCurrentIndex(window->clipModel()->index(0, 0));
        window->pressMediaWidget(window->clipModel()->index(0, 0));
        window->onBtnPlayClick();
        QVERIFY(window->isPlaying());
        QTest::qWait(250);
        window->onBtnDelMedia();
        QVERIFY(!window->isPlaying());
        QCOMPARE(window->clipModel()->itemCount(), 0);
        QVERIFY(child<QPushButton>("btnPlay")->isHidden());
        QVERIFY(child<QPushButton>("btnStop")->isHidden());
        // Echoes still on their way must not touch the destroyed clip.
        QTest::qWait(500);
    }

    void lateEchoIsDroppedWithoutTouchingWhatItNames_data()
    {
        QTest::addColumn<bool>("deleteThePlayingClip");
        QTest::newRow("playing clip deleted") << true;
        QTest::newRow("another clip playing") << false;
    }

    void lateEchoIsDroppedWithoutTouchingWhatItNames()
    {
        QFETCH(bool, deleteThePlayingClip);
        auto *clip = new MediaObject(1, QString());
        clip->frames << makePicture(1, ImageObject::KindGifFrame)
                     << makePicture(2, ImageObject::KindGifFrame);
        window->clipModel()->addItem(clip);
        child<QTableView>("tableViewMedia")->setCurrentIndex(window->clipModel()->index(0, 0));
        window->pressMediaWidget(window->clipModel()->index(0, 0));
        window->onBtnPlayClick();
        if (deleteThePlayingClip)
            window->onBtnDelMedia();
        // Stands in for the clip an echo already on its way names (deleted, or not played).
        TouchProbe gone;
        emit window->handler()->playFrameDue(&gone, 1);
        QCOMPARE(gone.touched, 0);
        window->onBtnStopClick();
    }

    void echoOfAnEarlierPlayEndsItsChain()
    {
        auto *clip = new MediaObject(1, QString());
        for (int i = 1; i <= 3; ++i)
            clip->frames << makePicture(i, ImageObject::KindGifFrame);
        window->clipModel()->addItem(clip);
        window->pressMediaWidget(window->clipModel()->index(0, 0));
        window->onBtnPlayClick();
        const quintptr firstChain = 1;
        window->onBtnStopClick();
        window->onBtnPlayClick();
        // An echo of the first Play, already on its way when Stop and Play were clicked. Hold
        // the loop so that what the echo sends back stays countable.
        BlockingHandler blocker(HandlerThread::shared());
        blocker.sendCode(1);
        QTest::qWait(50);
        const int queuedBefore = HandlerThread::shared()->pendingCount();
        emit window->handler()->playFrameDue(clip, firstChain);
        // Dropped at once rather than sent back beside the new chain.
        QCOMPARE(HandlerThread::shared()->pendingCount(), queuedBefore);
        blocker.gate.release();
        window->onBtnStopClick();
    }

    void clipPreviewKeepsTheDisplaysFrameTime_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("frameTime");
        // The display shows every clip frame a tenth of a second, whatever the items keep.
        QTest::newRow("video clip") << int(ImageObject::KindVideoFrame) << 10.0;
        QTest::newRow("read-back clip") << int(ImageObject::KindReadClipFrame) << 0.2;
    }

    // The preview sends each next frame after the time the display shows a clip frame.
    void clipPreviewKeepsTheDisplaysFrameTime()
    {
        QFETCH(int, kind);
        QFETCH(double, frameTime);
        auto *clip = new MediaObject(1, QString());
        for (int i = 1; i <= 3; ++i)
            (clip->frames << makePicture(i, kind)).last()->displayTime = frameTime;
        window->clipModel()->addItem(clip);
        QCOMPARE(ClipPlayer::frameIntervalMs(clip), 100);
    }

    void playingAClipCyclesItsFramesUntilStopped()
    {
        auto *clip = new MediaObject(1, QString());
        for (int i = 1; i <= 3; ++i)
            clip->frames << makePicture(i, ImageObject::KindGifFrame);
        window->clipModel()->addItem(clip);
        window->pressMediaWidget(window->clipModel()->index(0, 0));
        auto shownRed = [this] {
            return preview()->picture().pixelColor(5, 5).red();
        };
        QCOMPARE(shownRed(), 10);  // the first frame, selected
        window->onBtnPlayClick();
        QVERIFY(child<QPushButton>("btnPlay")->isHidden());
        QVERIFY(!child<QPushButton>("btnStop")->isHidden());
        // Frames 0, 1, 2, 0 ... about every 100 ms (red 10, 20, 30).
        QList<int> seen;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1500 && seen.size() < 5) {
            QTest::qWait(20);
            const int red = shownRed();
            if (seen.isEmpty() || seen.last() != red)
                seen << red;
        }
        QVERIFY2(seen.size() >= 4, qPrintable(QString::number(seen.size())));
        QCOMPARE(seen.mid(0, 4), (QList<int>{10, 20, 30, 10}));
        window->onBtnStopClick();
        QTest::qWait(300);
        const int stoppedAt = shownRed();
        QTest::qWait(500);
        QCOMPARE(shownRed(), stoppedAt);
        QVERIFY(!child<QPushButton>("btnPlay")->isHidden());
    }

    // An edited picture shows its new thumbnail in its row at once; the row's editor stays
    // (what is typed into it is not lost). The row went on showing the picture as it was.
    void editedPictureShowsItsNewThumbnail_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("picture file") << int(ImageObject::KindPictureFile);
        QTest::newRow("drawing") << int(ImageObject::KindDiy);
    }

    void editedPictureShowsItsNewThumbnail()
    {
        QFETCH(int, kind);
        const QString source = tempDir->filePath(QStringLiteral("plain-%1.png").arg(kind));
        QImage plain(240, 240, QImage::Format_RGB32);
        plain.fill(Qt::black);
        QVERIFY(plain.save(source));
        auto *item = new ImageObject(1, source, 5.0, kind);
        item->prepareThumbnail();
        window->pictureModel()->addItems({item});
        auto *view = child<QTableView>("tableView");
        const QModelIndex index = window->pictureModel()->index(0, 0);
        view->setCurrentIndex(index);
        auto *editor = qobject_cast<ImageObjectWidget *>(view->indexWidget(index));
        QVERIFY(editor);
        const QImage before = editor->thumbnailLabel()->pixmap().toImage();
        QVERIFY(!before.isNull());

        // A white square over the middle, then Done without saving to the computer.
        ModalWatcher watcher(QMessageBox::No, [](QWidget *modal) {
            auto *form = qobject_cast<DiyForm *>(modal);
            if (!form || !form->isVisible())
                return;
            form->painter()->setPenColor(Qt::white);
            form->findChild<QToolButton *>(QStringLiteral("btnShapeRect"))->click();
            dragAlong(form->painter(), QPoint(40, 40), QPoint(220, 220));
            form->onBtnOk();
        });
        window->onBtnEditDiy();

        QCOMPARE(view->indexWidget(index), editor);
        const QImage after = editor->thumbnailLabel()->pixmap().toImage();
        QVERIFY(after != before);
        QCOMPARE(after, QPixmap::fromImage(item->loadThumbnail()).toImage());
    }

    void contrastEntryIsDisabledForReadBackPictures_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("picture file") << int(ImageObject::KindPictureFile) << true;
        QTest::newRow("read back") << int(ImageObject::KindReadPicture) << false;
    }

    void contrastEntryIsDisabledForReadBackPictures()
    {
        QFETCH(int, kind);
        QFETCH(bool, enabled);
        addPictures(1, kind);
        child<QTableView>("tableView")->setCurrentIndex(window->pictureModel()->index(0, 0));
        window->onTableViewMenuRequested(QPoint(5, 5));
        QMenu *menu = nullptr;
        for (QMenu *candidate : window->findChildren<QMenu *>())
            if (candidate->isVisible())
                menu = candidate;
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions().first()->isEnabled(), enabled);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("Adjust contrast"));
        menu->close();
    }

    void reorderingMovesAndClamps_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("order");  // original numbers in the new row order
        QTest::newRow("2 to 5") << 2 << 5 << QList<int>{1, 3, 4, 5, 2, 6};
        QTest::newRow("5 to 2") << 5 << 2 << QList<int>{1, 5, 2, 3, 4, 6};
        QTest::newRow("2 to 9 clamps to 6") << 2 << 9 << QList<int>{1, 3, 4, 5, 6, 2};
        QTest::newRow("same place") << 3 << 3 << QList<int>{1, 2, 3, 4, 5, 6};
    }

    void reorderingMovesAndClamps()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, order);
        addPictures(6);
        QHash<ImageObject *, int> original;
        for (ImageObject *item : window->pictureModel()->itemsAs<ImageObject>())
            original.insert(item, item->number);
        ImageObject *moved = window->pictureModel()->itemsAs<ImageObject>().at(from - 1);
        window->onImageIndexChanged(moved, from, to);
        QList<int> actual;
        for (ImageObject *item : window->pictureModel()->itemsAs<ImageObject>())
            actual << original.value(item);
        QCOMPARE(actual, order);
        QCOMPARE(pictureNumbers(), (QList<int>{1, 2, 3, 4, 5, 6}));
    }

    void reorderingClips()
    {
        QList<MediaObject *> clips;
        for (int i = 1; i <= 4; ++i)
            clips << new MediaObject(i, QString());
        window->clipModel()->addItems(clips);
        window->onMediaIndexChanged(clips.at(0), 1, 3);
        QCOMPARE(window->clipModel()->itemsAs<MediaObject>(),
                 (QList<MediaObject *>{clips.at(1), clips.at(2), clips.at(0), clips.at(3)}));
    }

    void fiftyPicturesRefuseAnotherImport_data()
    {
        QTest::addColumn<bool>("drawing"); // New DIY instead of Import Picture
        QTest::newRow("import") << false;
        QTest::newRow("new DIY") << true;
    }

    void fiftyPicturesRefuseAnotherImport()
    {
        QFETCH(bool, drawing);
        addPictures(50);
        bool otherDialog = false;
        ModalWatcher watcher([&otherDialog](QWidget *modal) {
            otherDialog = true;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
        });
        if (drawing)
            window->onActionNewDiy();
        else
            window->onActionOpenImage();
        QVERIFY(!otherDialog);
        QCOMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().title, QStringLiteral("Tip"));
        QCOMPARE(watcher.boxes.first().text,
                 QStringLiteral("The picture list can hold at most 50 pictures!"));
        QCOMPARE(window->pictureModel()->itemCount(), 50);
    }

    void fortyNinePicturesStillOpenTheFileDialog()
    {
        addPictures(49);
        bool fileDialogSeen = false;
        ModalWatcher watcher([&fileDialogSeen](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                fileDialogSeen = true;
                dialog->reject();
            }
        });
        window->onActionOpenImage();
        QVERIFY(fileDialogSeen);
        QVERIFY(watcher.boxes.isEmpty());
        QCOMPARE(window->pictureModel()->itemCount(), 49);
    }

    void addLoadedPictureCopiesWithTheCompleteSuffix()
    {
        const QString source = writePicture(tempDir->path(), QStringLiteral("a.b.png"), 40, 30);
        auto *first = new ImageObject(0, QString(), 5.0, ImageObject::KindPictureFile);
        first->sourcePath = source;
        window->addLoadedPicture(first);
        auto *second = new ImageObject(0, QString(), 5.0, ImageObject::KindPictureFile);
        second->sourcePath = source;
        window->addLoadedPicture(second);
        QCOMPARE(first->sourcePath, workFilePath(QStringLiteral("image_1.b.png")));
        QCOMPARE(second->sourcePath, workFilePath(QStringLiteral("image_2.b.png")));
        QVERIFY(QFile::exists(first->sourcePath));
        QCOMPARE(pictureNumbers(), (QList<int>{1, 2}));
    }

    void addPictureFileConvertsTheCopy()
    {
        addPictures(2);
        const QString source = writePicture(tempDir->path(), QStringLiteral("c.jpg"), 120, 90);
        window->addPictureFile(source);
        const ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().last();
        QCOMPARE(item->number, 3);
        QCOMPARE(item->sourcePath, workFilePath(QStringLiteral("image_1.jpg")));
        QCOMPARE(item->squareRect, QRect(15, 0, 90, 90));
        QVERIFY(QFile::exists(item->samplingPreviewPath()));
        QVERIFY(!const_cast<ImageObject *>(item)->readLedData().isEmpty());
    }

    void clearPlaylistsEmptiesBothLists()
    {
        addPictures(3);
        window->clipModel()->addItem(new MediaObject(1, QString()));
        window->clearPlaylists();
        QCOMPARE(window->pictureModel()->itemCount(), 0);
        QCOMPARE(window->clipModel()->itemCount(), 0);
    }

    void languageButtonsSwitchTheTexts_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("openImage");
        QTest::addColumn<QString>("pictureList");
        QTest::newRow("simplified Chinese") << "btnZhCn" << 1 << "导入图片" << "图片列表";
        QTest::newRow("traditional Chinese") << "btnZhHk" << 2 << "匯入圖片" << "圖片列表";
        QTest::newRow("Japanese") << "btnJp" << 4 << "画像を読み込む" << "画像リスト";
    }

    void languageButtonsSwitchTheTexts()
    {
        QFETCH(QString, button);
        QFETCH(int, code);
        QFETCH(QString, openImage);
        QFETCH(QString, pictureList);
        auto *languageButton = window->findChild<QPushButton *>(button);
        QTest::mouseClick(languageButton, Qt::LeftButton);
        QCOMPARE(languageCode.load(), code);
        QVERIFY(languageButton->isChecked());
        QCOMPARE(toolbarTexts().at(1), openImage);
        QCOMPARE(child<QToolBox>("toolBox")->itemText(0), pictureList);
        // The version label follows the language too.
        QCOMPARE(child<QLabel>("versionLabel")->text(),
                 QCoreApplication::translate("MainWindow", " Ver: %1").arg("T4S_20181127_0.03"));
        QVERIFY(child<QLabel>("versionLabel")->text().endsWith(QStringLiteral("T4S_20181127_0.03")));
        // A standard button follows the toolkit's own translation.
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") != QLatin1String("Cancel"));

        QTest::mouseClick(child<QPushButton>("btnEnUs"), Qt::LeftButton);
        QCOMPARE(languageCode.load(), 3);
        QCOMPARE(toolbarTexts().at(1), QStringLiteral("Import Picture"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }

    void clickingTheActiveLanguageDoesNothing()
    {
        // A text that a retranslation would overwrite stays as it is.
        QAction *open = toolbarActions().at(1);
        open->setText(QStringLiteral("marker"));
        QTest::mouseClick(child<QPushButton>("btnEnUs"), Qt::LeftButton);
        QCOMPARE(open->text(), QStringLiteral("marker"));
        QCOMPARE(languageCode.load(), 3);
        QVERIFY(child<QPushButton>("btnEnUs")->isChecked());
    }

    void resourcesAreCompiledIn_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *name : {"translate_zh_CN", "translate_zh_HK", "translate_en_US",
                                 "translate_jp", "qt_zh_CN", "qt_zh_TW", "qt_ja"})
            QTest::newRow(name) << QStringLiteral(":/ts/%1.qm").arg(QLatin1String(name));
        for (const char *name :
             {"open.png", "download_file.png", "design.png", "import_media.png", "import_gif.png",
              "preview_usb.png", "default_ui.png", "ic_flowers.png", "zh_cn.png", "zh_hk.png",
              "en_us.png", "jp_jp.png", "logo2.jpg", "play.png", "stop.png", "write.png",
              "edit_delete.png", "xine.png", "plus.png", "moins.png", "progress.gif", "A.png",
              "cursor_hand.png", "eraser.png", "line.png", "paintbrush.png", "rect.png",
              "rect_round.png", "round2.png"})
            QTest::newRow(name) << QStringLiteral(":/images/%1").arg(QLatin1String(name));
    }

    void resourcesAreCompiledIn()
    {
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        if (path.endsWith(QLatin1String(".qm"))) {
            QTranslator translator;
            QVERIFY(translator.load(path));
            QVERIFY(!translator.isEmpty());
        } else {
            QImageReader reader(path);
            QVERIFY(!reader.read().isNull());
            if (path.endsWith(QLatin1String(".gif")))
                QVERIFY(reader.imageCount() > 1);
        }
    }

    void englishCatalogueCoversTheOtherDialogs_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("english");
        QTest::newRow("save name title") << "GetSaveFileDialog" << "请输入保存的文件名" << "Please enter the file name!";
        QTest::newRow("save ok") << "GetSaveFileDialog" << "确定" << "Ok";
        QTest::newRow("save bad name") << "GetSaveFileDialog" << "savefile_invalid_name" << "This name cannot be used for a file: %1";
        QTest::newRow("save bad name title") << "GetSaveFileDialog" << "dialog_title_tip" << "Tip";
        QTest::newRow("disk title") << "SelectUsbPathDialog" << "选择U盘路径" << "Select a USB Drive";
        QTest::newRow("disk label") << "SelectUsbPathDialog" << "当前检测到的所有U盘：" << "USB drives found:";
        QTest::newRow("disk none") << "SelectUsbPathDialog" << "selectusb_title" << "Please select a USB drive.";
        QTest::newRow("downloading") << "MainWindow" << "dialog_title_downloading" << "Downloading the effect…";
        QTest::newRow("download failed") << "MainWindow" << "dialog_title_download_fail" << "Download failed: %1";
        QTest::newRow("no default") << "MainWindow" << "dialog_title_not_find_default" << "The system default file does not exist!";
        QTest::newRow("row time unit") << "ListImageItemDelegate" << "imgwidget_lbl_text4" << "s";
        QTest::newRow("row position") << "ImageObjectWidget" << "imgwidget_lbl_text2" << "%1 ";
        QTest::newRow("row spacer is one space") << "ImageObjectWidget" << "imgwidget_lbl_text3" << " ";
        QTest::newRow("failed files") << "LoadImagesDialog" << "loadimg_failed_files" << "These files could not be read as pictures:\n%1";
        QTest::newRow("import tip") << "LoadImagesDialog" << "loadimg_loading_tip" << "Importing picture %1 of %2";
        QTest::newRow("busy cancel") << "ProgressDialog" << "action_btn_cancel" << "Cancel";
        QTest::newRow("video time") << "LoadMediaDialog" << "%1hour%2minute%3second" << "%1H %2M %3S";
        QTest::newRow("gif tip") << "LoadGifDialog" << "loadgif_loading_tip" << "Importing the GIF…";
        QTest::newRow("diy font") << "DiyForm" << "diyform_lblfont_title" << "Font: %1\nSize: %2";
        QTest::newRow("contrast") << "UpdateImageContract" << "updatecontract_lbl_title" << "Contrast:";
        QTest::newRow("zoom") << "GetImgeLocationDialog" << "放大图片" << "Zoom In";
    }

    void englishCatalogueCoversTheOtherDialogs()
    {
        QFETCH(QString, context);
        QFETCH(QString, key);
        QFETCH(QString, english);
        QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), key.toUtf8().constData()),
                 english);
    }

    void busyDialogHasItsAnimationAndCancel()
    {
        ProgressDialog dialog(QStringLiteral("working"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Tip"));
        QCOMPARE(dialog.text(), QStringLiteral("working"));
        QVERIFY(dialog.movie()->isValid());
        QCOMPARE(dialog.movie()->state(), QMovie::Running);
        auto *label = dialog.findChild<QLabel *>(QStringLiteral("lblAnimation"));
        QCOMPARE(label->size(), QSize(72, 72));
        const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->text(), QStringLiteral("Cancel"));
        dialog.show();
        QTest::mouseClick(buttons.first(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }

    void heldPlusStepsUntilReleased()
    {
        addPictures(1);
        window->show();
        auto *tableView = child<QTableView>("tableView");
        const QModelIndex index = window->pictureModel()->index(0, 0);
        tableView->openPersistentEditor(index);
        auto *editor = qobject_cast<ImageObjectWidget *>(tableView->indexWidget(index));
        QVERIFY(editor);
        ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().first();
        emit editor->plusButton()->pressed();
        QTRY_VERIFY(item->displayTime > 5.1);
        QTest::qWait(450);
        emit editor->plusButton()->released();
        const double reached = item->displayTime;
        QVERIFY2(reached >= 5.39 && reached <= 6.01, qPrintable(QString::number(reached)));
        QTest::qWait(500);
        // At most the echo already on its way; then nothing more.
        QVERIFY(item->displayTime <= reached + 0.21);
        const double settled = item->displayTime;
        QTest::qWait(400);
        QCOMPARE(item->displayTime, settled);
        QCOMPARE(editor->timeField()->text(), QString::number(settled, 'g', 6));
    }

    void echoForALiveEditorStepsOnceAndSendsAgain()
    {
        addPictures(1);
        window->show();
        auto *tableView = child<QTableView>("tableView");
        const QModelIndex index = window->pictureModel()->index(0, 0);
        tableView->openPersistentEditor(index);
        auto *editor = qobject_cast<ImageObjectWidget *>(tableView->indexWidget(index));
        QVERIFY(editor);
        ImageObject *item = window->pictureModel()->itemsAs<ImageObject>().first();
        // Hold the loop so that the press's own message waits; the echo is handed in here.
        BlockingHandler blocker(HandlerThread::shared());
        blocker.sendCode(1);
        QTest::qWait(50);
        emit editor->minusButton()->pressed();
        const int queuedBefore = HandlerThread::shared()->pendingCount();
        emit window->handler()->rowStepDue(editor, ImageObjectWidget::CodeTimeDel, 0);
        QCOMPARE(item->displayTime, 4.8);
        QCOMPARE(HandlerThread::shared()->pendingCount(), queuedBefore + 1);
        emit editor->minusButton()->released();
        QCOMPARE(HandlerThread::shared()->pendingCount(), queuedBefore - 1);
        blocker.gate.release();
        QTest::qWait(100);
    }

    void echoForADestroyedEditorDoesNothing()
    {
        addPictures(1);
        auto *clip = new MediaObject(1, QString());
        window->clipModel()->addItem(clip);
        window->show();
        auto *tableView = child<QTableView>("tableView");
        const QModelIndex index = window->pictureModel()->index(0, 0);
        tableView->openPersistentEditor(index);
        QObject *editor = tableView->indexWidget(index);
        QVERIFY(ImageObjectWidget::isLive(editor));
        tableView->closePersistentEditor(index);
        QTest::qWait(50);  // the view deletes its editor later
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!ImageObjectWidget::isLive(editor));
        const int queuedBefore = HandlerThread::shared()->pendingCount();
        for (int code : {9, 10, 11, 12})
            emit window->handler()->rowStepDue(editor, code, 0);
        QCOMPARE(HandlerThread::shared()->pendingCount(), queuedBefore);
        QCOMPARE(window->pictureModel()->itemsAs<ImageObject>().first()->displayTime, 5.0);
        QCOMPARE(clip->loopCount, 1);
    }

    void downloadCompletionTellsSuccessOrFailure_data()
    {
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("text");
        QTest::newRow("success") << QString() << "Download success: E:/show.bin";
        QTest::newRow("failure") << "the disk is full" << "Download failed: the disk is full";
    }

    void downloadCompletionTellsSuccessOrFailure()
    {
        QFETCH(QString, detail);
        QFETCH(QString, text);
        ModalWatcher watcher;
        emit window->handler()->downloadFinished(QStringLiteral("E:/show.bin"), detail);
        QCOMPARE(watcher.boxes.size(), 1);
        QCOMPARE(watcher.boxes.first().title, QStringLiteral("Tip"));
        QCOMPARE(watcher.boxes.first().text, text);
        QVERIFY(!window->isDownloadPending());
    }

    void everyPlaylistChangeIsRefusedWhileLocked_data()
    {
        QTest::addColumn<bool>("download");  // else a contrast change under way
        QTest::addColumn<int>("action");
        const QList<QPair<const char *, Action>> all{
            {"import picture", OpenImage}, {"import picture files", ImportFiles},
            {"new DIY", NewDiy}, {"edit DIY", EditDiy}, {"import video", LoadVideo},
            {"import GIF", LoadGif}, {"contrast", Contrast}, {"delete picture", DeletePicture},
            {"delete clip", DeleteClip}, {"reorder pictures", ReorderPictures},
            {"reorder clips", ReorderClips}, {"preview", Preview}, {"reset", Reset},
            {"drop a picture and a video", DropFiles}, {"paste a picture", PastePicture},
            {"drag a row", DragRow}, {"drop an effect file", DropEffect},
            {"LED count", LedCount}, {"line number", LineNumber}};
        for (const auto &[name, action] : all)
            QTest::addRow("download pending: %s", name) << true << int(action);
        // A contrast change only keeps the items from being destroyed.
        for (const auto &[name, action] : all) {
            if (action >= DeletePicture && action != ReorderPictures && action != ReorderClips
                && action != DragRow)
                QTest::addRow("contrast under way: %s", name) << false << int(action);
        }
    }

    void everyPlaylistChangeIsRefusedWhileLocked()
    {
        QFETCH(bool, download);
        QFETCH(int, action);
        addPictures(2);
        QList<MediaObject *> clips;
        for (int i = 1; i <= 2; ++i) {
            clips << new MediaObject(i, QString());
            clips.last()->frames << makePicture(i, ImageObject::KindGifFrame);
        }
        window->clipModel()->addItems(clips);
        const QList<ImageObject *> pictures = window->pictureModel()->itemsAs<ImageObject>();
        child<QTableView>("tableView")->setCurrentIndex(window->pictureModel()->index(0, 0));
        child<QTableView>("tableViewMedia")->setCurrentIndex(window->clipModel()->index(0, 0));

        auto blocker = std::make_unique<BlockingHandler>(HandlerThread::shared());
        blocker->sendCode(1);
        if (download) {
            ModalWatcher cancel([](QWidget *modal) {
                if (auto *busy = qobject_cast<ProgressDialog *>(modal))
                    busy->reject();
            });
            window->startDownload(tempDir->filePath(QStringLiteral("locked.bin")));
            QVERIFY(window->isDownloadPending());
        } else {
            window->contrastJobs()->post(pictures.first(), 12, QImage());
            QVERIFY(window->playlistInUse());
        }

        QStringList opened;  // any dialog the action got as far as opening
        ModalWatcher watcher([&opened](QWidget *modal) {
            opened << QString::fromLatin1(modal->metaObject()->className());
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
        });
        const QString file = writePicture(tempDir->path(), QStringLiteral("new.png"), 40, 30);
        switch (Action(action)) {
        case OpenImage: window->onActionOpenImage(); break;
        case ImportFiles: window->importPictureFiles({file}); break;
        case NewDiy: window->onActionNewDiy(); break;
        case EditDiy: window->onBtnEditDiy(); break;
        case LoadVideo: window->onActionLoadMedia(); break;
        case LoadGif: window->onActionLoadGif(); break;
        case Contrast: window->updateImageContract(); break;
        case DeletePicture: window->onBtnDelImage(); break;
        case DeleteClip: window->onBtnDelMedia(); break;
        case ReorderPictures: window->onImageIndexChanged(pictures.first(), 1, 2); break;
        case ReorderClips: window->onMediaIndexChanged(clips.first(), 1, 2); break;
        case Preview: window->onActionPreviewFromUsb(); break;
        case Reset: window->onActionRestoreFactory(); break;
        case LedCount: window->onBtnLedCount(); break;
        case LineNumber: window->onBtnLineNumber(); break;
        case DropFiles:
        case DropEffect:
        case DragRow: {
            auto data = std::make_unique<QMimeData>();
            QWidget *target = window.get();
            QPoint at(10, 10);
            if (Action(action) == DragRow) {
                // The first row dropped below the second.
                auto *list = child<QTableView>("tableView");
                data.reset(ListDrops::rowData(list, 0));
                target = list->viewport();
                at = list->visualRect(window->pictureModel()->index(1, 0)).center() + QPoint(0, 10);
            } else if (Action(action) == DropFiles) {
                const QString film = tempDir->filePath(QStringLiteral("film.mp4"));
                QFile(film).open(QIODevice::WriteOnly);
                data->setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(film)});
            } else {
                const QString effect = tempDir->filePath(QStringLiteral("effect.bin"));
                QFile out(effect);
                QVERIFY(out.open(QIODevice::WriteOnly) && out.write(QByteArray(4096, '\0')) == 4096);
                out.close();
                data->setUrls({QUrl::fromLocalFile(effect)});
            }
            const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
            QDragEnterEvent enter(at, both, data.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(at), both, data.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &drop);
            QVERIFY(drop.isAccepted());
            QTRY_VERIFY(!window->dropDispatcher()->isBusy());
            QTRY_COMPARE(watcher.boxes.size(), 1);
            break;
        }
        case PastePicture: {
            QImage picture(30, 20, QImage::Format_RGB32);
            picture.fill(Qt::red);
            QGuiApplication::clipboard()->setImage(picture);
            window->findChild<QAction *>(QStringLiteral("actionPaste"))->trigger();
            QTRY_VERIFY(!window->dropDispatcher()->isBusy());
            break;
        }
        }
        QCOMPARE(opened, QStringList());
        QCOMPARE(watcher.boxes.size(), 1);
        const QString reason = download ? QStringLiteral("download is in progress")
                                        : QStringLiteral("still in use");
        QVERIFY2(watcher.boxes.first().text.contains(reason),
                 qPrintable(watcher.boxes.first().text));
        QCOMPARE(window->pictureModel()->itemsAs<ImageObject>(), pictures);
        QCOMPARE(window->clipModel()->itemsAs<MediaObject>(), clips);
        QCOMPARE(pictureNumbers(), (QList<int>{1, 2}));
        QCOMPARE(ledCount.load(), kDefaultLedCount);

        blocker->gate.release();
        QTRY_VERIFY(!window->playlistInUse());
        blocker.reset();
    }

    void previewButtonsFollowPlayAndSelection_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");  // "", "play" or "stop"
        QTest::addColumn<bool>("playing");
        QTest::newRow("start") << "" << "" << false;
        QTest::newRow("clip selected") << "clip" << "play" << false;
        QTest::newRow("played") << "clip play" << "stop" << true;
        QTest::newRow("stopped") << "clip play stop" << "play" << false;
        QTest::newRow("played again") << "clip play stop play" << "stop" << true;
        QTest::newRow("picture selected while playing") << "clip play picture" << "" << false;
        QTest::newRow("contrast changed while playing") << "clip play contrast" << "" << false;
        QTest::newRow("clip without frames selected") << "clip play empty" << "play" << false;
        QTest::newRow("clip deselected") << "clip play none" << "" << false;
        QTest::newRow("playing clip deleted") << "clip play delete" << "" << false;
        QTest::newRow("show") << "show" << "stop" << true;
        QTest::newRow("show stopped, no clip") << "show stop" << "" << false;
        QTest::newRow("show stopped, clip selected") << "clip show stop" << "play" << false;
        QTest::newRow("show after the clip") << "clip play show" << "stop" << true;
    }

    void previewButtonsFollowPlayAndSelection()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        QFETCH(bool, playing);
        addPictures(1);
        auto *clip = new MediaObject(1, QString());
        clip->frames << makePicture(1, ImageObject::KindGifFrame)
                     << makePicture(2, ImageObject::KindGifFrame);
        window->clipModel()->addItems(QList<MediaObject *>{clip, new MediaObject(2, QString())});
        CustomTableModel *clips = window->clipModel();
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("clip")) {
                child<QTableView>("tableViewMedia")->setCurrentIndex(clips->index(0, 0));
                window->pressMediaWidget(clips->index(0, 0));
            } else if (step == QLatin1String("empty")) {
                window->pressMediaWidget(clips->index(1, 0));
            } else if (step == QLatin1String("none")) {
                window->pressMediaWidget(QModelIndex());
            } else if (step == QLatin1String("picture")) {
                window->pressImageWidget(window->pictureModel()->index(0, 0));
            } else if (step == QLatin1String("contrast")) {
                window->onImageContractChanged(window->pictureModel()->itemAt(0));
            } else if (step == QLatin1String("delete")) {
                window->onBtnDelMedia();
            } else if (step == QLatin1String("play")) {
                window->onBtnPlayClick();
            } else if (step == QLatin1String("stop")) {
                window->onBtnStopClick();
            } else if (step == QLatin1String("show")) {
                window->onActionPlayShow();
            }
        }
        QCOMPARE(!child<QPushButton>("btnPlay")->isHidden(), shown == QLatin1String("play"));
        QCOMPARE(!child<QPushButton>("btnStop")->isHidden(), shown == QLatin1String("stop"));
        QCOMPARE(window->isPlaying(), playing);
        window->onBtnStopClick();
    }

    void windowClosesWhileTheWorkerReports_data()
    {
        QTest::addColumn<QString>("job");
        for (const char *job : {"play frame", "row step", "download", "read", "contrast"})
            QTest::newRow(job) << QString::fromLatin1(job);
    }

    void windowClosesWhileTheWorkerReports()
    {
        // The job waits behind a blocked loop, runs while the window is being destroyed and
        // reports to receivers that are going or gone.
        QFETCH(QString, job);
        addPictures(1);
        auto *clip = new MediaObject(1, QString());
        clip->frames << makePicture(1, ImageObject::KindGifFrame);
        window->clipModel()->addItem(clip);
        window->show();
        auto blocker = std::make_unique<BlockingHandler>(HandlerThread::shared());
        blocker->sendCode(1);
        ModalWatcher cancel([](QWidget *modal) {
            if (auto *busy = qobject_cast<ProgressDialog *>(modal))
                busy->reject();
        });
        ImageObject *picture = window->pictureModel()->itemsAs<ImageObject>().first();
        if (job == QLatin1String("play frame")) {
            window->pressMediaWidget(window->clipModel()->index(0, 0));
            window->onBtnPlayClick();
        } else if (job == QLatin1String("row step")) {
            auto *view = child<QTableView>("tableView");
            view->openPersistentEditor(window->pictureModel()->index(0, 0));
            auto *editor = qobject_cast<ImageObjectWidget *>(
                view->indexWidget(window->pictureModel()->index(0, 0)));
            QVERIFY(editor);
            emit editor->plusButton()->pressed();
        } else if (job == QLatin1String("download")) {
            window->startDownload(tempDir->filePath(QStringLiteral("closing.bin")));
            QVERIFY(window->isDownloadPending());
        } else if (job == QLatin1String("read")) {
            window->readBack()->start(PlayMediaHandler::PreviewReadCode,
                                      tempDir->filePath(QStringLiteral("none.bin")), QString());
            QVERIFY(window->readBack()->isBusy());
        } else {
            window->contrastJobs()->post(picture, 12, QImage());
        }
        QPointer<PlayMediaHandler> handler(window->handler());
        blocker->gate.release();
        window.reset();
        QVERIFY(handler.isNull());
        // Whatever was reported is dropped with its receiver; nothing more arrives.
        QTest::qWait(300);
        QCOMPARE(HandlerThread::shared()->pendingCount(), 0);
        blocker.reset();
    }

    void cancelledBusyDialogKeepsThePlaylistLockedUntilTheWriteEnds()
    {
        addPictures(2);
        auto blocker = std::make_unique<BlockingHandler>(HandlerThread::shared());
        blocker->sendCode(1);
        ModalWatcher watcher([](QWidget *modal) {
            if (auto *busy = qobject_cast<ProgressDialog *>(modal))
                busy->reject();  // the user's Cancel
        });
        window->startDownload(tempDir->filePath(QStringLiteral("late.bin")));
        QVERIFY(window->isDownloadPending());
        QVERIFY(!window->currentBusyDialog());
        child<QTableView>("tableView")->setCurrentIndex(window->pictureModel()->index(0, 0));
        window->onBtnDelImage();
        QCOMPARE(window->pictureModel()->itemCount(), 2);
        QCOMPARE(watcher.boxes.size(), 1);  // the refusal
        blocker->gate.release();
        QTRY_VERIFY(!window->isDownloadPending());
        QTRY_COMPARE(watcher.boxes.size(), 2);
        QVERIFY(watcher.boxes.last().text.startsWith(QStringLiteral("Download ")));
        blocker.reset();
        window->onBtnDelImage();
        QCOMPARE(window->pictureModel()->itemCount(), 1);
    }

    void downloadWritesTheSnapshotAndLocksThePlaylistMeanwhile()
    {
        addPictures(2);
        const QString target = tempDir->filePath(QStringLiteral("show.bin"));
        auto *blocker = new BlockingHandler(HandlerThread::shared());
        blocker->sendCode(1);
        bool busySeen = false;
        int rowsWhileBusy = -1;
        ModalWatcher watcher([&](QWidget *modal) {
            if (!qobject_cast<ProgressDialog *>(modal) || busySeen)
                return;
            busySeen = true;
            QVERIFY(window->isDownloadPending());
            QCOMPARE(modal->findChild<QLabel *>(QStringLiteral("lblText"))->text(),
                     QStringLiteral("Downloading the effect…"));
            auto *tableView = child<QTableView>("tableView");
            tableView->setCurrentIndex(window->pictureModel()->index(0, 0));
            window->onBtnDelImage();
            ImageObject *first = window->pictureModel()->itemsAs<ImageObject>().first();
            window->onImageIndexChanged(first, 1, 2);
            window->clearPlaylists();
            rowsWhileBusy = window->pictureModel()->itemCount();
            blocker->gate.release();
        });
        window->startDownload(target);
        QVERIFY(busySeen);
        QCOMPARE(rowsWhileBusy, 2);
        QCOMPARE(pictureNumbers(), (QList<int>{1, 2}));
        QVERIFY(!window->isDownloadPending());
        QVERIFY(!window->currentBusyDialog());
        // Two refusals, then the outcome of the write.
        QCOMPARE(watcher.boxes.size(), 3);
        QCOMPARE(watcher.boxes.at(0).text, QStringLiteral("A download is in progress; the playlist cannot be changed until it has finished."));
        QVERIFY(watcher.boxes.at(2).text.startsWith(QStringLiteral("Download ")));
        // The pictures here carry no LED data, so the writer has only the header to write.
        QVERIFY(QFile::exists(target) || watcher.boxes.at(2).text.startsWith("Download failed"));
        delete blocker;
        // Unlocked again.
        child<QTableView>("tableView")->setCurrentIndex(window->pictureModel()->index(0, 0));
        window->onBtnDelImage();
        QCOMPARE(window->pictureModel()->itemCount(), 1);
    }

    void readBackReplacesThePlaylistsOnlyWhileAwaited_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("read awaited") << false;
        QTest::newRow("busy dialog cancelled first") << true;
    }

    void readBackReplacesThePlaylistsOnlyWhileAwaited()
    {
        QFETCH(bool, cancel);
        for (const char *name : {"a.png", "b.png", "c.png"})
            window->addPictureFile(writePicture(tempDir->path(), QLatin1String(name), 80, 60));
        const QString target = tempDir->filePath(QStringLiteral("show.bin"));
        {
            ModalWatcher closeOutcome;
            window->startDownload(target);
        }
        QVERIFY(QFile::exists(target));
        window->pictureModel()->delRow(0, 1);
        const QList<ImageObject *> before = window->pictureModel()->itemsAs<ImageObject>();

        std::unique_ptr<BlockingHandler> blocker;
        if (cancel) {
            blocker = std::make_unique<BlockingHandler>(HandlerThread::shared());
            blocker->sendCode(1);
        }
        QSignalSpy readEnded(window->handler(), &PlayMediaHandler::previewUsbOver);
        ModalWatcher watcher([&](QWidget *modal) {
            if (auto *busy = qobject_cast<ProgressDialog *>(modal); busy && cancel) {
                busy->reject();
                blocker->gate.release();
            }
        });
        window->readBack()->start(PlayMediaHandler::PreviewReadCode, target, QStringLiteral("…"));
        QVERIFY(!window->readBack()->isPending());
        QTRY_VERIFY(!window->currentBusyDialog());
        if (cancel) {
            // The late report destroys what was read and leaves the playlist alone.
            QTRY_COMPARE(readEnded.count(), 1);
            QCoreApplication::processEvents();
            QCOMPARE(window->pictureModel()->itemsAs<ImageObject>(), before);
            return;
        }
        const QList<ImageObject *> read = window->pictureModel()->itemsAs<ImageObject>();
        QCOMPARE(read.size(), 3);
        for (const ImageObject *item : read)
            QCOMPARE(item->kind, int(ImageObject::KindReadPicture));
        QVERIFY(!child<QPushButton>("btnDelImage")->isEnabled());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
