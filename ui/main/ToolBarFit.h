#pragma once

#include <QObject>

class QToolBar;

// Keeps everything on the toolbar in reach: its buttons carry their texts while the toolbar is
// wide enough for them (in the language in force), and show their icons alone otherwise,
// rather than pushing the last ones (the language buttons) behind the overflow arrow. The
// tooltips name each button.
class ToolBarFit : public QObject
{
    Q_OBJECT
public:
    explicit ToolBarFit(QToolBar *bar);
    Q_DISABLE_COPY_MOVE(ToolBarFit)

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();

    QToolBar *bar;
    bool fitting = false;
    bool pending = false;
};
