#include "ui/main/FileMenu.h"

#include "ui/main/ShowSession.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

// The platform's keys where it has them, else the usual ones.
void setKeys(QAction *action, QKeySequence::StandardKey standard, const QKeySequence &fallback)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    if (!keys.contains(fallback))
        keys.prepend(fallback);
    action->setShortcuts(keys);
}

} // namespace

FileMenu::FileMenu(QMenuBar *bar, ShowSession *session, QWidget *window)
    : session(session)
{
    fileMenu = new QMenu(bar);
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    bar->insertMenu(bar->actions().value(0), fileMenu);

    actionNew = fileMenu->addAction(QString());
    actionNew->setObjectName(QStringLiteral("actionNewShow"));
    setKeys(actionNew, QKeySequence::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    actionOpen = fileMenu->addAction(QString());
    actionOpen->setObjectName(QStringLiteral("actionOpenShow"));
    setKeys(actionOpen, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    recent = fileMenu->addMenu(QString());
    recent->setObjectName(QStringLiteral("recentMenu"));
    fileMenu->addSeparator();
    actionSave = fileMenu->addAction(QString());
    actionSave->setObjectName(QStringLiteral("actionSaveShow"));
    setKeys(actionSave, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    actionSaveAs = fileMenu->addAction(QString());
    actionSaveAs->setObjectName(QStringLiteral("actionSaveShowAs"));
    setKeys(actionSaveAs, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    fileMenu->addSeparator();
    actionQuit = fileMenu->addAction(QString());
    actionQuit->setObjectName(QStringLiteral("actionQuit"));
    actionQuit->setMenuRole(QAction::QuitRole);
    setKeys(actionQuit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));

    connect(actionNew, &QAction::triggered, session, &ShowSession::newShow);
    connect(actionOpen, &QAction::triggered, session, &ShowSession::open);
    connect(actionSave, &QAction::triggered, session, &ShowSession::save);
    connect(actionSaveAs, &QAction::triggered, session, &ShowSession::saveAs);
    connect(actionQuit, &QAction::triggered, window, &QWidget::close);
    connect(recent, &QMenu::aboutToShow, this, &FileMenu::fillRecent);
    fillRecent();
    retranslate();
}

void FileMenu::retranslate()
{
    fileMenu->setTitle(tr("menu_title_file"));
    actionNew->setText(tr("action_title_new_show"));
    actionOpen->setText(tr("action_title_open_show"));
    recent->setTitle(tr("menu_title_open_recent"));
    actionSave->setText(tr("action_title_save_show"));
    actionSaveAs->setText(tr("action_title_save_show_as"));
    actionQuit->setText(tr("action_title_quit"));
    fillRecent();
}

void FileMenu::fillRecent()
{
    recent->clear();
    const QStringList paths = session->recent().paths();
    int number = 0;
    for (const QString &path : paths) {
        ++number;
        // A number to pick it by, the name to know it by, the folder to tell two apart.
        const QFileInfo file(path);
        QString text = QStringLiteral("%1 %2  (%3)")
                           .arg(number)
                           .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()));
        text.replace(u'&', QStringLiteral("&&"));
        if (number < 10)
            text.prepend(u'&');
        QAction *action = recent->addAction(text);
        action->setData(path);
        action->setToolTip(QDir::toNativeSeparators(path));
        // A show on a disk that is not there now may come back.
        action->setEnabled(file.isFile());
        connect(action, &QAction::triggered, session, [this, path] { session->openShow(path); });
    }
    if (paths.isEmpty()) {
        QAction *none = recent->addAction(tr("action_title_no_recent"));
        none->setEnabled(false);
    }
}
