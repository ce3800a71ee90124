#include "TestEnvironment.h"
#include "PlaylistFixtures.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace PlaylistFixtures;

namespace {

enum class ListKind { Pictures, Clips };

} // namespace

Q_DECLARE_METATYPE(ListKind)

namespace {

int numberOf(QObject *item)
{
    if (auto *picture = qobject_cast<ImageObject *>(item))
        return picture->number;
    if (auto *clip = qobject_cast<MediaObject *>(item))
        return clip->number;
    return -1;
}

QStringList filesOfItem(QObject *item)
{
    if (auto *picture = qobject_cast<ImageObject *>(item))
        return filesOf(picture);
    if (auto *clip = qobject_cast<MediaObject *>(item))
        return filesOf(clip);
    return {};
}

QList<int> numbers(const CustomTableModel &model)
{
    QList<int> result;
    for (QObject *item : model.itemList())
        result.append(numberOf(item));
    return result;
}

} // namespace

class TestPlaylistModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void passesModelTester_data();
    void passesModelTester();
    void delRowRenumbersAndDestroys_data();
    void delRowRenumbersAndDestroys();
    void delRowIgnoresBadArguments_data();
    void delRowIgnoresBadArguments();
    void delAllEmptiesTheList();
    void addItemsAnnouncesNewRows_data();
    void addItemsAnnouncesNewRows();
    void addItemsKeepsTheViewOnItsEntry();
    void setItemsResetsWithoutDestroying();
    void dataGivesTheEntryInDisplayAndEditRoles();
    void dataOutsideTheListIsInvalid();
    void checkRoleWithoutCheckColumn();
    void checkRoleOnCheckColumn();
    void checkAllMarksEveryRow();
    void headerData();
    void flagsAllowEditing();
    void metaTypeIsRegisteredByName();
    void streamRoundTrip_data();
    void streamRoundTrip();
    void streamReadsNonNumbersAsNull();
    void destroyingTheModelDestroysItsItems();

private:
    QList<QObject *> makeItems(ListKind kind, int count);

    std::unique_ptr<QTemporaryDir> tempDir;
};

void TestPlaylistModel::init()
{
    QVERIFY(TestEnvironment::enterFreshDirectory(tempDir));
}

void TestPlaylistModel::cleanup()
{
    tempDir.reset();
}

QList<QObject *> TestPlaylistModel::makeItems(ListKind kind, int count)
{
    QList<QObject *> items;
    for (int number = 1; number <= count; ++number) {
        if (kind == ListKind::Pictures)
            items.append(makePicture(tempDir->path(), number));
        else
            items.append(makeClip(tempDir->path(), number, 2));
    }
    return items;
}

void TestPlaylistModel::passesModelTester_data()
{
    QTest::addColumn<int>("checkColumn");
    QTest::newRow("no check column") << -1;
    QTest::newRow("check column 0") << 0;
}

void TestPlaylistModel::passesModelTester()
{
    QFETCH(int, checkColumn);
    CustomTableModel model({}, 1, checkColumn);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.addItems(makeItems(ListKind::Pictures, 3));
    model.addItem(makePicture(tempDir->path(), 4));
    model.setItems(model.itemList());
    model.sort(0);
    model.onCheckSectionClicked(true);
    model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
    model.delRow(1, 2);
    model.refrehItem(model.index(0, 0));
    model.delAll();
    QCOMPARE(model.rowCount(), 0);
}

void TestPlaylistModel::delRowRenumbersAndDestroys_data()
{
    QTest::addColumn<ListKind>("kind");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::newRow("third of five pictures") << ListKind::Pictures << 2 << 1;
    QTest::newRow("third of five clips") << ListKind::Clips << 2 << 1;
    QTest::newRow("first two pictures") << ListKind::Pictures << 0 << 2;
    QTest::newRow("last clip") << ListKind::Clips << 4 << 1;
}

