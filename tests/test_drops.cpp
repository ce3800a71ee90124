#include "EffectTestSupport.h"
#include "GifFixtures.h"
#include "MainWindowTestSupport.h"
#include "PictureFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/ShowSchema.h"
#include "ui/import/LoadGifDialog.h"
#include "ui/import/LoadImagesDialog.h"
#include "ui/main/DropDispatcher.h"
#include "ui/main/DroppedFiles.h"
#include "ui/main/ListDrops.h"
#include "ui/main/MainWindow.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/playlist/ImageObjectWidget.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QUndoStack>
#include <QUrl>
#include <QtEndian>
#include <QtTest>

#include <memory>

using namespace effecttest;

namespace {

// A small geometry keeps the effect files of these tests small.
constexpr int kLeds = 8;
constexpr int kLines = 16;

// Lets a picture import run to its end and presses "Import completed", as the user would.
void finishImport(LoadImagesDialog *dialog)
{
    auto *poll = new QTimer(dialog);
    QObject::connect(poll, &QTimer::timeout, dialog, [dialog] {
        if (dialog->loadOverButton()->isEnabled())
            dialog->loadOverButton()->click();
    });
    poll->start(20);
}

} // namespace

// Files dropped on the window and its lists, rows dragged within a list, and Paste: each file
// reaches the import its kind has, in the dropped order, under the playlist's limit and lock.
class TestDrops : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tempDir;
    std::unique_ptr<MainWindow> window;

    QString dropDir() const { return tempDir->filePath(QStringLiteral("dropped")); }

    // Makes the file a row names: "p<i>.jpg" a (100 + i) x (80 + i) picture, "*.gif" an
    // animated GIF, "effect.bin" / "effect.dat" an effect of the test geometry, "show.hdshow"
    // and "show.db" the start of a show, "odd.bin" bytes of no geometry, "folder/" a
    // directory, "fifo.png" a FIFO, "gone.png" nothing, anything else a line of text.
    QString make(const QString &name)
    {
        QDir().mkpath(dropDir());
        const QString path = QDir(dropDir()).filePath(name);
        static const QRegularExpression picture(QStringLiteral("^p(\\d+)\\.jpg$"));
        if (const auto match = picture.match(name); match.hasMatch()) {
            const int i = match.captured(1).toInt();
            return writePicture(dropDir(), name, 100 + i, 80 + i);
        }
        if (name.endsWith(QLatin1String(".gif")))
            return GifFixtures::write(dropDir(), name, GifFixtures::encode(GifFixtures::frames(3)));
        if (name.startsWith(QLatin1String("effect."))) {
            SlottedShape shape;
            shape.pictureCount = 2;
            writeBytes(path, slottedFile(shape));
            return path;
        }
        if (name.startsWith(QLatin1String("show."))) {
            QByteArray header(100, '\0');
            header.replace(0, 16, QByteArray("SQLite format 3\0", 16));
            qToBigEndian<quint32>(quint32(ShowSchema::ApplicationId), header.data() + 68);
            writeBytes(path, header + QByteArray(4096, '\0'));
            return path;
        }
        if (name == QLatin1String("odd.bin")) {
            writeBytes(path, QByteArray(1000, '\x07'));
            return path;
        }
        if (name.endsWith(u'/')) {
            QDir().mkpath(path);
            return path.chopped(1);
        }
        if (name == QLatin1String("fifo.png"))
            return PictureFixtures::makeFifo(dropDir(), name);
        if (name == QLatin1String("gone.png"))
            return path;
        if (name.endsWith(QLatin1String(".mp4"))) {
            writeBytes(path, QByteArray("not really a film"));
            return path;
        }
        writeBytes(path, QByteArray("some words, no picture\n"));
        return path;
    }

    QStringList makeAll(const QStringList &names)
    {
        QStringList paths;
        for (const QString &name : names)
            paths << make(name);
        return paths;
    }

    static QMimeData *filesData(const QStringList &paths)
    {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        return data;
    }

    // Enter, move and drop at pos of target, as the window system delivers a drag.
    static bool dropOn(QWidget *target, const QPoint &pos, const QMimeData *data,
                       Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        QDragEnterEvent enter(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(pos), actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

    void waitForDrops() { QTRY_VERIFY_WITH_TIMEOUT(!window->dropDispatcher()->isBusy(), 30000); }

    QTableView *view(bool clips) const
    {
        return window->findChild<QTableView *>(clips ? "tableViewMedia" : "tableView");
    }

    QList<ImageObject *> pictures() const
    {
        return window->pictureModel()->itemsAs<ImageObject>();
    }

    // The picture sides of the imported squares, in list order (a placeholder counts 0).
    QList<int> sides() const
    {
        QList<int> result;
        for (const ImageObject *item : pictures())
            result << item->squareRect.width();
        return result;
    }

    QList<ImageObject *> placeholders(int count)
    {
        QList<ImageObject *> items;
        for (int i = 1; i <= count; ++i)
            items << new ImageObject(i, QString(), 5.0, ImageObject::KindPictureFile);
        window->pictureModel()->addItems(items);
        return items;
    }

    // Every number is its row's, counted from 1.
    static bool numberedByRow(const QList<ImageObject *> &items)
    {
        for (int row = 0; row < items.size(); ++row) {
            if (items[row]->number != row + 1)
                return false;
        }
        return true;
    }

    // A point of the picture list's viewport in the upper or lower half of row.
    QPoint inRow(bool clips, int row, bool upper) const
    {
        const QRect rect = view(clips)->visualRect(view(clips)->model()->index(row, 0));
        return QPoint(rect.center().x(), upper ? rect.top() + rect.height() / 4
                                               : rect.bottom() - rect.height() / 4);
    }

    void showWindow()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

private slots:
    void init()
    {
        QVERIFY(openFreshWindow(tempDir, window));
        ledCount = kLeds;
        lineNumber = kLines;
    }
    void cleanup() { closeFreshWindow(tempDir, window); }

    void classifiesByContentWhereItCan_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::newRow("jpeg") << "p1.jpg" << int(DroppedFiles::Picture);
        QTest::newRow("animated gif") << "a.gif" << int(DroppedFiles::Gif);
        QTest::newRow("text named like a picture") << "notes.png" << int(DroppedFiles::Unsupported);
        QTest::newRow("effect of the geometry") << "effect.bin" << int(DroppedFiles::Effect);
        QTest::newRow("effect under another name") << "effect.dat" << int(DroppedFiles::Effect);
        QTest::newRow(".bin of no geometry (its read says why)") << "odd.bin" << int(DroppedFiles::Effect);
        QTest::newRow("show by its name") << "show.hdshow" << int(DroppedFiles::Show);
        QTest::newRow("show by its content") << "show.db" << int(DroppedFiles::Show);
        QTest::newRow("video by its name") << "film.mp4" << int(DroppedFiles::Video);
        QTest::newRow("plain text") << "notes.txt" << int(DroppedFiles::Unsupported);
        QTest::newRow("directory") << "folder/" << int(DroppedFiles::Unsupported);
        QTest::newRow("FIFO named like a picture") << "fifo.png" << int(DroppedFiles::Unsupported);
        QTest::newRow("missing file") << "gone.png" << int(DroppedFiles::Unsupported);
    }

    void classifiesByContentWhereItCan()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        const QString path = make(name);
        QVERIFY(!path.isEmpty());
        // A FIFO must be told apart without being opened: this returns at all.
        QCOMPARE(int(DroppedFiles::classify(path)), kind);
    }

    // A JPEG's first bytes renamed ".jpg" are still a picture; a picture renamed ".txt" too.
    void pictureIsKnownByItsBytesNotItsName()
    {
        const QString jpeg = make(QStringLiteral("p3.jpg"));
        const QString renamed = QDir(dropDir()).filePath(QStringLiteral("holiday.txt"));
        QVERIFY(QFile::copy(jpeg, renamed));
        QCOMPARE(DroppedFiles::classify(renamed), DroppedFiles::Picture);
    }

    void dropOnTheWindow_data()
    {
        QTest::addColumn<int>("before");          // placeholder pictures in the list
        QTest::addColumn<QStringList>("names");   // dropped, in this order
        QTest::addColumn<QList<int>>("sides");    // picture sides afterwards, in list order
        QTest::addColumn<int>("gifDialogs");      // GIF import dialogs that ran
        QTest::addColumn<QStringList>("boxes");   // one text fragment per message box, in order
        QTest::addColumn<QString>("show");        // the show signalled, or empty

        const QStringList none;
        QTest::newRow("pictures only, in the dropped order")
            << 0 << QStringList{"p2.jpg", "p0.jpg", "p1.jpg"} << QList<int>{82, 80, 81} << 0
            << none << QString();
        QTest::newRow("picture, GIF and an unsupported file")
            << 0 << QStringList{"notes.txt", "p1.jpg", "a.gif"} << QList<int>{81} << 1
            << QStringList{"notes.txt"} << QString();
        QTest::newRow("two GIFs one after the other")
            << 0 << QStringList{"a.gif", "b.gif"} << QList<int>{} << 2 << none << QString();
        QTest::newRow("only unsupported files change nothing")
            << 2 << QStringList{"notes.txt", "folder/", "fifo.png"} << QList<int>{0, 0} << 0
            << QStringList{"notes.txt\nfolder\nfifo.png"} << QString();
        QTest::newRow("effect file is read back after the confirmation")
            << 1 << QStringList{"effect.bin"} << QList<int>{0, 0} << 0
            << QStringList{"will be replaced"} << QString();
        QTest::newRow("show file is signalled and nothing else changes")
            << 1 << QStringList{"show.hdshow"} << QList<int>{0} << 0 << none << "show.hdshow";
        QTest::newRow("a second show is named, the first one opens")
            << 0 << QStringList{"show.hdshow", "show.db"} << QList<int>{} << 0
            << QStringList{"show.db"} << "show.hdshow";
        QTest::newRow("over the limit: the rest is counted")
            << 48 << QStringList{"p0.jpg", "p1.jpg", "p2.jpg", "p3.jpg"}
            << QList<int>(48, 0) + QList<int>{80, 81} << 0 << QStringList{" 2 "} << QString();
        QTest::newRow("full list takes no picture but still the GIF")
            << 50 << QStringList{"p0.jpg", "a.gif"} << QList<int>(50, 0) << 1
            << QStringList{"50"} << QString();
    }

    void dropOnTheWindow()
    {
        QFETCH(int, before);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, sides);
        QFETCH(int, gifDialogs);
        QFETCH(QStringList, boxes);
        QFETCH(QString, show);
        placeholders(before);
        const QStringList paths = makeAll(names);
        QSignalSpy shows(window->dropDispatcher(), &DropDispatcher::showFileDropped);
        // The show's opening (its question, its refusal of these made-up files) is the
        // session's, tested with it: here only that the drop hands the show over.
        QObject::disconnect(window->dropDispatcher(), &DropDispatcher::showFileDropped,
                            window.get(), nullptr);
        // Each GIF's dialog (seen directly or as the parent of its region dialog), and
        // whether one ever opened while another was still open.
        // (A dialog on the stack may come back at the same address: the gone ones are null.)
        QList<QPointer<QObject>> gifs;
        bool overlapped = false;
        ModalWatcher watcher([&gifs, &overlapped](QWidget *modal) {
            if (auto *import = qobject_cast<LoadImagesDialog *>(modal)) {
                finishImport(import);
                return;
            }
            auto *gif = qobject_cast<LoadGifDialog *>(modal);
            if (!gif)
                gif = qobject_cast<LoadGifDialog *>(modal->parentWidget());
            if (gif && !gifs.contains(gif)) {
                gifs << gif;
                int open = 0;
                for (QWidget *top : QApplication::topLevelWidgets())
                    open += qobject_cast<LoadGifDialog *>(top) && top->isVisible() ? 1 : 0;
                overlapped = overlapped || open > 1;
            }
            // The region of a GIF is cancelled, and with it the GIF's import.
            if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && gif)
                dialog->reject();
        });
        const std::unique_ptr<QMimeData> data(filesData(paths));
        QVERIFY(dropOn(window.get(), QPoint(10, 10), data.get()));
        waitForDrops();
        QTRY_VERIFY(!window->readBack()->isBusy());

        QCOMPARE(this->sides(), sides);
        QVERIFY(numberedByRow(pictures()));
        QCOMPARE(gifs.size(), gifDialogs);
        QVERIFY(!overlapped);
        QCOMPARE(watcher.boxes.size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(watcher.boxes[i].text.contains(boxes[i]), qPrintable(watcher.boxes[i].text));
        QCOMPARE(shows.size(), show.isEmpty() ? 0 : 1);
        if (!show.isEmpty())
            QCOMPARE(shows.first().first().toString(), QDir(dropDir()).filePath(show));
    }

    void dropOnThePictureListGoesInAtItsRow_data()
    {
        QTest::addColumn<int>("row");   // the row dropped on, -1 below the last
        QTest::addColumn<bool>("upper");
        QTest::addColumn<int>("at");    // the first new row, -1 appended
        QTest::newRow("upper half of the first row") << 0 << true << 0;
        QTest::newRow("lower half of the first row") << 0 << false << 1;
        QTest::newRow("upper half of the last row") << 2 << true << 2;
        QTest::newRow("lower half of the last row") << 2 << false << -1;
        QTest::newRow("below the rows") << -1 << true << -1;
    }

    void dropOnThePictureListGoesInAtItsRow()
    {
        QFETCH(int, row);
        QFETCH(bool, upper);
        QFETCH(int, at);
        showWindow();
        const QList<ImageObject *> old = placeholders(3);
        const QStringList paths = makeAll({"p1.jpg", "p0.jpg"});
        ModalWatcher watcher([](QWidget *modal) {
            if (auto *import = qobject_cast<LoadImagesDialog *>(modal))
                finishImport(import);
        });
        QTableView *list = view(false);
        const QPoint pos = row >= 0 ? inRow(false, row, upper)
                                    : QPoint(20, list->viewport()->height() - 5);
        const std::unique_ptr<QMimeData> data(filesData(paths));
        QVERIFY(dropOn(list->viewport(), pos, data.get()));
        waitForDrops();

        QList<int> expected{0, 0, 0};
        const int first = at < 0 ? 3 : at;
        expected.insert(first, 81);
        expected.insert(first + 1, 80);
        QCOMPARE(sides(), expected);
        QVERIFY(numberedByRow(pictures()));
        QList<ImageObject *> kept = pictures();
        kept.remove(first, 2);
        QCOMPARE(kept, old);
        QVERIFY(watcher.boxes.isEmpty());
    }

    void rowDraggedMovesAsOneUndoStep_data()
    {
        QTest::addColumn<bool>("clips");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("row");     // dropped on this row ...
        QTest::addColumn<bool>("upper");  // ... in this half
        QTest::addColumn<QList<int>>("order"); // the original rows, in the new order
        QTest::newRow("picture down") << false << 0 << 2 << false << QList<int>{1, 2, 0, 3};
        QTest::newRow("picture up") << false << 3 << 1 << true << QList<int>{0, 3, 1, 2};
        QTest::newRow("picture onto itself") << false << 1 << 1 << false << QList<int>{0, 1, 2, 3};
        QTest::newRow("picture before its follower") << false << 1 << 2 << true
                                                     << QList<int>{0, 1, 2, 3};
        QTest::newRow("clip down") << true << 0 << 1 << false << QList<int>{1, 0, 2, 3};
        QTest::newRow("clip to the top") << true << 2 << 0 << true << QList<int>{2, 0, 1, 3};
    }

    void rowDraggedMovesAsOneUndoStep()
    {
        QFETCH(bool, clips);
        QFETCH(int, from);
        QFETCH(int, row);
        QFETCH(bool, upper);
        QFETCH(QList<int>, order);
        showWindow();
        CustomTableModel *model = clips ? window->clipModel() : window->pictureModel();
        QList<QObject *> items;
        for (int i = 1; i <= 4; ++i) {
            if (clips)
                items << new MediaObject(i, QString());
            else
                items << new ImageObject(i, QString(), 5.0, ImageObject::KindPictureFile);
        }
        model->addItems(items);
        QUndoStack *history = window->playlist()->history();
        const int steps = history->count();

        QTableView *list = view(clips);
        const std::unique_ptr<QMimeData> data(ListDrops::rowData(list, from));
        QVERIFY(dropOn(list->viewport(), inRow(clips, row, upper), data.get(), Qt::MoveAction));
        QList<QObject *> expected;
        for (int i : order)
            expected << items[i];
        const bool moves = order != QList<int>{0, 1, 2, 3};
        QTRY_COMPARE(history->count(), steps + (moves ? 1 : 0));
        QCOMPARE(model->itemList(), expected);
        if (moves) {
            const QModelIndexList selected = list->selectionModel()->selectedRows();
            QCOMPARE(selected.size(), 1);
            QCOMPARE(selected.first().row(), int(expected.indexOf(items[from])));
        }
        // The undo puts every row back where it was, in one step.
        window->findChild<QAction *>(QStringLiteral("actionUndo"))->trigger();
        QCOMPARE(model->itemList(), moves ? items : expected);
        for (int i = 0; i < model->itemCount(); ++i) {
            QObject *item = model->itemAt(i);
            const int number = clips ? qobject_cast<MediaObject *>(item)->number
                                     : qobject_cast<ImageObject *>(item)->number;
            QCOMPARE(number, i + 1);
        }
    }

    // A row of one list dropped on the other is not taken, and nothing moves.
    void rowOfTheOtherListIsRefused()
    {
        showWindow();
        const QList<ImageObject *> old = placeholders(2);
        window->clipModel()->addItem(new MediaObject(1, QString()));
        const std::unique_ptr<QMimeData> data(ListDrops::rowData(view(true), 0));
        QVERIFY(!dropOn(view(false)->viewport(), inRow(false, 0, true), data.get(), Qt::MoveAction));
        QCoreApplication::processEvents();
        QCOMPARE(pictures(), old);
        QCOMPARE(window->playlist()->history()->count(), 0);
    }

    // A move recorded before pictures were dropped in above the moved row is still undone
    // to a list numbered by its rows.
    void undoOfAMoveAfterAnInsertKeepsTheNumbers()
    {
        showWindow();
        const QList<ImageObject *> old = placeholders(3);
        window->onImageIndexChanged(old[0], 1, 3);
        QCOMPARE(pictures(), (QList<ImageObject *>{old[1], old[2], old[0]}));
        ModalWatcher watcher([](QWidget *modal) {
            if (auto *import = qobject_cast<LoadImagesDialog *>(modal))
                finishImport(import);
        });
        const std::unique_ptr<QMimeData> data(filesData(makeAll({"p0.jpg"})));
        QVERIFY(dropOn(view(false)->viewport(), inRow(false, 0, true), data.get()));
        waitForDrops();
        QCOMPARE(pictures().size(), 4);
        window->findChild<QAction *>(QStringLiteral("actionUndo"))->trigger();
        QVERIFY(numberedByRow(pictures()));
        QCOMPARE(pictures().first(), old[0]);
    }

    // Every picture row's order box shows its item's number after rows before it came or
    // went (a box showing the old number moved the wrong way when chosen).
    void orderBoxesFollowTheRows_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("first row deleted") << "delete0";
        QTest::newRow("middle row deleted") << "delete1";
        QTest::newRow("deletion undone") << "delete0 undo";
        QTest::newRow("picture dropped in front") << "drop0";
        QTest::newRow("moved by the order box") << "move";
    }

    void orderBoxesFollowTheRows()
    {
        QFETCH(QString, steps);
        showWindow();
        placeholders(3);
        QTableView *list = view(false);
        ModalWatcher watcher([](QWidget *modal) {
            if (auto *import = qobject_cast<LoadImagesDialog *>(modal))
                finishImport(import);
        });
        for (const QString &step : steps.split(u' ')) {
            if (step.startsWith(QLatin1String("delete"))) {
                list->selectionModel()->setCurrentIndex(
                    window->pictureModel()->index(step.right(1).toInt(), 0),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                window->onBtnDelImage();
            } else if (step == QLatin1String("undo")) {
                window->findChild<QAction *>(QStringLiteral("actionUndo"))->trigger();
            } else if (step == QLatin1String("drop0")) {
                const std::unique_ptr<QMimeData> data(filesData(makeAll({"p0.jpg"})));
                QVERIFY(dropOn(list->viewport(), inRow(false, 0, true), data.get()));
                waitForDrops();
            } else if (step == QLatin1String("move")) {
                window->onImageIndexChanged(pictures().first(), 1, 3);
            }
        }
        QVERIFY(numberedByRow(pictures()));
        for (int row = 0; row < window->pictureModel()->itemCount(); ++row) {
            auto *editor = qobject_cast<ImageObjectWidget *>(
                list->indexWidget(window->pictureModel()->index(row, 0)));
            QVERIFY(editor);
            QCOMPARE(editor->orderBox()->currentIndex(), row);
        }
    }

    void pasteOfAPictureIsImportedAsItsPng_data()
    {
        QTest::addColumn<bool>("alpha");
        QTest::newRow("opaque") << false;
        QTest::newRow("with transparency") << true;
    }

    void pasteOfAPictureIsImportedAsItsPng()
    {
        QFETCH(bool, alpha);
        QImage image(150, 120, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgba(x * 2 % 256, y * 3 % 256, (x + y) % 256,
                                           alpha ? (x * 5) % 256 : 255));
        QGuiApplication::clipboard()->setImage(image);
        QAction *paste = window->findChild<QAction *>(QStringLiteral("actionPaste"));
        QTRY_VERIFY(paste->isEnabled());
        ModalWatcher watcher([](QWidget *modal) {
            if (auto *import = qobject_cast<LoadImagesDialog *>(modal))
                finishImport(import);
        });
        paste->trigger();
        waitForDrops();
        QCOMPARE(pictures().size(), 1);

        // The same picture as a file, through the window's import.
        QDir().mkpath(dropDir());
        const QString png = QDir(dropDir()).filePath(QStringLiteral("same.png"));
        QVERIFY(image.save(png, "PNG"));
        window->importPictureFiles({png});
        QCOMPARE(pictures().size(), 2);
        const QByteArray pasted = pictures()[0]->readLedData();
        QVERIFY(!pasted.isEmpty());
        QCOMPARE(pasted, pictures()[1]->readLedData());
        QVERIFY(watcher.boxes.isEmpty());
        // The pasted PNG itself is gone once imported: the item holds its own copy.
        QCOMPARE(QDir(workDirectory()).entryList({QStringLiteral("pasted_*")}), QStringList());
    }

    void pasteOfFilesIsADrop_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("sides");
        QTest::addColumn<int>("boxes");
        QTest::newRow("pictures, in order") << QStringList{"p1.jpg", "p0.jpg"} << QList<int>{81, 80} << 0;
        QTest::newRow("a picture and text") << QStringList{"notes.txt", "p2.jpg"} << QList<int>{82} << 1;
    }

    void pasteOfFilesIsADrop()
    {
        QFETCH(QStringList, names);
        QFETCH(QList<int>, sides);
        QFETCH(int, boxes);
        QGuiApplication::clipboard()->setMimeData(filesData(makeAll(names)));
        ModalWatcher watcher([](QWidget *modal) {
            if (auto *import = qobject_cast<LoadImagesDialog *>(modal))
                finishImport(import);
        });
        QAction *paste = window->findChild<QAction *>(QStringLiteral("actionPaste"));
        QTRY_VERIFY(paste->isEnabled());
        paste->trigger();
        waitForDrops();
        QCOMPARE(this->sides(), sides);
        QCOMPARE(watcher.boxes.size(), boxes);
    }

    // Text alone on the clipboard is nothing to paste here.
    void pasteOfTextDoesNothing()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
        QAction *paste = window->findChild<QAction *>(QStringLiteral("actionPaste"));
        QTRY_VERIFY(!paste->isEnabled());
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QVERIFY(!window->dropDispatcher()->paste(&text));
        QVERIFY(!window->dropDispatcher()->isBusy());
        QCOMPARE(pictures().size(), 0);
    }
};

QTEST_MAIN(TestDrops)
#include "test_drops.moc"
