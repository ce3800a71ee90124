// A window to drag files from, for trying drops under a bare X server where no file manager
// runs: "drag_source FILE..." shows one label; pressing on it and moving starts a drag of
// the files (as text/uri-list), the same data a file manager's drag carries.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

class Source : public QLabel
{
public:
    explicit Source(const QList<QUrl> &urls) : urls(urls)
    {
        setText(QStringLiteral("drag %1 file(s) from here").arg(urls.size()));
        setAlignment(Qt::AlignCenter);
        resize(240, 120);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        auto *data = new QMimeData;
        data->setUrls(urls);
        auto *drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> urls;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (const QString &path : app.arguments().mid(1))
        urls << QUrl::fromLocalFile(path);
    Source source(urls);
    source.setWindowTitle(QStringLiteral("drag source"));
    source.show();
    return app.exec();
}
