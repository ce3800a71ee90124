#include "ui/main/ShowRecovery.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/RecoveryStore.h"
#include "show/RecoveryWriter.h"
#include "show/ShowSnapshot.h"
#include "ui/UiLog.h"
#include "ui/main/LanguageButtons.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/RecoveryOffer.h"
#include "ui/main/SamplingChoice.h"
#include "ui/playlist/CustomTableModel.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QUndoStack>
#include <QWidget>

ShowRecovery::ShowRecovery(PlaylistController &playlists, QWidget *window,
                           const QString &directory)
    : playlists(playlists), window(window),
      copies(std::make_unique<RecoveryStore>(directory))
{
    if (!copies->isValid())
        qCWarning(lcUi) << "#ShowRecovery# no recovery copy:" << copies->errorString();
    saver = std::make_unique<RecoveryWriter>(*copies, [&playlists] {
        return playlists.showSnapshot(SamplingChoice::stored());
    });
    // Nothing may rewrite or free an item while a save reads it: a save waits while a
    // dialog may change the items on its closing, or a read, a contrast change or a
    // download uses them.
    saver->setGate([&playlists] {
        return !QApplication::activeModalWidget() && !playlists.isLocked(PlaylistController::Remove);
    });
    playlists.setSaver(saver.get());
    for (QAbstractItemModel *model : {static_cast<QAbstractItemModel *>(playlists.pictures()),
                                      static_cast<QAbstractItemModel *>(playlists.clips())}) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &ShowRecovery::noteChange);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ShowRecovery::noteChange);
        connect(model, &QAbstractItemModel::rowsMoved, this, &ShowRecovery::noteChange);
        connect(model, &QAbstractItemModel::dataChanged, this, &ShowRecovery::noteChange);
        connect(model, &QAbstractItemModel::modelReset, this, &ShowRecovery::noteChange);
    }
    connect(playlists.history(), &QUndoStack::indexChanged, this, &ShowRecovery::noteChange);
}

ShowRecovery::~ShowRecovery()
{
    playlists.setSaver(nullptr);
    if (keepAtEnd)
        saver->finishKeepingCopy(FinishMs);
    else
        saver->finish(FinishMs);
}

void ShowRecovery::watch(SamplingChoice *sampling, LanguageButtons *languages)
{
    choices = ShowChoices(sampling, languages);
    if (sampling)
        connect(sampling->action(), &QAction::toggled, this, &ShowRecovery::noteChange);
    if (languages)
        connect(languages, &LanguageButtons::switched, this, &ShowRecovery::noteChange);
}

void ShowRecovery::noteChange()
{
    saver->noteChange();
}

void ShowRecovery::showSaved()
{
    saver->discardCopy();
}

bool ShowRecovery::offerRestore()
{
    RecoveryOffer offer(*copies, playlists, window, saver->file().hashCache(), choices);
    if (!offer.run())
        return false;
    // The sampling comes back quietly: the copy is to hold it as well.
    noteChange();
    emit restored();
    return true;
}