void TestPlaylistModel::delRowRenumbersAndDestroys()
{
    QFETCH(ListKind, kind);
    QFETCH(int, start);
    QFETCH(int, count);
    CustomTableModel model({}, 1, -1);
    const QList<QObject *> items = makeItems(kind, 5);
    model.addItems(items);

    QList<QPointer<QObject>> removed;
    QStringList removedFiles;
    for (int row = start; row < start + count; ++row) {
        removed.append(items.at(row));
        removedFiles += filesOfItem(items.at(row));
    }
    QVERIFY(!removedFiles.isEmpty());
    for (const QString &file : removedFiles)
        QVERIFY2(QFile::exists(file), qPrintable(file));

    QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    QSignalSpy removedSpy(&model, &QAbstractItemModel::rowsRemoved);
    model.delRow(start, count);

    QCOMPARE(removedSpy.size(), 1);
    QCOMPARE(aboutToRemove.size(), 1);
    QCOMPARE(removedSpy.first().at(1).toInt(), start);
    QCOMPARE(removedSpy.first().at(2).toInt(), start + count - 1);
    QCOMPARE(model.rowCount(), 5 - count);
    for (const QPointer<QObject> &item : removed)
        QVERIFY(item.isNull());
    for (const QString &file : removedFiles)
        QVERIFY2(!QFile::exists(file), qPrintable(file));

    // The survivors keep their relative order and are numbered by row.
    QList<QObject *> survivors = items;
    survivors.remove(start, count);
    QCOMPARE(model.itemList(), survivors);
    for (int row = 0; row < model.rowCount(); ++row)
        QCOMPARE(numberOf(model.itemAt(row)), row + 1);
}

void TestPlaylistModel::delRowIgnoresBadArguments_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::newRow("beyond the end") << 4 << 2;
    QTest::newRow("starting at the end") << 5 << 1;
    QTest::newRow("negative start") << -1 << 1;
    QTest::newRow("count 0") << 0 << 0;
    QTest::newRow("negative count") << 1 << -1;
    QTest::newRow("overflowing count") << 1 << std::numeric_limits<int>::max();
}

void TestPlaylistModel::delRowIgnoresBadArguments()
{
    QFETCH(int, start);
    QFETCH(int, count);
    CustomTableModel model({}, 1, -1);
    // Numbers that differ from the rows show any renumbering.
    QList<QObject *> items;
    for (int i = 0; i < 5; ++i)
        items.append(makePicture(tempDir->path(), 10 + i));
    model.addItems(items);
    QList<QPointer<QObject>> guards(items.cbegin(), items.cend());

    QSignalSpy aboutToRemove(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    model.delRow(start, count);

    QCOMPARE(aboutToRemove.size(), 0);
    QCOMPARE(model.itemList(), items);
    for (const QPointer<QObject> &guard : guards)
        QVERIFY(!guard.isNull());
    QCOMPARE(numbers(model), (QList<int>{10, 11, 12, 13, 14}));
}

void TestPlaylistModel::delAllEmptiesTheList()
{
    CustomTableModel model({}, 1, -1);
    const QList<QObject *> items = makeItems(ListKind::Clips, 3);
    model.addItems(items);
    QList<QPointer<QObject>> guards(items.cbegin(), items.cend());
    model.delAll();
    QCOMPARE(model.rowCount(), 0);
    for (const QPointer<QObject> &guard : guards)
        QVERIFY(guard.isNull());
    model.delAll();  // an empty list stays empty without complaint
    QCOMPARE(model.rowCount(), 0);
}

void TestPlaylistModel::addItemsAnnouncesNewRows_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("added");
    QTest::newRow("one after three") << 3 << 1;
    QTest::newRow("two after three") << 3 << 2;
    QTest::newRow("three into empty") << 0 << 3;
}

void TestPlaylistModel::addItemsAnnouncesNewRows()
{
    QFETCH(int, before);
    QFETCH(int, added);
    CustomTableModel model({}, 1, -1);
    model.addItems(makeItems(ListKind::Pictures, before));
    const QList<QObject *> extra = makeItems(ListKind::Pictures, added);

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.addItems(extra);

    QCOMPARE(inserted.size(), 1);
    QVERIFY(!inserted.first().at(0).value<QModelIndex>().isValid());
    QCOMPARE(inserted.first().at(1).toInt(), before);
    QCOMPARE(inserted.first().at(2).toInt(), before + added - 1);
    QCOMPARE(model.rowCount(), before + added);
    QCOMPARE(model.itemList().mid(before), extra);

    model.addItems(QList<QObject *>{});  // nothing to announce
    QCOMPARE(inserted.size(), 1);
}

void TestPlaylistModel::addItemsKeepsTheViewOnItsEntry()
{
    CustomTableModel model({}, 1, -1);
    model.addItems(makeItems(ListKind::Pictures, 3));
    QTableView view;
    view.setModel(&model);
    view.setCurrentIndex(model.index(1, 0));
    QObject *current = model.itemAt(1);

    model.addItem(makePicture(tempDir->path(), 4));

    QCOMPARE(view.currentIndex().row(), 1);
    QCOMPARE(CustomTableModel::itemOf(view.currentIndex()), current);
    QCOMPARE(numberOf(model.itemAt(3)), 4);
}

