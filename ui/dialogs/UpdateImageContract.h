#pragma once

#include <QDialog>
#include <QImage>

class ContrastJobs;
class ImageObject;
class QSlider;

// The contrast dialog for one picture: a slider from 0 to 100 (the factor times ten),
// starting at the factor last applied. Every move is posted as a change that the loop thread
// applies 200 ms later; the change carries the picture and its source, so the dialog may
// close at any time. Ok keeps the last value; Cancel, Esc and closing the window go back to
// the value the dialog opened with.
class UpdateImageContract : public QDialog
{
    Q_OBJECT
public:
    UpdateImageContract(ContrastJobs *jobs, ImageObject *item, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(UpdateImageContract)

    QSlider *slider() const { return sliderContract; }
    bool hasSource() const { return !sourceImage.isNull(); }

signals:
    void onImageContractChanged(QObject *object);

public slots:
    void sliderValueChanged(int value);
    // Restores the factor the dialog opened with.
    void reject() override;

private:
    void buildForm();

    ImageObject *item;
    ContrastJobs *jobs;
    QImage sourceImage; // ARGB32; null when the picture cannot be loaded
    QSlider *sliderContract = nullptr;
    int openedWith = 10; // slider value when the dialog opened
};
