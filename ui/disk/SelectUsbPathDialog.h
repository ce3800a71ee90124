#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class DiskMonitor;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QGroupBox;
class QPushButton;

// Lets the user choose one of the removable disks present; follows disks that come and go
// while it is open (the caller connects the disk list's signals to the two public slots).
class SelectUsbPathDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SelectUsbPathDialog(const QStringList &disks, QWidget *parent = nullptr);
    ~SelectUsbPathDialog() override;
    Q_DISABLE_COPY_MOVE(SelectUsbPathDialog)

    // The chosen disk path; empty when no row is current.
    QString selectedPath() const { return m_selectedPath; }

    // Runs the dialog over the disks present, following those that come and go while it is
    // open; the chosen disk, empty when cancelled.
    static QString choose(const DiskMonitor &disks, QWidget *parent);

public slots:
    void usbMountEvent(QString path);
    void usbUMountEvent(QString path);

private slots:
    void onBtnOkClick();
    void onBtnCancelClick();
    void currentSelectUsbChanged(QString path);

private:
    void setupUi();
    void retranslateUi();

    QLabel *label = nullptr;
    QListWidget *listWidget = nullptr;
    QGroupBox *groupBox = nullptr;
    QDialogButtonBox *buttonBox = nullptr;
    QPushButton *okBut = nullptr;
    QPushButton *cancelBut = nullptr;
    QString m_selectedPath;
};