void TestPlaylistModel::setItemsResetsWithoutDestroying()
{
    CustomTableModel model({}, 1, -1);
    const QList<QObject *> items = makeItems(ListKind::Pictures, 3);
    model.addItems(items);
    QList<QPointer<QObject>> guards(items.cbegin(), items.cend());
    const QList<QObject *> reordered{items.at(2), items.at(0), items.at(1)};

    QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setItems(reordered);

    QCOMPARE(aboutToReset.size(), 1);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.itemList(), reordered);
    for (const QPointer<QObject> &guard : guards)
        QVERIFY(!guard.isNull());
    for (QObject *item : items)
        for (const QString &file : filesOfItem(item))
            QVERIFY(QFile::exists(file));

    // The typed overload takes the main window's own lists.
    const QList<ImageObject *> typed = model.itemsAs<ImageObject>();
    QCOMPARE(typed.size(), 3);
    model.setItems(QList<ImageObject *>{typed.at(1)});
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.itemAt(0), static_cast<QObject *>(typed.at(1)));
    // The two dropped items are not destroyed by setItems: the caller still has them.
    delete typed.at(0);
    delete typed.at(2);
}

void TestPlaylistModel::dataGivesTheEntryInDisplayAndEditRoles()
{
    CustomTableModel model({}, 1, -1);
    const QList<QObject *> items = makeItems(ListKind::Pictures, 2);
    model.addItems(items);
    for (int role : {int(Qt::DisplayRole), int(Qt::EditRole)}) {
        const QVariant value = model.data(model.index(1, 0), role);
        QCOMPARE(value.metaType().id(), CustomTableItem::metaTypeId());
        QCOMPARE(value.value<CustomTableItem>().item, items.at(1));
    }
    QVERIFY(!model.data(model.index(1, 0), Qt::ToolTipRole).isValid());
    // As text, a row reads as its item's number and file name.
    const QString text = model.data(model.index(1, 0)).toString();
    QVERIFY2(text.startsWith(QLatin1String("2 picture_")), qPrintable(text));
    QCOMPARE(CustomTableModel::itemOf(model.index(0, 0)), items.at(0));
    QCOMPARE(CustomTableModel::itemOf(QModelIndex()), nullptr);
}

void TestPlaylistModel::dataOutsideTheListIsInvalid()
{
    CustomTableModel model({}, 1, -1);
    model.addItems(makeItems(ListKind::Pictures, 2));
    // An index made by another model with more rows must not reach past the list.
    CustomTableModel bigger({}, 1, -1);
    bigger.addItems(makeItems(ListKind::Pictures, 4));
    QVERIFY(!model.data(bigger.index(3, 0)).isValid());
    QVERIFY(!model.data(QModelIndex()).isValid());
    QCOMPARE(model.itemAt(2), nullptr);
    QCOMPARE(model.itemAt(-1), nullptr);
}

void TestPlaylistModel::checkRoleWithoutCheckColumn()
{
    CustomTableModel model({}, 1, -1);
    model.addItems(makeItems(ListKind::Pictures, 1));
    const QModelIndex cell = model.index(0, 0);
    QVERIFY(!model.data(cell, Qt::CheckStateRole).isValid());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(!model.setData(cell, Qt::Checked, Qt::CheckStateRole));
    QVERIFY(!model.setData(cell, QVariant(), Qt::EditRole));
    QCOMPARE(changed.size(), 0);
    QVERIFY(!(model.flags(cell) & Qt::ItemIsUserCheckable));
}

void TestPlaylistModel::checkRoleOnCheckColumn()
{
    CustomTableModel model({}, 2, 1);
    model.addItems(makeItems(ListKind::Pictures, 2));
    const QModelIndex cell = model.index(1, 1);
    QCOMPARE(model.data(cell, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(cell, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(model.data(cell, Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.data(model.index(0, 1), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    // Anything but Checked unchecks; the edit role is never stored.
    QVERIFY(model.setData(cell, Qt::PartiallyChecked, Qt::CheckStateRole));
    QCOMPARE(model.data(cell, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!model.setData(cell, Qt::Checked, Qt::EditRole));
    QVERIFY(model.flags(cell) & Qt::ItemIsUserCheckable);
    QVERIFY(!model.data(model.index(1, 0), Qt::CheckStateRole).isValid());
}

void TestPlaylistModel::checkAllMarksEveryRow()
{
    CustomTableModel model({}, 1, 0);
    model.addItems(makeItems(ListKind::Clips, 3));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.onCheckSectionClicked(true);
    QCOMPARE(changed.size(), 3);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(model.data(model.index(row, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    model.onCheckSectionClicked(false);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(model.data(model.index(row, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // Removing a row moves the check marks of the rows below it up with them.
    model.setData(model.index(2, 0), Qt::Checked, Qt::CheckStateRole);
    model.delRow(0, 1);
    QCOMPARE(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
}

void TestPlaylistModel::headerData()
{
    CustomTableModel model({}, 2, -1);
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::DisplayRole).isValid());
    QSignalSpy headerChanged(&model, &QAbstractItemModel::headerDataChanged);
    QVERIFY(model.setHeaderData(1, Qt::Horizontal, QStringLiteral("Pictures")));
    QVERIFY(model.setHeaderData(1, Qt::Horizontal, QStringLiteral("Clips"), Qt::ToolTipRole));
    QCOMPARE(headerChanged.size(), 2);
    QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Clips"));
    QVERIFY(!model.setHeaderData(0, Qt::Vertical, QStringLiteral("Row")));
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::DisplayRole).isValid());
}

void TestPlaylistModel::flagsAllowEditing()
{
    CustomTableModel model({}, 1, -1);
    model.addItems(makeItems(ListKind::Pictures, 1));
    const Qt::ItemFlags cell = model.flags(model.index(0, 0));
    QVERIFY(cell & Qt::ItemIsEditable);
    QVERIFY(cell & Qt::ItemIsSelectable);
    QVERIFY(cell & Qt::ItemIsEnabled);
    QCOMPARE(model.flags(QModelIndex()), Qt::ItemIsDropEnabled);
    QVERIFY(model.supportedDropActions() & Qt::MoveAction);
    QVERIFY(model.supportedDropActions() & Qt::CopyAction);
}

void TestPlaylistModel::metaTypeIsRegisteredByName()
{
    const int id = CustomTableItem::metaTypeId();
    QVERIFY(id > 0);
    QCOMPARE(QMetaType::fromName("CustomTableItem").id(), id);
    QCOMPARE(CustomTableItem::metaTypeId(), id);
    QVERIFY(QMetaType(id).hasRegisteredDataStreamOperators());
}

void TestPlaylistModel::streamRoundTrip_data()
{
    QTest::addColumn<quint64>("pointerValue");
    QTest::newRow("null") << quint64(0);
    QTest::newRow("small") << quint64(0x1000);
    QTest::newRow("above 32 bits") << quint64(0x7fff12345678ull);
    QTest::newRow("sign bit of 32 bits") << quint64(0x80000010ull);
}

void TestPlaylistModel::streamRoundTrip()
{
    QFETCH(quint64, pointerValue);
    if (sizeof(quintptr) < sizeof(quint64) && pointerValue > 0xffffffffull)
        QSKIP("pointers are 32 bits here");
    // The value is only carried, never dereferenced.
    const CustomTableItem original{reinterpret_cast<QObject *>(quintptr(pointerValue))};

    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << QVariant::fromValue(original);
    }
    QVariant back;
    {
        QDataStream in(bytes);
        in >> back;
        QCOMPARE(in.status(), QDataStream::Ok);
    }
    QCOMPARE(back.metaType().id(), CustomTableItem::metaTypeId());
    QCOMPARE(back.value<CustomTableItem>(), original);

    // The stored form is the decimal text of the whole pointer.
    QByteArray raw;
    {
        QDataStream out(&raw, QIODevice::WriteOnly);
        out << original;
    }
    QString text;
    QDataStream rawIn(raw);
    rawIn >> text;
    QCOMPARE(text, QString::number(pointerValue));
}

void TestPlaylistModel::streamReadsNonNumbersAsNull()
{
    for (const QString &text : {QStringLiteral("abc"), QStringLiteral("-5"), QString(),
                                QStringLiteral("99999999999999999999999")}) {
        QByteArray raw;
        {
            QDataStream out(&raw, QIODevice::WriteOnly);
            out << text;
        }
        CustomTableItem entry{reinterpret_cast<QObject *>(quintptr(0x40))};
        QDataStream in(raw);
        in >> entry;
        QVERIFY2(entry.item == nullptr, qPrintable(text));
    }
}

void TestPlaylistModel::destroyingTheModelDestroysItsItems()
{
    const QList<QObject *> items = makeItems(ListKind::Clips, 2);
    QList<QPointer<QObject>> guards(items.cbegin(), items.cend());
    {
        CustomTableModel model({CustomTableItem{items.at(0)}, CustomTableItem{items.at(1)}}, 1, -1);
        QCOMPARE(model.rowCount(), 2);
    }
    for (const QPointer<QObject> &guard : guards)
        QVERIFY(guard.isNull());
}

QTEST_MAIN(TestPlaylistModel)
#include "test_playlist_model.moc"
